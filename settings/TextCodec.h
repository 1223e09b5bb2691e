// Texts from files written on other systems: UTF-8 when the bytes are valid UTF-8,
// otherwise the Cyrillic Windows code page 1251.
#pragma once

#include <QByteArray>
#include <QString>

namespace kestrum {

QString decodeAnsi(const QByteArray& bytes);

// Editors on other systems save text as UTF-16 with a byte order mark at its start. Such
// a text is read as UTF-8 and, where the game writes it again, written back as it came.
enum class Utf16 { None, LittleEndian, BigEndian };
Utf16 utf16Form(const QByteArray& bytes);
// The text after the mark, as UTF-8; bytes in no UTF-16 form come back as they are.
QByteArray fromUtf16(const QByteArray& bytes, Utf16 form);
// UTF-8 text in the given form, its mark first.
QByteArray toUtf16(const QByteArray& utf8, Utf16 form);
// What a text file's reader takes: UTF-16 turned into UTF-8, anything else as it is.
inline QByteArray textAsUtf8(const QByteArray& bytes) { return fromUtf16(bytes, utf16Form(bytes)); }

}  // namespace kestrum
