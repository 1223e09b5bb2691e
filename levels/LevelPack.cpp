#include "LevelPack.h"

#include "settings/ProfileFile.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

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

// The highest number standing after a key name with the given prefix ("LineType7" ...).
int highestIndex(const ProfileSnapshot& pack, const QString& section, const QString& prefix)
{
    int highest = 0;
    for (const QString& key : pack.keys(section)) {
        if (!key.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        bool ok = false;
        const int n = key.mid(prefix.size()).toInt(&ok);
        if (ok)
            highest = std::max(highest, n);
    }
    return highest;
}

}  // namespace

PackLevelResult readPackLevel(const QString& path, int level, int fieldSize, WallTable& walls,
                              const LevelWarning& warn)
{
    PackLevelResult result;
    QString unreadable;
    const ProfileSnapshot pack = ProfileFile(path, limits::kLevelPack).snapshot(&unreadable);
    // A file that is no regular file within the limit reads as a missing one, and says so.
    if (!unreadable.isEmpty() && warn)
        warn(QString(), unreadable);
    const QString section = QStringLiteral("Level%1").arg(level);
    result.sectionFound = pack.hasSection(section);
    const int M = fieldSize - 1;
    const TCellPos parked = parkedWall(fieldSize);

    const auto fraction = [&](const QString& key) {
        const QString text = pack.readText(section, key, QStringLiteral("0.5"));
        int position = 0;
        if (const auto v = parsePackDecimal(text, &position))
            return *v;
        if (warn)
            warn(key, decimalWarning(position));
        return 1.0;
    };
    const auto append = [&](TCellPos c, uint8_t kind) {
        if (result.records >= kWallRecords) {
            ++result.dropped;
            return;
        }
        walls[static_cast<size_t>(result.records++)] = TWall{c.X, c.Y, kind};
    };

    // Base points; a negative count makes none, and those past the table are not read.
    const int bases = std::max(pack.readInt(section, QStringLiteral("NumBase"), 1), 0);
    for (int k = 1; k <= bases; ++k) {
        if (result.records >= kWallRecords) {
            result.dropped += bases - k + 1;
            break;
        }
        TCellPos c;
        c.X = cellFromFraction(fraction(QStringLiteral("BasePosX%1").arg(k)), M);
        c.Y = cellFromFraction(fraction(QStringLiteral("BasePosY%1").arg(k)), M);
        append(c, wallKindFromToken(pack.readText(section, QStringLiteral("BaseType%1").arg(k),
                                                  QStringLiteral("H"))));
    }

    // Lines between record numbers (1-based, counting the table as it fills).
    const int lines = std::max(pack.readInt(section, QStringLiteral("NumLine"), 1), 0);
    const int lastWritten = std::max({highestIndex(pack, section, QStringLiteral("LineType")),
                                      highestIndex(pack, section, QStringLiteral("LineBeg")),
                                      highestIndex(pack, section, QStringLiteral("LineEnd")),
                                      highestIndex(pack, section, QStringLiteral("LineStepX")),
                                      highestIndex(pack, section, QStringLiteral("LineStepY"))});
    const auto record = [&](int number) {
        if (number >= 1 && number <= result.records) {
            const TWall& w = walls[static_cast<size_t>(number - 1)];
            return TCellPos{w.X, w.Y};
        }
        return parked;
    };
    for (int j = 1; j <= lines; ++j) {
        const uint8_t kind = wallKindFromToken(
            pack.readText(section, QStringLiteral("LineType%1").arg(j), QStringLiteral("V")));
        const int b = pack.readInt(section, QStringLiteral("LineBeg%1").arg(j), 1);
        const int e = pack.readInt(section, QStringLiteral("LineEnd%1").arg(j), 2);
        const int sx = pack.readInt(section, QStringLiteral("LineStepX%1").arg(j), 0);
        const int sy = pack.readInt(section, QStringLiteral("LineStepY%1").arg(j), 1);
        int made = 0;
        if (b >= 1 && b <= kWallRecords && e >= 1 && e <= kWallRecords) {
            const TCellPos from = record(b);
            const TCellPos to = record(e);
            const long long n = sx != 0 ? std::llabs(static_cast<long long>(from.X) - to.X)
                                        : std::llabs(static_cast<long long>(from.Y) - to.Y);
            for (long long i = 1; i < n && result.records < kWallRecords; ++i) {
                append({heldOffField(from.X + i * sx), heldOffField(from.Y + i * sy)}, kind);
                ++made;
            }
            if (result.records >= kWallRecords && n - 1 > made)
                result.dropped += static_cast<int>(std::min<long long>(n - 1 - made, 1 << 20));
        }
        // Once the table is full nothing more fits. Past the last line the file spells out,
        // every further line is the same as this one: when it makes nothing, neither will
        // they, however large NumLine is.
        if (result.records >= kWallRecords || (j > lastWritten && made == 0))
            break;
    }
    return result;
}

}  // namespace kestrum
