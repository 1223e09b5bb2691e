// Language files: positions, limits, line ends, fallbacks, and the two shipped files.
#include "settings/Language.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

namespace kestrum::test {
namespace {

class LanguageTest : public testing::Test {
protected:
    void SetUp() override
    {
        previous_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
    }
    void TearDown() override { QDir::setCurrent(previous_); }
    QString write(const QByteArray& bytes, const QString& name = "test.lng")
    {
        QFile f(dir_.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    }
    // A file of n lines, line k reading "text k".
    static QByteArray numbered(int n, const char* br = "\r\n")
    {
        QByteArray b;
        for (int k = 1; k <= n; ++k)
            b += "text " + QByteArray::number(k) + br;
        return b;
    }
    QTemporaryDir dir_;
    QString previous_;
};

TEST_F(LanguageTest, EveryLineLandsInItsPlaceAndTheSkippedLinesChangeNothing)
{
    LanguageTexts t;
    QString error;
    ASSERT_TRUE(t.load(write(numbered(120)), &error)) << error.toStdString();
    for (int k = 1; k <= 113; ++k) {
        if (k == 36 || k == 73 || k == 84)
            EXPECT_EQ(t.text(k), "") << k;
        else
            EXPECT_EQ(t.text(k), QStringLiteral("text %1").arg(k)) << k;
    }
    EXPECT_EQ(t.text(114), "");
    EXPECT_EQ(t.text(0), "");
}

TEST_F(LanguageTest, TheNoticesSpeakEnglishWhereAnOlderFileHasNoTextForThem)
{
    // A classic file of 92 lines, and one whose 93rd line is empty (reserved there).
    LanguageTexts classic, blank;
    ASSERT_TRUE(classic.load(write(numbered(92), "classic.lng"), nullptr));
    ASSERT_TRUE(blank.load(write(numbered(92) + "\r\nown 94\r\n", "blank.lng"), nullptr));
    EXPECT_EQ(classic.text(93), "Paused: press any key");
    EXPECT_EQ(classic.text(94), "Press an arrow key to start");
    EXPECT_EQ(classic.text(112), "Grow to %1 and eat to open the exit");
    EXPECT_EQ(blank.text(93), "Paused: press any key");
    EXPECT_EQ(blank.text(94), "own 94");
    EXPECT_EQ(blank.text(95), "Keys...");
}

TEST_F(LanguageTest, AMissingLineShiftsEveryLaterText)
{
    QByteArray b = numbered(92);
    b.replace("text 20\r\n", "");
    LanguageTexts t;
    ASSERT_TRUE(t.load(write(b), nullptr));
    EXPECT_EQ(t.text(19), "text 19");
    EXPECT_EQ(t.text(20), "text 21");
    EXPECT_EQ(t.text(37), "text 38");
    EXPECT_EQ(t.text(92), "");
}

TEST_F(LanguageTest, LongLinesAreCutToTheirMaximum)
{
    QByteArray b = numbered(92);
    b.replace("text 2\r\n", QByteArray(60, 'n') + "\r\n");
    b.replace("text 81\r\n", QByteArray(30, 'g') + "\r\n");
    b.replace("text 77\r\n", QByteArray(130, 'm') + "\r\n");
    b.replace("text 90\r\n", QByteArray(500, 'r') + "\r\n");
    LanguageTexts t;
    ASSERT_TRUE(t.load(write(b), nullptr));
    EXPECT_EQ(t.text(2), QString(40, 'n'));
    EXPECT_EQ(t.text(3), "text 3") << "the rest of a cut line goes nowhere";
    EXPECT_EQ(t.text(81), QString(20, 'g'));
    EXPECT_EQ(t.text(77), QString(100, 'm'));
    EXPECT_EQ(t.text(90).size(), 500);
}

// A file that lacks lines at its end, however many, leaves those lines in built-in
// English, so no menu goes blank.
TEST_F(LanguageTest, AShortFileKeepsEnglishForTheLinesItLacks)
{
    for (const int lines : {60, 45, 1, 0}) {
        SCOPED_TRACE(lines);
        LanguageTexts t;
        QString error;
        ASSERT_TRUE(t.load(write(numbered(lines), "short.lng"), &error)) << error.toStdString();
        EXPECT_EQ(t.text(1), lines >= 1 ? "text 1" : "File");
        EXPECT_EQ(t.text(45), lines >= 45 ? "text 45" : "Next");
        EXPECT_EQ(t.text(61), "Delete");
        EXPECT_EQ(t.text(81), "GAME OVER");
    }
}

TEST_F(LanguageTest, LineEndsAndBlanks)
{
    LanguageTexts lf, crlf;
    ASSERT_TRUE(lf.load(write(numbered(92, "\n"), "lf.lng"), nullptr));
    ASSERT_TRUE(crlf.load(write(numbered(92, "\r\n"), "crlf.lng"), nullptr));
    for (int k = 1; k <= 92; ++k)
        EXPECT_EQ(lf.text(k), crlf.text(k)) << k;
    LanguageTexts t;
    ASSERT_TRUE(t.load(write("\xEF\xBB\xBF  File \r\nNe\rw\r\n\r\n" + numbered(50)), nullptr));
    EXPECT_EQ(t.text(1), "  File ") << "blanks are part of the text; a UTF-8 mark is not";
    EXPECT_EQ(t.text(2), "New") << "a lone CR is dropped and ends nothing";
    EXPECT_EQ(t.text(3), "") << "an empty line is an empty text";
}

TEST_F(LanguageTest, FailuresKeepTheTextsAndSayWhy)
{
    LanguageTexts t;
    QString error;
    EXPECT_FALSE(t.load(dir_.filePath("missing.lng"), &error));
    EXPECT_EQ(error, "File not found");
    EXPECT_EQ(t.text(2), "New") << "the built-in texts stay";
    QDir(dir_.path()).mkdir("folder.lng");
    EXPECT_FALSE(t.load(dir_.filePath("folder.lng"), &error));
    EXPECT_EQ(error, "Cannot open file " + dir_.filePath("folder.lng") + ": it is a folder");
}

TEST_F(LanguageTest, TheFileIsFoundByNameOrPathElseRussianIsTried)
{
    write("x\n", "Mine.lng");
    EXPECT_EQ(LanguageTexts::resolve("Mine.lng"), dir_.filePath("Mine.lng"));
    EXPECT_EQ(LanguageTexts::resolve(dir_.filePath("Mine.lng")), dir_.filePath("Mine.lng"));
    EXPECT_EQ(LanguageTexts::resolve("Gone.lng"), dir_.filePath("Russian.lng"));
    EXPECT_EQ(LanguageTexts::resolve(""), dir_.filePath("Russian.lng"));
}

QString shipped(const char* name) { return QStringLiteral(KESTRUM_DATA_DIR "/") + name; }

TEST_F(LanguageTest, TheShippedEnglishFileIsTheBuiltInEnglish)
{
    LanguageTexts t;
    ASSERT_TRUE(t.load(shipped("English.lng"), nullptr));
    for (int k = 1; k <= 92; ++k)
        EXPECT_EQ(t.text(k), LanguageTexts::builtIn(k)) << k;
    EXPECT_EQ(t.text(37), "Kestrum");
    EXPECT_EQ(t.text(39), "level");
    EXPECT_EQ(t.text(81), "GAME OVER");
}

TEST_F(LanguageTest, TheShippedRussianFileReadsTheSameInWindows1251AndUtf8)
{
    QFile f(shipped("Russian.lng"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray cp1251 = f.readAll();
    EXPECT_EQ(cp1251.count('\n'), 113);
    LanguageTexts ansi;
    ASSERT_TRUE(ansi.load(shipped("Russian.lng"), nullptr));
    EXPECT_EQ(ansi.text(1), QString::fromUtf8("Файл"));
    EXPECT_EQ(ansi.text(16), QString::fromUtf8("0: \"чисто\""));
    EXPECT_EQ(ansi.text(81), QString::fromUtf8("КОНЕЦ ИГРЫ"));
    // The same texts written as UTF-8 read the same.
    QByteArray utf8;
    for (int k = 1; k <= 92; ++k)
        utf8 += ansi.text(k).toUtf8() + "\r\n";
    LanguageTexts u;
    ASSERT_TRUE(u.load(write(utf8, "ru-utf8.lng"), nullptr));
    for (int k = 1; k <= 92; ++k)
        EXPECT_EQ(u.text(k), ansi.text(k)) << k;
    // And so do they as UTF-16, either way round, as editors save it with its mark.
    const QString text = QString::fromUtf8(utf8);
    for (const auto& [mark, name, encoding] :
         {std::tuple{QByteArray("\xFF\xFE"), "ru-le.lng", QStringConverter::Utf16LE},
          std::tuple{QByteArray("\xFE\xFF"), "ru-be.lng", QStringConverter::Utf16BE}}) {
        QStringEncoder encoder(encoding);
        LanguageTexts wide;
        ASSERT_TRUE(wide.load(write(mark + QByteArray(encoder.encode(text)), name), nullptr));
        for (int k = 1; k <= 92; ++k)
            EXPECT_EQ(wide.text(k), ansi.text(k)) << name << " line " << k;
    }
    // Every text the windows show is there, in its limits.
    EXPECT_EQ(ansi.text(93), QString::fromUtf8("Пауза: нажмите любую клавишу"));
    EXPECT_EQ(ansi.text(112), QString::fromUtf8("Вырастите до %1 и съешьте яблоко, чтобы открыть выход"));
    for (int k : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 37, 38, 39, 40, 45, 55, 56, 77, 78, 79, 81, 82, 94})
        EXPECT_FALSE(ansi.text(k).isEmpty()) << k;
    // Every newer line is Russian in the shipped file, and each placeholder is kept.
    LanguageTexts english;
    ASSERT_TRUE(english.load(shipped("English.lng"), nullptr));
    for (int k = 95; k <= kLanguageLines; ++k) {
        EXPECT_NE(ansi.text(k), english.text(k)) << k;
        EXPECT_EQ(english.text(k), LanguageTexts::builtIn(k)) << k;
        EXPECT_EQ(ansi.text(k).contains(QLatin1String("%1")), english.text(k).contains(QLatin1String("%1"))) << k;
    }
}

}  // namespace
}  // namespace kestrum::test
