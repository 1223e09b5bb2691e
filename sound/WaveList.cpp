#include "WaveList.h"

#include <QtEndian>

namespace kestrum {

namespace {

constexpr int kMaxData = 16 * 1024 * 1024;

// Reads numbers off the front of the bytes, never past their end.
class Reader {
public:
    explicit Reader(const QByteArray& b) : b_(b) {}
    bool take(int n, const char** at)
    {
        if (n < 0 || pos_ + n > b_.size())
            return false;
        *at = b_.constData() + pos_;
        pos_ += n;
        return true;
    }
    template <typename T>
    bool number(T* v)
    {
        const char* at = nullptr;
        if (!take(sizeof(T), &at))
            return false;
        *v = qFromLittleEndian<T>(at);
        return true;
    }
    bool atEnd() const { return pos_ == b_.size(); }

private:
    const QByteArray& b_;
    qsizetype pos_ = 0;
};

template <typename T>
void put(QByteArray& out, T v)
{
    char buf[sizeof(T)];
    qToLittleEndian<T>(v, buf);
    out.append(buf, sizeof(T));
}

}  // namespace

std::optional<std::vector<WaveClip>> parseWaveList(const QByteArray& bytes, QString* error)
{
    const auto fail = [&](const QString& why) -> std::optional<std::vector<WaveClip>> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    Reader r(bytes);
    const char* magic = nullptr;
    if (!r.take(4, &magic) || QByteArray(magic, 4) != "KDXW")
        return fail(QStringLiteral("not a wave list"));
    quint16 version = 0, count = 0;
    if (!r.number(&version) || version != 1)
        return fail(QStringLiteral("unknown version"));
    if (!r.number(&count) || count > 255)
        return fail(QStringLiteral("damaged clip count"));
    std::vector<WaveClip> clips;
    for (int i = 0; i < count; ++i) {
        WaveClip c;
        quint8 nameLength = 0, flags = 0, copies = 0, volume = 0;
        qint8 pan = 0;
        quint32 frequency = 0, length = 0;
        const char* name = nullptr;
        const char* data = nullptr;
        if (!r.number(&nameLength) || nameLength == 0 || nameLength > 63 || !r.take(nameLength, &name))
            return fail(QStringLiteral("damaged name of clip %1").arg(i + 1));
        for (int k = 0; k < nameLength; ++k)
            if (name[k] < 0x21 || name[k] > 0x7E)
                return fail(QStringLiteral("damaged name of clip %1").arg(i + 1));
        c.name = QString::fromLatin1(name, nameLength);
        if (!r.number(&flags) || !r.number(&copies) || !r.number(&frequency) || !r.number(&volume) ||
            !r.number(&pan) || !r.number(&length))
            return fail(QStringLiteral("clip %1 (%2) is cut short").arg(i + 1).arg(c.name));
        if (flags > 1 || frequency < 8000 || frequency > 192000 || volume > 128 || pan < -100 || pan > 100 ||
            length > kMaxData || length < 44)
            return fail(QStringLiteral("clip %1 (%2) has impossible settings").arg(i + 1).arg(c.name));
        if (!r.take(static_cast<int>(length), &data))
            return fail(QStringLiteral("clip %1 (%2) is cut short").arg(i + 1).arg(c.name));
        c.wav = QByteArray(data, static_cast<int>(length));
        if (!c.wav.startsWith("RIFF") || c.wav.mid(8, 4) != "WAVE")
            return fail(QStringLiteral("clip %1 (%2) holds no wave sound").arg(i + 1).arg(c.name));
        c.looping = flags & 1;
        c.copies = copies;
        c.frequency = static_cast<int>(frequency);
        c.volume = volume;
        c.pan = pan;
        clips.push_back(std::move(c));
    }
    if (!r.atEnd())
        return fail(QStringLiteral("unexpected bytes after the last clip"));
    return clips;
}

QByteArray writeWaveList(const std::vector<WaveClip>& clips)
{
    QByteArray out("KDXW");
    put<quint16>(out, 1);
    put<quint16>(out, static_cast<quint16>(clips.size()));
    for (const WaveClip& c : clips) {
        const QByteArray name = c.name.toLatin1();
        put<quint8>(out, static_cast<quint8>(name.size()));
        out += name;
        put<quint8>(out, c.looping ? 1 : 0);
        put<quint8>(out, static_cast<quint8>(c.copies));
        put<quint32>(out, static_cast<quint32>(c.frequency));
        put<quint8>(out, static_cast<quint8>(c.volume));
        put<qint8>(out, static_cast<qint8>(c.pan));
        put<quint32>(out, static_cast<quint32>(c.wav.size()));
        out += c.wav;
    }
    return out;
}

QByteArray makeWav(const std::vector<int16_t>& samples, int frequency)
{
    const quint32 dataBytes = static_cast<quint32>(samples.size() * 2);
    QByteArray w("RIFF");
    put<quint32>(w, 36 + dataBytes);
    w += "WAVEfmt ";
    put<quint32>(w, 16);
    put<quint16>(w, 1);  // PCM
    put<quint16>(w, 1);  // mono
    put<quint32>(w, static_cast<quint32>(frequency));
    put<quint32>(w, static_cast<quint32>(frequency * 2));
    put<quint16>(w, 2);
    put<quint16>(w, 16);
    w += "data";
    put<quint32>(w, dataBytes);
    for (int16_t s : samples)
        put<qint16>(w, s);
    return w;
}

QByteArray wavAtRate(const QByteArray& wav, int frequency)
{
    const auto u32 = [&](qsizetype at) {
        return static_cast<quint32>(static_cast<uint8_t>(wav[at])) | static_cast<quint32>(static_cast<uint8_t>(wav[at + 1])) << 8 |
               static_cast<quint32>(static_cast<uint8_t>(wav[at + 2])) << 16 |
               static_cast<quint32>(static_cast<uint8_t>(wav[at + 3])) << 24;
    };
    if (wav.size() < 12 || !wav.startsWith("RIFF") || wav.mid(8, 4) != "WAVE")
        return wav;
    for (qsizetype at = 12; at + 8 <= wav.size();) {
        const quint32 size = u32(at + 4);
        if (wav.mid(at, 4) == "fmt " && size >= 16 && at + 8 + 16 <= wav.size()) {
            if (u32(at + 12) == static_cast<quint32>(frequency))
                return wav;
            const int blockAlign = static_cast<uint8_t>(wav[at + 20]) | static_cast<uint8_t>(wav[at + 21]) << 8;
            QByteArray out = wav;
            const auto set = [&](qsizetype pos, quint32 v) {
                for (int b = 0; b < 4; ++b)
                    out[pos + b] = static_cast<char>((v >> (8 * b)) & 0xFF);
            };
            set(at + 12, static_cast<quint32>(frequency));
            set(at + 16, static_cast<quint32>(frequency) * static_cast<quint32>(blockAlign));
            return out;
        }
        at += 8 + static_cast<qsizetype>(size) + (size & 1);
    }
    return wav;
}

}  // namespace kestrum
