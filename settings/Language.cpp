#include "Language.h"

#include "TextCodec.h"

#include "files/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kestrum {

namespace {

// The texts the windows show before any language file is applied.
const char* const kEnglish[kLanguageLines + 1] = {
    "",
    "File", "New", "Pause", "Hall of Fame...", "Exit", "Options", "Speed", "Level",
    "All sounds", "Background music", "Field setup...", "Slow", "Normal", "Fast", "More...",
    "0: \"Clean\"", "1: \"Minus\"", "2: \"Slit\"", "3: \"Lanes\"", "4: \"Plus\"",
    "5: \"Letter H\"", "6: \"Pen\"", "7: \"Letter Zh\"", "8: \"Crosshair\"", "9: \"Corridor\"",
    "10: \"Zigzag\"", "Next level", "Open level pack...", "About...", "", "", "Help", "",
    "Select language...", "", "",
    "Kestrum", "length", "level", "Food", "Life", "Crop", "Bonus", "Death", "Next", "Speed",
    "1st", "2nd", "3rd", "Park", "Field setup", "", "Name", "Picture file", "Enter your name", "Hall of Fame",
    "Clear", "Add picture", "Bonus", "Add", "Delete", "Open file", "About Kestrum", "", "",
    "Double-click here", "Lives", "Apples eaten", "Level", "Length", "What lies on the field",
    "", "", "", "", "",
    "A toadstool! The arrow keys are reversed for a while.",
    "The toadstool has worn off: the arrow keys steer as usual again.",
    "Clear the hall of fame?", "", "GAME OVER",
    "Use this skin from now on, also at the next start?",
    "A snake arcade game: eat the apples, grow long and find the way out of every level.",
    "", "", "", "", "", "", "", "", "",
    "Paused: press any key", "Press an arrow key to start",
    "Keys...", "Volume...", "Quick turns", "Full screen",
    "Keys", "Up", "Down", "Left", "Right", "Pause", "Press a key...", "Reset",
    "The menu uses %1 already: choose another key.",
    "Volume", "Sound effects", "Music",
    "The exit is open", "Grow to %1 and eat to open the exit", "Level pack: %1",
};

}  // namespace

int LanguageTexts::maxLength(int line)
{
    if (line == 36 || line == 73 || line == 84)
        return -1;
    if (line == 107 || line == 112)
        return 100;
    if (line > kClassicLanguageLines)
        return 40;
    if (line == 74 || line >= 85)
        return 0;
    if (line == 72 || line == 76 || line == 77 || line == 78 || line == 79 || line == 80 || line == 82)
        return 100;
    if (line == 81)
        return 20;
    if (line == 83)
        return 150;
    return 40;
}

QString LanguageTexts::builtIn(int line)
{
    if (line < 1 || line > kLanguageLines)
        return {};
    return QString::fromUtf8(kEnglish[line]);
}

LanguageTexts::LanguageTexts()
{
    for (int n = 1; n <= kLanguageLines; ++n)
        lines_[static_cast<size_t>(n)] = builtIn(n);
}

QString LanguageTexts::text(int line) const
{
    if (line < 1 || line > kLanguageLines)
        return {};
    return lines_[static_cast<size_t>(line)];
}

QString LanguageTexts::resolve(const QString& configured)
{
    const QFileInfo named(configured);
    if (!configured.isEmpty() && named.isFile())
        return named.absoluteFilePath();
    return QDir::current().absoluteFilePath(QStringLiteral("Russian.lng"));
}

bool LanguageTexts::load(const QString& path, QString* error)
{
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
        if (error)
            *error = QStringLiteral("File not found");
        return false;
    }
    std::optional<QByteArray> read = readRegularFile(path, limits::kLanguage, error);
    if (!read)
        return false;
    // Lines end with LF or CR LF; a CR on its own is dropped from the text.
    QByteArray bytes = textAsUtf8(*read);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QList<QByteArray> raw = bytes.split('\n');
    if (!raw.isEmpty() && raw.back().isEmpty())
        raw.pop_back();  // the break after the last line ends it; it does not start another
    for (int n = 1; n <= kLanguageLines; ++n) {
        const int max = maxLength(n);
        if (max < 0)
            continue;
        // A line past the file's end keeps the built-in English: no menu goes blank.
        QString text = builtIn(n);
        if (n - 1 < raw.size()) {
            QByteArray line = raw[n - 1];
            line.replace('\r', QByteArray());
            text = decodeAnsi(line);
            if (max > 0)
                text = text.left(max);
            // The newer lines stand where older files may keep an empty reserved line.
            if (text.isEmpty() && n > kClassicLanguageLines)
                text = builtIn(n);
        }
        lines_[static_cast<size_t>(n)] = text;
    }
    return true;
}

}  // namespace kestrum
