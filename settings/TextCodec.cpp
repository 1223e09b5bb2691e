#include "TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace kestrum {

namespace {

// Code page 1251, bytes 0x80 .. 0xBF; 0xC0 .. 0xFF are А .. я in order.
constexpr char16_t kHigh[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

}  // namespace

QString decodeAnsi(const QByteArray& bytes)
{
    // A byte order mark inside a text is a character like any other; files drop theirs.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    text.clear();
    text.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            text += QChar(b);
        else if (b < 0xC0)
            text += QChar(kHigh[b - 0x80]);
        else
            text += QChar(static_cast<char16_t>(0x0410 + (b - 0xC0)));
    }
    return text;
}

Utf16 utf16Form(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return Utf16::LittleEndian;
    if (bytes.startsWith("\xFE\xFF"))
        return Utf16::BigEndian;
    return Utf16::None;
}

QByteArray fromUtf16(const QByteArray& bytes, Utf16 form)
{
    if (form == Utf16::None)
        return bytes;
    QStringDecoder decoder(form == Utf16::LittleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                           QStringDecoder::Flag::Stateless);
    return QString(decoder.decode(QByteArrayView(bytes).sliced(2))).toUtf8();
}

QByteArray toUtf16(const QByteArray& utf8, Utf16 form)
{
    if (form == Utf16::None)
        return utf8;
    QStringEncoder encoder(form == Utf16::LittleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                           QStringEncoder::Flag::Stateless);
    const QByteArray mark = form == Utf16::LittleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
    return mark + QByteArray(encoder.encode(QString::fromUtf8(utf8)));
}

}  // namespace kestrum
