#include "LevelPack.h"

#include "files/RegularFile.h"
#include "settings/ProfileFile.h"
#include "settings/TextCodec.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <charconv>
#include <climits>
#include <utility>
#include <string>
#include <string_view>

namespace kestrum {

std::optional<double> parsePackDecimal(const QString& text, int* errorPosition)
{
    const int n = static_cast<int>(text.size());
    int i = 0;
    const auto fail = [&](int at) -> std::optional<double> {
        if (errorPosition)
            *errorPosition = at + 1;
        return std::nullopt;
    };
    const auto digit = [&](int k) { return k < n && text[k] >= QLatin1Char('0') && text[k] <= QLatin1Char('9'); };
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    const int start = i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    int mantissaDigits = 0;
    while (digit(i)) {
        ++i;
        ++mantissaDigits;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (digit(i)) {
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return fail(i);
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            ++i;
        if (!digit(i))
            return fail(i);
        while (digit(i))
            ++i;
    }
    if (i < n)
        return fail(i);
    bool ok = false;
    const double value = text.mid(start).toDouble(&ok);  // QString::toDouble uses the C locale
    if (!ok || !std::isfinite(value))
        return fail(start);
    return value;
}

uint8_t wallKindFromToken(const QString& token)
{
    static const char* const tokens[] = {"H", "V", "LBc", "RBc", "LTc", "RTc"};
    for (uint8_t k = 0; k < 6; ++k)
        if (token == QLatin1String(tokens[k]))
            return k;
    return wkBlock;
}

QString decimalWarning(int errorPosition)
{
    return QStringLiteral("Error string to double conversion. Error code: %1").arg(errorPosition);
}

namespace {

// Cells far off the field are held at this distance: no arithmetic on them can overflow,
// and they stay off the field.
constexpr long long kFar = 1 << 28;

// A cell from a fraction of the field.
int cellFromFraction(double f, int M)
{
    const double v = roundHalfEven(f * M);
    return static_cast<int>(std::clamp(v, -static_cast<double>(kFar), static_cast<double>(kFar)));
}

int32_t heldOffField(long long v) { return static_cast<int32_t>(std::clamp(v, -kFar, kFar)); }

// Blanks as the settings file trims them.
bool blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string_view trimmed(std::string_view t)
{
    while (!t.empty() && blank(t.front()))
        t.remove_prefix(1);
    while (!t.empty() && blank(t.back()))
        t.remove_suffix(1);
    return t;
}

// Names are matched without regard to case, as in the settings file; the ASCII names of
// the pack's keys are the common case and are folded without a detour.
std::string folded(std::string_view name)
{
    std::string out(name);
    bool ascii = true;
    for (char& c : out) {
        if (static_cast<unsigned char>(c) >= 0x80)
            ascii = false;
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    if (ascii)
        return out;
    return decodeAnsi(QByteArray(name.data(), static_cast<qsizetype>(name.size()))).toCaseFolded().toStdString();
}

// The level a section's folded name stands for, written as the game asks for it
// ("level-3"); nothing for every other section.
std::optional<int> levelOfSection(const std::string& name)
{
    constexpr std::string_view prefix = "level";
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    const char* first = name.data() + prefix.size();
    const char* last = name.data() + name.size();
    int level = 0;
    const auto [end, ec] = std::from_chars(first, last, level);
    if (ec != std::errc() || end != last || std::to_string(level) != std::string(first, last))
        return std::nullopt;
    return level;
}

// The keys a level's section is read for; any other key is never asked for.
enum class Field { NumBase, NumLine, BaseX, BaseY, BaseType, LineType, LineBeg, LineEnd, LineStepX, LineStepY };

struct NumberedField {
    Field field;
    int number = 0;  // k or j; 0 for NumBase and NumLine
};

// The field a folded key names, as the game spells the key when it asks ("baseposx12",
// never "baseposx012").
std::optional<NumberedField> fieldOfKey(std::string_view key)
{
    if (key == "numbase")
        return NumberedField{Field::NumBase};
    if (key == "numline")
        return NumberedField{Field::NumLine};
    static const std::pair<std::string_view, Field> numbered[] = {
        {"baseposx", Field::BaseX},     {"baseposy", Field::BaseY},     {"basetype", Field::BaseType},
        {"linetype", Field::LineType},  {"linebeg", Field::LineBeg},    {"lineend", Field::LineEnd},
        {"linestepx", Field::LineStepX}, {"linestepy", Field::LineStepY},
    };
    for (const auto& [prefix, field] : numbered) {
        if (key.size() <= prefix.size() || key.substr(0, prefix.size()) != prefix)
            continue;
        const std::string_view digits = key.substr(prefix.size());
        if (digits.front() == '0' || digits.size() > 10)
            return std::nullopt;
        long long n = 0;
        for (const char c : digits) {
            if (c < '0' || c > '9')
                return std::nullopt;
            n = n * 10 + (c - '0');
        }
        if (n > INT_MAX)
            return std::nullopt;
        return NumberedField{field, static_cast<int>(n)};
    }
    return std::nullopt;
}

QString valueText(std::string_view v)
{
    return decodeAnsi(QByteArray(v.data(), static_cast<qsizetype>(v.size()))).left(profile::kMaxValueLength);
}

int valueInt(std::string_view v, int def)
{
    // Most values are a few plain digits: read them without the general parser's detours.
    const bool negative = !v.empty() && v.front() == '-';
    const std::string_view digits = v.substr(negative ? 1 : 0);
    if (!digits.empty() && digits.size() <= 9 &&
        std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        int n = 0;
        for (const char c : digits)
            n = n * 10 + (c - '0');
        return negative ? -n : n;
    }
    const auto n = static_cast<qsizetype>(std::min<size_t>(v.size(), profile::kMaxValueLength));
    return profile::parseInt(QString::fromLatin1(v.data(), n), def);
}

// A base point as its keys give it; a value that cannot be read counts as 1.0 and keeps
// the position of its first wrong character for the message.
struct BaseSpec {
    double x = 0.5, y = 0.5;
    int xError = 0, yError = 0;
    uint8_t kind = wkH;
    uint8_t set = 0;  // the fields already read: the first key of a name counts
};

struct LineSpec {
    uint8_t kind = wkV;
    int beg = 1, end = 2, stepX = 0, stepY = 1;
};

constexpr int kReportedValues = 10;

}  // namespace

// A level's section, read into what its build needs: a build never parses text again.
struct LevelPack::Section {
    int level = 0;
    int numBase = 1, numLine = 1;
    bool numBaseSet = false, numLineSet = false;
    std::vector<BaseSpec> bases = std::vector<BaseSpec>(kPackRecords);  // k = 1 ... 400
    std::vector<std::pair<int, LineSpec>> lines;  // the lines that have keys, by number

    // Values of line keys in the file's order until the section ends.
    struct LineValue {
        int number;
        Field field;
        std::string_view value;
    };
    std::vector<LineValue> pendingLines;

    void take(std::string_view key, std::string_view value)
    {
        const std::optional<NumberedField> f = fieldOfKey(key);
        if (!f)
            return;
        switch (f->field) {
        case Field::NumBase:
            if (!std::exchange(numBaseSet, true))
                numBase = valueInt(value, 1);
            return;
        case Field::NumLine:
            if (!std::exchange(numLineSet, true))
                numLine = valueInt(value, 1);
            return;
        case Field::BaseX:
        case Field::BaseY:
        case Field::BaseType: {
            if (f->number > kPackRecords)
                return;  // past the table: never read
            BaseSpec& b = bases[static_cast<size_t>(f->number - 1)];
            const auto bit = static_cast<uint8_t>(1u << static_cast<int>(f->field));
            if (b.set & bit)
                return;
            b.set |= bit;
            if (f->field == Field::BaseType) {
                b.kind = wallKindFromToken(valueText(value));
                return;
            }
            int position = 0;
            const std::optional<double> v = parsePackDecimal(valueText(value), &position);
            (f->field == Field::BaseX ? b.x : b.y) = v.value_or(1.0);
            (f->field == Field::BaseX ? b.xError : b.yError) = v ? 0 : position;
            return;
        }
        default:
            pendingLines.push_back({f->number, f->field, value});
        }
    }

    // The section has ended: the line keys become lines, the first key of a name counting.
    void finish()
    {
        std::stable_sort(pendingLines.begin(), pendingLines.end(),
                         [](const LineValue& a, const LineValue& b) { return a.number < b.number; });
        uint8_t set = 0;
        for (size_t i = 0; i < pendingLines.size(); ++i) {
            const LineValue& v = pendingLines[i];
            if (lines.empty() || lines.back().first != v.number) {
                lines.emplace_back(v.number, LineSpec{});
                set = 0;
            }
            const auto bit = static_cast<uint8_t>(1u << (static_cast<int>(v.field) - static_cast<int>(Field::LineType)));
            if (set & bit)
                continue;
            set |= bit;
            LineSpec& line = lines.back().second;
            switch (v.field) {
            case Field::LineType: line.kind = wallKindFromToken(valueText(v.value)); break;
            case Field::LineBeg: line.beg = valueInt(v.value, 1); break;
            case Field::LineEnd: line.end = valueInt(v.value, 2); break;
            case Field::LineStepX: line.stepX = valueInt(v.value, 0); break;
            default: line.stepY = valueInt(v.value, 1); break;
            }
        }
        pendingLines = {};
    }
};

LevelPack::~LevelPack() = default;

std::shared_ptr<const LevelPack> LevelPack::read(const QString& path, QString* problem)
{
    std::shared_ptr<LevelPack> pack(new LevelPack);
    pack->path_ = path;
    QString error;
    QByteArray bytes;
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        if (std::optional<QByteArray> read = readRegularFile(path, limits::kLevelPack, &error))
            bytes = textAsUtf8(*read);
        else if (problem)
            *problem = error;
    }
    std::string_view text(bytes.constData(), static_cast<size_t>(bytes.size()));
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);

    // One pass over the lines; only the sections of levels are kept, the first of each
    // name and the first of each key in it, as the settings file reads them.
    Section* current = nullptr;
    const auto close = [&] {
        if (current)
            current->finish();
        current = nullptr;
    };
    while (!text.empty()) {
        const size_t eol = text.find('\n');
        const std::string_view t = trimmed(text.substr(0, eol));
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        if (t.empty() || t.front() == ';' || t.front() == '#')
            continue;
        if (t.front() == '[') {
            const size_t end = t.find(']');
            if (end == std::string_view::npos || end == 0)
                continue;
            close();
            const std::optional<int> level = levelOfSection(folded(trimmed(t.substr(1, end - 1))));
            if (level && *level <= 10 && !pack->hasSection(*level)) {
                pack->sections_.push_back(std::make_unique<Section>());
                current = pack->sections_.back().get();
                current->level = *level;
            }
            continue;
        }
        const size_t eq = t.find('=');
        if (!current || eq == std::string_view::npos || eq == 0)
            continue;
        std::string_view value = trimmed(t.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        current->take(folded(trimmed(t.substr(0, eq))), value);
    }
    close();
    return pack;
}

const LevelPack::Section* LevelPack::section(int level) const
{
    for (const auto& s : sections_)
        if (s->level == level)
            return s.get();
    return nullptr;
}

bool LevelPack::hasSection(int level) const { return section(level) != nullptr; }

PackLevelResult LevelPack::build(int level, int fieldSize, WallTable& walls, const LevelWarning& warn) const
{
    PackLevelResult result;
    static const Section kDefaults;
    const Section* found = section(level);
    result.sectionFound = found != nullptr;
    const Section& sec = found ? *found : kDefaults;
    const int M = fieldSize - 1;
    const TCellPos parked = parkedWall(fieldSize);

    const auto append = [&](TCellPos c, uint8_t kind) {
        if (result.records >= kPackRecords) {
            ++result.dropped;
            return;
        }
        walls[static_cast<size_t>(result.records++)] = TWall{c.X, c.Y, kind};
    };

    // Base points; a negative count makes none, and those past the table are not read.
    const int bases = std::max(sec.numBase, 0);
    for (int k = 1; k <= bases; ++k) {
        if (result.records >= kPackRecords) {
            result.dropped += bases - k + 1;
            break;
        }
        const BaseSpec& b = sec.bases[static_cast<size_t>(k - 1)];
        if (warn && b.xError)
            warn(QStringLiteral("BasePosX%1").arg(k), decimalWarning(b.xError));
        if (warn && b.yError)
            warn(QStringLiteral("BasePosY%1").arg(k), decimalWarning(b.yError));
        append({cellFromFraction(b.x, M), cellFromFraction(b.y, M)}, b.kind);
    }

    // Lines between record numbers (1-based, counting the table as it fills).
    const auto record = [&](int number) {
        if (number >= 1 && number <= result.records) {
            const TWall& w = walls[static_cast<size_t>(number - 1)];
            return TCellPos{w.X, w.Y};
        }
        return parked;
    };
    const auto draw = [&](const LineSpec& line) {
        int made = 0;
        if (line.beg >= 1 && line.beg <= kPackRecords && line.end >= 1 && line.end <= kPackRecords) {
            const TCellPos from = record(line.beg);
            const TCellPos to = record(line.end);
            const long long n = line.stepX != 0 ? std::llabs(static_cast<long long>(from.X) - to.X)
                                                : std::llabs(static_cast<long long>(from.Y) - to.Y);
            for (long long i = 1; i < n && result.records < kPackRecords; ++i) {
                append({heldOffField(from.X + i * line.stepX), heldOffField(from.Y + i * line.stepY)}, line.kind);
                ++made;
            }
            if (result.records >= kPackRecords && n - 1 > made)
                result.dropped += static_cast<int>(std::min<long long>(n - 1 - made, 1 << 20));
        }
        return made;
    };
    // Counted wide: NumLine may be the largest int, and the count goes one past it.
    const long long lines = std::max(sec.numLine, 0);
    auto written = sec.lines.begin();
    for (long long j = 1; j <= lines && result.records < kPackRecords;) {
        while (written != sec.lines.end() && written->first < j)
            ++written;
        if (written != sec.lines.end() && written->first == j) {
            draw(written->second);
            ++j;
            continue;
        }
        // A line without keys of its own is the default line. One that makes nothing
        // changes nothing, and neither does any like it up to the next written line: a
        // large NumLine costs no more than the lines the file spells out.
        if (draw(LineSpec{}) == 0)
            j = written == sec.lines.end() ? lines + 1 : std::min<long long>(written->first, lines + 1);
        else
            ++j;
    }
    // The defaults' line runs down the middle column, where the snake starts on many
    // fields: a level its author did not write must not kill at every start.
    if (!found)
        result.records = clearSnakeRoom(walls, result.records, level, fieldSize);
    return result;
}

QString LevelPack::openingReport() const
{
    QStringList missing;
    for (int level = 0; level <= 10; ++level)
        if (!hasSection(level))
            missing << QString::number(level);
    QStringList unreadable;
    int more = 0;
    for (int level = 0; level <= 10; ++level) {
        if (!hasSection(level))
            continue;
        WallTable walls;
        parkWalls(walls, 20);
        build(level, 20, walls, [&](const QString& key, const QString& message) {
            if (unreadable.size() < kReportedValues)
                unreadable << QStringLiteral("[Level%1] %2: %3").arg(level).arg(key, message);
            else
                ++more;
        });
    }
    if (missing.isEmpty() && unreadable.isEmpty())
        return {};
    QStringList report{QStringLiteral("Level pack %1").arg(QDir::toNativeSeparators(path_))};
    if (!missing.isEmpty())
        report << QStringLiteral("No section for level %1: built from the defaults.").arg(missing.join(QStringLiteral(", ")));
    report << unreadable;
    if (more > 0)
        report << QStringLiteral("... and %1 more values that cannot be read, each counted as 1.").arg(more);
    return report.join(QLatin1Char('\n'));
}

PackLevelResult readPackLevel(const QString& path, int level, int fieldSize, WallTable& walls,
                              const LevelWarning& warn)
{
    QString unreadable;
    const std::shared_ptr<const LevelPack> pack = LevelPack::read(path, &unreadable);
    // A file that is no regular file within the limit reads as a missing one, and says so.
    if (!unreadable.isEmpty() && warn)
        warn(QString(), unreadable);
    return pack->build(level, fieldSize, walls, warn);
}

}  // namespace kestrum
