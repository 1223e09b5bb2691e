#include "ProfileFile.h"

#include "TextCodec.h"

#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kestrum {

namespace profile {

int parseInt(const QString& text, int def)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return def;
    int i = 0;
    bool negative = false;
    if (t[0] == QLatin1Char('+') || t[0] == QLatin1Char('-')) {
        negative = t[0] == QLatin1Char('-');
        i = 1;
    }
    int base = 10;
    if (t.mid(i, 2).compare(QLatin1String("0x"), Qt::CaseInsensitive) == 0) {
        base = 16;
        i += 2;
    } else if (t.mid(i, 1) == QLatin1String("$")) {
        base = 16;
        i += 1;
    }
    const QString digits = t.mid(i);
    if (digits.isEmpty())
        return def;
    bool ok = false;
    if (base == 16) {
        // Hexadecimal spells the 32 bits: $FFFFFFFF is -1.
        if (digits.size() > 8)
            return def;
        const uint value = digits.toUInt(&ok, 16);
        if (!ok)
            return def;
        const int v = static_cast<int>(value);
        return negative ? -v : v;
    }
    for (const QChar c : digits)
        if (!c.isDigit() || c.unicode() > '9')
            return def;
    const qlonglong value = digits.toLongLong(&ok, 10);
    if (!ok)
        return def;
    const qlonglong v = negative ? -value : value;
    if (v < INT32_MIN || v > INT32_MAX)
        return def;
    return static_cast<int>(v);
}

}  // namespace profile

namespace {

using Ini = CSimpleIniA;

QByteArray readAll(const QString& path, bool* exists)
{
    QFile file(path);
    *exists = file.exists();
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return bytes;
}

void loadInto(Ini& ini, const QByteArray& bytes)
{
    ini.SetSpaces(false);
    // Values with blanks at either end ("1. ") are written in double quotes, which reading
    // removes again, so they come back as they were.
    ini.SetQuotes(true);
    ini.LoadData(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace

struct ProfileSnapshot::Data {
    Ini ini{false, false, false};
};

ProfileSnapshot::ProfileSnapshot() : d_(std::make_unique<Data>()) {}
ProfileSnapshot::~ProfileSnapshot() = default;
ProfileSnapshot::ProfileSnapshot(ProfileSnapshot&&) noexcept = default;
ProfileSnapshot& ProfileSnapshot::operator=(ProfileSnapshot&&) noexcept = default;

ProfileSnapshot ProfileSnapshot::load(const QString& path)
{
    ProfileSnapshot snapshot;
    bool exists = false;
    loadInto(snapshot.d_->ini, readAll(path, &exists));
    return snapshot;
}

bool ProfileSnapshot::hasSection(const QString& section) const
{
    return d_->ini.GetSection(section.toUtf8().constData()) != nullptr;
}

QString ProfileSnapshot::readText(const QString& section, const QString& key, const QString& def) const
{
    const char* value = d_->ini.GetValue(section.toUtf8().constData(), key.toUtf8().constData(), nullptr);
    if (!value)
        return def;
    return decodeAnsi(QByteArray(value)).left(profile::kMaxValueLength);
}

int ProfileSnapshot::readInt(const QString& section, const QString& key, int def) const
{
    const char* value = d_->ini.GetValue(section.toUtf8().constData(), key.toUtf8().constData(), nullptr);
    if (!value)
        return def;
    return profile::parseInt(QString::fromLatin1(value).left(profile::kMaxValueLength), def);
}

bool ProfileSnapshot::readBool(const QString& section, const QString& key, bool def) const
{
    return readInt(section, key, def ? 1 : 0) != 0;
}

std::vector<QString> ProfileSnapshot::keys(const QString& section) const
{
    Ini::TNamesDepend names;
    d_->ini.GetAllKeys(section.toUtf8().constData(), names);
    std::vector<QString> result;
    for (const auto& n : names)
        result.push_back(QString::fromUtf8(n.pItem));
    return result;
}

QString ProfileFile::readText(const QString& section, const QString& key, const QString& def) const
{
    return ProfileSnapshot::load(path_).readText(section, key, def);
}

int ProfileFile::readInt(const QString& section, const QString& key, int def) const
{
    return ProfileSnapshot::load(path_).readInt(section, key, def);
}

bool ProfileFile::readBool(const QString& section, const QString& key, bool def) const
{
    return ProfileSnapshot::load(path_).readBool(section, key, def);
}

bool ProfileFile::writeText(const QString& section, const QString& key, const QString& value,
                            QString* error)
{
    return write({{section, key, value}}, error);
}

bool ProfileFile::writeInt(const QString& section, const QString& key, int value, QString* error)
{
    return write({{section, key, QString::number(value)}}, error);
}

bool ProfileFile::writeBool(const QString& section, const QString& key, bool value, QString* error)
{
    return write({{section, key, value ? QStringLiteral("1") : QStringLiteral("0")}}, error);
}

bool ProfileFile::write(const std::vector<Entry>& entries, QString* error)
{
    const auto fail = [&] {
        if (error)
            *error = QStringLiteral("Unable to write to %1").arg(QFileInfo(path_).absoluteFilePath());
        return false;
    };
    // Read what is there now, change only our keys, and replace the file in one rename:
    // a crash leaves the old file or the new one, never half of one.
    bool exists = false;
    const QByteArray before = readAll(path_, &exists);
    Ini ini(false, false, false);
    loadInto(ini, before);
    for (const Entry& e : entries) {
        // A line break in a value would start a line of its own: a key of somebody else's.
        QString flat = e.value;
        flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        const QByteArray value = flat.toUtf8();
        if (ini.SetValue(e.section.toUtf8().constData(), e.key.toUtf8().constData(),
                         value.constData()) < 0)
            return fail();
    }
    std::string text;
    if (ini.Save(text) < 0)
        return fail();
    const QFileInfo info(path_);
    if (!info.absoluteDir().exists() && !QDir().mkpath(info.absolutePath()))
        return fail();
    // A read-only file or folder is refused even where the rename would get through
    // (as root): its owner meant it to stay as it is.
    if (exists && !(info.permissions() & QFileDevice::WriteOwner))
        return fail();
    if (!(QFileInfo(info.absolutePath()).permissions() & QFileDevice::WriteOwner))
        return fail();
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    file.write(text.data(), static_cast<qint64>(text.size()));
    if (!file.commit())
        return fail();
    return true;
}

}  // namespace kestrum
