#include "ProfileFile.h"

#include "TextCodec.h"

#include "files/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
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
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
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

// One line of a profile file as it stands in the file, and what it means.
struct Line {
    enum Kind { Other, Section, Key } kind = Other;
    QByteArray text;  // as in the file, without its line break
    QByteArray ending;  // its own line break: "\n", "\r\n", or none at the file's end
    QString name;     // the section's or the key's name
    QByteArray value; // a key's value: blanks trimmed, one pair of quotes removed
};

Line parseLine(const QByteArray& raw, const QByteArray& ending = "\n")
{
    Line line;
    line.text = raw;
    line.ending = ending;
    const QByteArray t = raw.trimmed();
    if (t.startsWith('[')) {
        const int close = t.indexOf(']');
        if (close > 0) {
            line.kind = Line::Section;
            line.name = decodeAnsi(t.mid(1, close - 1).trimmed());
        }
        return line;
    }
    if (t.startsWith(';') || t.startsWith('#'))
        return line;
    const int eq = t.indexOf('=');
    if (eq <= 0)
        return line;
    line.kind = Line::Key;
    line.name = decodeAnsi(t.left(eq).trimmed());
    QByteArray value = t.mid(eq + 1).trimmed();
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        value = value.mid(1, value.size() - 2);
    line.value = value;
    return line;
}

// The whole file, line by line, so that a write changes only the lines of its keys: every
// other byte, line breaks and a byte order mark included, stays as it was.
class IniText {
public:
    explicit IniText(const QByteArray& bytes) : utf16_(utf16Form(bytes))
    {
        QByteArray b = fromUtf16(bytes, utf16_);
        if (b.startsWith("\xEF\xBB\xBF")) {
            bom_ = b.left(3);
            b.remove(0, 3);
        }
        const QList<QByteArray> parts = b.split('\n');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            const bool last = i == parts.size() - 1;
            if (last && parts[i].isEmpty())
                break;  // the text after the last line break
            QByteArray raw = parts[i];
            QByteArray ending = last ? QByteArray() : QByteArray("\n");
            if (!last && raw.endsWith('\r')) {
                raw.chop(1);
                ending = "\r\n";
            }
            lines_.push_back(parseLine(raw, ending));
        }
    }

    const std::vector<Line>& lines() const { return lines_; }

    // Replaces the first matching key of the first matching section, or adds it.
    void set(const QString& section, const QString& key, const QByteArray& value)
    {
        const QByteArray encoded = quoted(value);
        int sectionAt = -1;
        for (int i = 0; i < static_cast<int>(lines_.size()); ++i)
            if (lines_[static_cast<size_t>(i)].kind == Line::Section &&
                lines_[static_cast<size_t>(i)].name.compare(section, Qt::CaseInsensitive) == 0) {
                sectionAt = i;
                break;
            }
        if (sectionAt < 0) {
            if (!lines_.empty() && !lines_.back().text.trimmed().isEmpty())
                insert(static_cast<int>(lines_.size()), QByteArray());
            insert(static_cast<int>(lines_.size()), "[" + section.toUtf8() + "]");
            insert(static_cast<int>(lines_.size()), key.toUtf8() + "=" + encoded);
            return;
        }
        int lastContent = sectionAt;
        for (int i = sectionAt + 1; i < static_cast<int>(lines_.size()); ++i) {
            Line& line = lines_[static_cast<size_t>(i)];
            if (line.kind == Line::Section)
                break;
            if (line.kind == Line::Key && line.name.compare(key, Qt::CaseInsensitive) == 0) {
                // The key keeps its spelling, its place and its line break.
                const QByteArray keyText = line.text.left(line.text.indexOf('=')).trimmed();
                line = parseLine(keyText + "=" + encoded, line.ending);
                return;
            }
            if (!line.text.trimmed().isEmpty())
                lastContent = i;
        }
        insert(lastContent + 1, key.toUtf8() + "=" + encoded);
    }

    QByteArray text() const
    {
        QByteArray out = bom_;
        for (const Line& line : lines_)
            out += line.text + line.ending;
        return toUtf16(out, utf16_);
    }

private:
    // A new line takes the line break of the line before it (the file's first one when
    // that has none, being the last); that line gets one too if it had none.
    void insert(int at, const QByteArray& raw)
    {
        QByteArray ending = "\n";
        for (const Line& line : lines_)
            if (!line.ending.isEmpty()) {
                ending = line.ending;
                break;
            }
        if (at > 0) {
            Line& before = lines_[static_cast<size_t>(at - 1)];
            if (before.ending.isEmpty())
                before.ending = ending;
            ending = before.ending;
        }
        lines_.insert(lines_.begin() + at, parseLine(raw, ending));
    }

    // Values with blanks at either end, or in quotes of their own, are written in quotes,
    // which reading removes again, so they come back as they were.
    static QByteArray quoted(const QByteArray& v)
    {
        const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
        const bool outerBlank = !v.isEmpty() && (blank(v.front()) || blank(v.back()));
        const bool ownQuotes = v.size() >= 2 && v.startsWith('"') && v.endsWith('"');
        return outerBlank || ownQuotes ? '"' + v + '"' : v;
    }

    Utf16 utf16_;  // a UTF-16 file is written back in its own form
    QByteArray bom_;
    std::vector<Line> lines_;
};

// The file's bytes; a missing file reads as empty. One that is there but is no regular
// file within the limit reads as empty too, with the reason in *problem.
QByteArray readAll(const QString& path, qint64 maxBytes, bool* exists, QString* problem = nullptr)
{
    const QFileInfo info(path);
    *exists = info.exists() || info.isSymLink();
    if (!*exists)
        return {};
    QString error;
    std::optional<QByteArray> bytes = readRegularFile(path, maxBytes, &error);
    if (!bytes) {
        if (problem)
            *problem = error;
        return {};
    }
    return *bytes;
}

QString lower(const QString& s) { return s.toCaseFolded(); }

}  // namespace

// The first section of a name and the first key of a name in it count, as with the
// platform's own profile files.
struct ProfileSnapshot::Data {
    QHash<QString, QHash<QString, QByteArray>> values;
};

ProfileSnapshot::ProfileSnapshot() : d_(std::make_unique<Data>()) {}
ProfileSnapshot::~ProfileSnapshot() = default;
ProfileSnapshot::ProfileSnapshot(ProfileSnapshot&&) noexcept = default;
ProfileSnapshot& ProfileSnapshot::operator=(ProfileSnapshot&&) noexcept = default;

ProfileSnapshot ProfileSnapshot::load(const QString& path, qint64 maxBytes, QString* problem)
{
    ProfileSnapshot snapshot;
    bool exists = false;
    const IniText ini(readAll(path, maxBytes, &exists, problem));
    QString current;
    bool counting = false;
    for (const Line& line : ini.lines()) {
        if (line.kind == Line::Section) {
            current = lower(line.name);
            counting = !snapshot.d_->values.contains(current);
            if (counting)
                snapshot.d_->values.insert(current, {});
            continue;
        }
        if (line.kind != Line::Key || !counting)
            continue;
        auto& section = snapshot.d_->values[current];
        const QString key = lower(line.name);
        if (section.contains(key))
            continue;
        section.insert(key, line.value);
    }
    return snapshot;
}

namespace {
const QByteArray* findValue(const QHash<QString, QHash<QString, QByteArray>>& values,
                            const QString& section, const QString& key)
{
    const auto s = values.constFind(lower(section));
    if (s == values.cend())
        return nullptr;
    const auto k = s->constFind(lower(key));
    return k == s->cend() ? nullptr : &*k;
}
}  // namespace

QString ProfileSnapshot::readText(const QString& section, const QString& key, const QString& def) const
{
    const QByteArray* value = findValue(d_->values, section, key);
    if (!value)
        return def;
    return decodeAnsi(*value).left(profile::kMaxValueLength);
}

int ProfileSnapshot::readInt(const QString& section, const QString& key, int def) const
{
    const QByteArray* value = findValue(d_->values, section, key);
    if (!value)
        return def;
    return profile::parseInt(QString::fromLatin1(*value).left(profile::kMaxValueLength), def);
}

bool ProfileSnapshot::readBool(const QString& section, const QString& key, bool def) const
{
    return readInt(section, key, def ? 1 : 0) != 0;
}

ProfileSnapshot ProfileFile::snapshot(QString* problem) const
{
    return ProfileSnapshot::load(path_, maxBytes_, problem);
}

QString ProfileFile::readText(const QString& section, const QString& key, const QString& def) const
{
    return ProfileSnapshot::load(path_, maxBytes_).readText(section, key, def);
}

int ProfileFile::readInt(const QString& section, const QString& key, int def) const
{
    return ProfileSnapshot::load(path_, maxBytes_).readInt(section, key, def);
}

bool ProfileFile::readBool(const QString& section, const QString& key, bool def) const
{
    return ProfileSnapshot::load(path_, maxBytes_).readBool(section, key, def);
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
    const QFileInfo info(path_);
    const auto fail = [&] {
        if (error)
            *error = QStringLiteral("Unable to write to %1").arg(info.absoluteFilePath());
        return false;
    };
    // Read what is there now, change only the lines of our keys, and replace the file in
    // one rename: a crash leaves the old file or the new one, never half of one.
    bool exists = false;
    QString unreadable;
    const QByteArray before = readAll(path_, maxBytes_, &exists, &unreadable);
    // What cannot be read is not replaced: its keys would be lost.
    if (!unreadable.isEmpty())
        return fail();
    IniText ini(before);
    for (const Entry& e : entries) {
        // A line break in a value would start a line of its own: a key of somebody else's.
        QString flat = e.value;
        flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        ini.set(e.section, e.key, flat.toUtf8());
    }
    // Nothing to change: the file stays as it is (and a read-only one is no fault).
    if (exists && ini.text() == before)
        return true;
    // Never a file that the next reading would refuse: its every setting would be lost.
    if (ini.text().size() > maxBytes_)
        return fail();
    if (!info.absoluteDir().exists() && !QDir().mkpath(info.absolutePath()))
        return fail();
    // A read-only file or folder is refused even where the rename would get through
    // (as root): its owner meant it to stay as it is.
    if (exists && !(info.permissions() & QFileDevice::WriteOwner))
        return fail();
    if (!(QFileInfo(info.absolutePath()).permissions() & QFileDevice::WriteOwner))
        return fail();
    // Unbuffered, so that a write the disk refuses (a full disk) is seen here; the file is
    // then dropped and the old one stays whole. A buffered write would fail only in the
    // commit's flush, which the rename does not wait for.
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail();
    const QByteArray text = ini.text();
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        file.commit();  // removes the temporary file
        return fail();
    }
    if (!file.commit())
        return fail();
    return true;
}

}  // namespace kestrum
