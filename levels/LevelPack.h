// Level packs: one section per level ("Level0" ... "Level10"), with base points given as
// fractions of the field and straight lines between record numbers.
#pragma once

#include "Levels.h"

#include <memory>
#include <optional>
#include <vector>

namespace kestrum {

struct PackLevelResult {
    int records = 0;        // records filled from record 1 on
    int dropped = 0;        // records past a pack's 400 that were left out
    bool sectionFound = false;
};

// A level pack as read once, when it is opened: every later build of its levels uses what
// was read, so a large pack costs its reading once and never again at a death.
class LevelPack {
public:
    // Reads the file; a file that is no regular file within the limit reads as one without
    // sections, with the player's message in *problem. UTF-16 with its mark is read too.
    static std::shared_ptr<const LevelPack> read(const QString& path, QString* problem = nullptr);
    ~LevelPack();

    const QString& path() const { return path_; }
    bool hasSection(int level) const;

    // Fills the (already parked) wall table from the section of one level. Every decimal
    // value that cannot be read is reported through warn, counts as 1.0, and reading goes
    // on. A level without a section is built from the defaults, without the records that
    // would fall on the snake's room.
    PackLevelResult build(int level, int fieldSize, WallTable& walls, const LevelWarning& warn = {}) const;

    // What the player is told once when the pack is opened: the levels 0 ... 10 it has no
    // section for, and its values that cannot be read (the first few and how many more).
    // Empty for a pack without faults.
    QString openingReport() const;

private:
    struct Section;
    LevelPack() = default;
    const Section* section(int level) const;

    QString path_;
    QByteArray bytes_;  // the file's text; the sections' values point into it
    std::vector<std::unique_ptr<Section>> sections_;
};

// One level of the pack at path, read for the occasion (the checker, tests).
PackLevelResult readPackLevel(const QString& path, int level, int fieldSize, WallTable& walls,
                              const LevelWarning& warn);

// Decimal numbers of the packs: optional leading blanks and sign, digits with an optional
// point and fraction, an optional exponent; the point whatever the locale. On failure
// returns nothing and puts the 1-based position of the first character that does not fit
// into *errorPosition (1 for an empty text).
std::optional<double> parsePackDecimal(const QString& text, int* errorPosition);

// The kind of a wall token; every unknown token is a block.
uint8_t wallKindFromToken(const QString& token);

// The message shown for an unreadable decimal.
QString decimalWarning(int errorPosition);

}  // namespace kestrum
