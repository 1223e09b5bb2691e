// The wave list "Sounds.dxw": named sound clips, each with its own playback settings.
//
// File format (all numbers little-endian):
//   "KDXW"            4 bytes, the signature
//   version           u16, 1
//   count             u16, number of clips (at most 255)
//   then for each clip:
//     name length     u8, 1 .. 63
//     name            printable ASCII without blanks, the event name ("EatApple" ...)
//     flags           u8, 1: the clip loops; 0: it plays once
//     copies          u8, how many copies may sound at once; 0 for no limit
//     frequency       u32, samples per second the clip is played at (8000 .. 192000); a
//                     rate other than the WAVE file's own plays it higher or lower
//     volume          u8, 0 .. 128
//     pan             i8, -100 (left) .. 100 (right)
//     data length     u32, at most 16 MiB
//     data            a RIFF WAVE file of that length
// Anything that does not fit these rules makes the whole file unreadable.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace kestrum {

struct WaveClip {
    QString name;
    bool looping = false;
    int copies = 0;
    int frequency = 22050;
    int volume = 128;
    int pan = 0;
    QByteArray wav;
};

// Parses a wave list; on failure returns nothing and says why in *error.
std::optional<std::vector<WaveClip>> parseWaveList(const QByteArray& bytes, QString* error);
// The bytes of a wave list (used by the packer that makes "Sounds.dxw").
QByteArray writeWaveList(const std::vector<WaveClip>& clips);
// A RIFF WAVE file of 16-bit mono samples.
QByteArray makeWav(const std::vector<int16_t>& samples, int frequency);
// The WAVE file played at another rate (its pitch and length change with it), as the
// clip's frequency asks; the file as it is when it is at that rate already or has no
// format chunk to change.
QByteArray wavAtRate(const QByteArray& wav, int frequency);

}  // namespace kestrum
