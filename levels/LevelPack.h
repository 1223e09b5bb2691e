// Level packs: one section per level ("Level0" ... "Level10"), with base points given as
// fractions of the field and straight lines between record numbers.
#pragma once

#include "Levels.h"

#include <optional>

namespace kestrum {

struct PackLevelResult {
    int records = 0;        // records filled from record 1 on
    int dropped = 0;        // records past the table's 400 that were left out
    bool sectionFound = false;
};

// Reads the section of one level into the (already parked) wall table. Every decimal
// value that cannot be read is reported through warn, counts as 1.0, and reading goes on.
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
