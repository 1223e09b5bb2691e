// The hall of fame's eight places: best first, kept in section "fame" of the
// configuration file, entered by the rule that a new score goes above an equal one.
#pragma once

#include "ProfileFile.h"

#include <QString>
#include <algorithm>
#include <array>

namespace kestrum {

inline constexpr int kFamePlaces = 8;
inline constexpr int kFameNameLength = 20;
inline constexpr int kPlayerNameLength = 25;

struct FameEntry {
    QString FameName;
    int FameScore = 0;
};

class FameTable {
public:
    FameTable();
    // Section "fame": Name1 .. Name8 (default "1. " ...), Score1 .. Score8 (default 0).
    void load(const ProfileFile& file);
    // Score1 .. Score8, then Name1 .. Name8. A write that fails leaves the file as it was
    // and the table in memory; false, with the player's message in *error.
    bool save(ProfileFile& file, QString* error = nullptr) const;

    const FameEntry& place(int k) const { return places_[static_cast<size_t>(std::clamp(k, 1, kFamePlaces) - 1)]; }
    int eighthScore() const { return places_[kFamePlaces - 1].FameScore; }
    // Enters a score at the first place whose score it equals or beats; returns that
    // place (1 .. 8), or 0 when the score stays out.
    int insert(int score, const QString& name);
    void clear();

private:
    std::array<FameEntry, kFamePlaces> places_;
};

// What the end of a game hands to the hall of fame.
struct FameState {
    FameTable table;
    int PendingScore = 0;
    bool ScorePending = false;
    QString PlayerName;  // the name last confirmed, offered again
};

}  // namespace kestrum
