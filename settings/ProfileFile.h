// Profile files: the INI format of "Kestrum.ini" (level packs share it and have a reader of
// their own, levels/LevelPack). Sections and keys match without regard to case; every read
// goes to the file and every write reaches the disk at once and atomically, keeping
// whatever else the file holds.
#pragma once

#include "files/RegularFile.h"

#include <QString>
#include <memory>
#include <vector>

namespace kestrum {

// The value rules shared by every profile file.
namespace profile {
inline constexpr int kMaxValueLength = 2047;
// Decimal, optionally signed; "0x" or "$" for hexadecimal; anything else gives def.
int parseInt(const QString& text, int def);
}  // namespace profile

// One reading of a file, for readers that take many keys at once (the settings, the hall
// of fame).
class ProfileSnapshot {
public:
    ProfileSnapshot();
    ~ProfileSnapshot();
    ProfileSnapshot(ProfileSnapshot&&) noexcept;
    ProfileSnapshot& operator=(ProfileSnapshot&&) noexcept;
    // A missing file reads as empty: every key gives its default. So does a file that is
    // no regular file of at most maxBytes bytes, with the player's message in *problem.
    static ProfileSnapshot load(const QString& path, qint64 maxBytes, QString* problem = nullptr);

    QString readText(const QString& section, const QString& key, const QString& def) const;
    int readInt(const QString& section, const QString& key, int def) const;
    bool readBool(const QString& section, const QString& key, bool def) const;

private:
    friend class ProfileFile;
    struct Data;
    std::unique_ptr<Data> d_;
};

class ProfileFile {
public:
    // maxBytes: the largest file of this kind the game reads; a larger one reads as empty
    // and is never written over.
    explicit ProfileFile(QString path, qint64 maxBytes = limits::kSettings)
        : path_(std::move(path)), maxBytes_(maxBytes)
    {
    }
    const QString& path() const { return path_; }
    qint64 maxBytes() const { return maxBytes_; }
    // One reading of the whole file; *problem says why a file that is there was not read.
    ProfileSnapshot snapshot(QString* problem = nullptr) const;

    QString readText(const QString& section, const QString& key, const QString& def) const;
    int readInt(const QString& section, const QString& key, int def) const;
    bool readBool(const QString& section, const QString& key, bool def) const;

    struct Entry {
        QString section, key, value;
    };
    // Writes one key, or several in one go; on failure returns false and puts
    // "Unable to write to <path>" into *error.
    bool writeText(const QString& section, const QString& key, const QString& value, QString* error);
    bool writeInt(const QString& section, const QString& key, int value, QString* error);
    bool writeBool(const QString& section, const QString& key, bool value, QString* error);
    bool write(const std::vector<Entry>& entries, QString* error);

private:
    QString path_;
    qint64 maxBytes_;
};

}  // namespace kestrum
