#include "FameTable.h"

namespace kestrum {

namespace {
const QString kFame = QStringLiteral("fame");
}

FameTable::FameTable()
{
    for (int k = 1; k <= kFamePlaces; ++k)
        places_[static_cast<size_t>(k - 1)] = {QStringLiteral("%1. ").arg(k), 0};
}

void FameTable::load(const ProfileFile& file)
{
    const ProfileSnapshot ini = file.snapshot();
    for (int k = 1; k <= kFamePlaces; ++k) {
        FameEntry& e = places_[static_cast<size_t>(k - 1)];
        e.FameName = ini.readText(kFame, QStringLiteral("Name%1").arg(k), QStringLiteral("%1. ").arg(k))
                         .left(kFameNameLength);
        e.FameScore = ini.readInt(kFame, QStringLiteral("Score%1").arg(k), 0);
    }
}

bool FameTable::save(ProfileFile& file, QString* error) const
{
    std::vector<ProfileFile::Entry> entries;
    for (int k = 1; k <= kFamePlaces; ++k)
        entries.push_back({kFame, QStringLiteral("Score%1").arg(k),
                           QString::number(places_[static_cast<size_t>(k - 1)].FameScore)});
    for (int k = 1; k <= kFamePlaces; ++k)
        entries.push_back({kFame, QStringLiteral("Name%1").arg(k), places_[static_cast<size_t>(k - 1)].FameName});
    return file.write(entries, error);
}

int FameTable::insert(int score, const QString& name)
{
    for (int k = 1; k <= kFamePlaces; ++k) {
        if (score < places_[static_cast<size_t>(k - 1)].FameScore)
            continue;
        for (int j = kFamePlaces - 1; j >= k; --j)
            places_[static_cast<size_t>(j)] = places_[static_cast<size_t>(j - 1)];
        places_[static_cast<size_t>(k - 1)] = {name.left(kFameNameLength), score};
        return k;
    }
    return 0;
}

void FameTable::clear()
{
    for (FameEntry& e : places_)
        e = {QString(), 0};
}

}  // namespace kestrum
