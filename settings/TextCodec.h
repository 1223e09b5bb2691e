// Texts from files written on other systems: UTF-8 when the bytes are valid UTF-8,
// otherwise the Cyrillic Windows code page 1251.
#pragma once

#include <QByteArray>
#include <QString>

namespace kestrum {

QString decodeAnsi(const QByteArray& bytes);

}  // namespace kestrum
