// Reading the files the game is given: only a regular file, only as large as its format
// allows, and never a wait. A FIFO, a device, a folder or a file grown past its limit gets
// a message and no bytes, so a hostile or broken file can neither hang the game nor
// exhaust its memory.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace kestrum {

// Limits fitted to each format, far above what any sound file of its kind holds.
namespace limits {
inline constexpr qint64 kSettings = 2 << 20;     // "Kestrum.ini": a few kilobytes
inline constexpr qint64 kLanguage = 2 << 20;     // 92 lines of at most 2047 characters
inline constexpr qint64 kLevelPack = 2 << 20;    // eleven sections of at most 400 records
inline constexpr qint64 kHelp = 1 << 20;         // one HTML page, laid out in about 70 ms
inline constexpr qint64 kBitmap = 64 << 20;      // a skin strip or the background
inline constexpr qint64 kWaveList = 64 << 20;    // fifteen short clips
inline constexpr qint64 kMusic = 4 << 20;        // one MIDI theme
}  // namespace limits

class RegularFile {
public:
    RegularFile() = default;
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // Opens `path` for reading when it names a regular file (links followed) of at most
    // maxBytes bytes; otherwise false, with the player's message in *error: "Cannot open
    // file PATH", with the reason after a colon where it is not the plain one.
    bool open(const QString& path, qint64 maxBytes, QString* error);
    // The size found when the file was opened.
    qint64 size() const { return size_; }
    // The next bytes, at most n and never past the size found at opening.
    QByteArray read(qint64 n);
    bool failed() const { return failed_; }

private:
    int fd_ = -1;
    qint64 size_ = 0;
    qint64 done_ = 0;
    bool failed_ = false;
};

// The whole of a regular file of at most maxBytes bytes, or nothing (with the message).
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes, QString* error);

// True when `path` names a regular file of at most maxBytes bytes (for readers that open
// the file themselves, such as the music's decoder).
bool isReadableRegularFile(const QString& path, qint64 maxBytes, QString* error = nullptr);

}  // namespace kestrum
