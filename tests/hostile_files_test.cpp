// Every reader of the game against files that are no files of its kind: a FIFO with no
// writer, a link to /dev/zero, a folder, a sparse file of 3 GiB. Each must
// answer at once with a message naming the file, read next to nothing into memory and
// leave what it had.
#include "app/HelpWindow.h"
#include "levels/LevelPack.h"
#include "render/Skin.h"
#include "settings/Language.h"
#include "settings/ProfileFile.h"
#include "sound/MusicDevice.h"
#include "sound/SoundEffects.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QUrl>

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrum::test {
namespace {

// The process's peak resident memory so far, in MiB.
long peakMiB()
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == "VmHWM:") {
            long kib = 0;
            status >> kib;
            return kib / 1024;
        }
    return 0;
}

struct Reader {
    const char* name;
    // Reads the file; false with the player's message when it will not.
    std::function<bool(const QString& path, QString* message)> read;
    bool speaks = true;  // the music fails silently and goes on with the next theme
};

std::vector<Reader> readers()
{
    return {
        {"settings",
         [](const QString& path, QString* message) {
             const ProfileSnapshot s = ProfileFile(path).snapshot(message);
             return message->isEmpty() && s.readInt("options", "Speed", -1) != -1;
         }},
        {"language",
         [](const QString& path, QString* message) {
             LanguageTexts texts;
             const QString before = texts.text(1);
             const bool ok = texts.load(path, message);
             EXPECT_EQ(texts.text(1), before) << "a refused file changed the texts";
             return ok;
         }},
        {"level pack",
         [](const QString& path, QString* message) {
             WallTable walls{};
             const PackLevelResult r = readPackLevel(path, 1, 20, walls, [&](const QString&, const QString& m) {
                 if (message->isEmpty())
                     *message = m;
             });
             return r.sectionFound;
         }},
        {"skin and background",
         [](const QString& path, QString* message) { return !loadBitmap(path, message).isNull(); }},
        {"wave list",
         [](const QString& path, QString* message) {
             SoundEffects effects;
             const bool ok = effects.load(path, message);
             EXPECT_EQ(effects.size(), 0);
             return ok;
         }},
        {"help",
         [](const QString& path, QString* message) {
             HelpWindow help(nullptr);
             return help.showTopic(path, "en", message);
         }},
        {"music",
         [](const QString& path, QString*) {
             MusicDevice device;
             const bool ok = device.send("open sequencer!\"" + path + "\" alias mainback wait");
             EXPECT_FALSE(device.isOpen());
             return ok;
         },
         false},
    };
}

class HostileFiles : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_EQ(::mkfifo(local("fifo").constData(), 0600), 0);
        ASSERT_EQ(::symlink("/dev/zero", local("zero").constData()), 0);
        ASSERT_TRUE(QDir(dir_.path()).mkdir("folder"));
        QFile huge(dir_.filePath("huge"));
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(3LL << 30));  // sparse: no disk used
    }
    QByteArray local(const char* name) const { return QFile::encodeName(dir_.filePath(name)); }

    QTemporaryDir dir_;
};

TEST_F(HostileFiles, EveryReaderRefusesThemAtOnceWithAMessageAndLittleMemory)
{
    const long peakBefore = peakMiB();
    const char* const files[] = {"fifo", "zero", "folder", "huge"};
    for (const Reader& reader : readers())
        for (const char* file : files) {
            const QString path = dir_.filePath(file);
            QString message;
            QElapsedTimer clock;
            clock.start();
            const bool read = reader.read(path, &message);
            const qint64 ms = clock.elapsed();
            EXPECT_FALSE(read) << reader.name << " read " << file;
            if (reader.speaks) {
                EXPECT_TRUE(message.contains(path)) << reader.name << " on " << file << ": \""
                                                    << message.toStdString() << "\"";
            }
            EXPECT_LT(ms, 1000) << reader.name << " took " << ms << " ms on " << file;
        }
    // A reader that took in the 3 GiB file, or /dev/zero up to any limit of its own, would
    // have left its mark on the peak.
    EXPECT_LT(peakMiB() - peakBefore, 64) << "MiB more at the peak";
}

TEST_F(HostileFiles, TheMessageSaysWhatIsWrongWithTheFile)
{
    QString message;
    EXPECT_FALSE(readRegularFile(dir_.filePath("folder"), 100, &message));
    EXPECT_EQ(message, "Cannot open file " + dir_.filePath("folder") + ": it is a folder");
    EXPECT_FALSE(readRegularFile(dir_.filePath("fifo"), 100, &message));
    EXPECT_EQ(message, "Cannot open file " + dir_.filePath("fifo") + ": it is not a regular file");
    EXPECT_FALSE(readRegularFile(dir_.filePath("huge"), limits::kLevelPack, &message));
    EXPECT_EQ(message, "Cannot open file " + dir_.filePath("huge") +
                           ": it is 3072 MiB, more than the 2 MiB such a file may have");
    EXPECT_FALSE(readRegularFile(dir_.filePath("missing"), 100, &message));
    EXPECT_EQ(message, "Cannot open file " + dir_.filePath("missing"));
    // A file at its limit is read whole.
    QFile exact(dir_.filePath("exact"));
    ASSERT_TRUE(exact.open(QIODevice::WriteOnly));
    ASSERT_EQ(exact.write(QByteArray(100, 'x')), 100);
    exact.close();
    const std::optional<QByteArray> bytes = readRegularFile(dir_.filePath("exact"), 100, &message);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 100);
    EXPECT_FALSE(readRegularFile(dir_.filePath("exact"), 99, &message));
}

TEST_F(HostileFiles, ABitmapCutShortBehindItsHeaderIsRefused)
{
    QImage picture(64, 40, QImage::Format_RGB32);
    picture.fill(qRgb(200, 30, 30));
    {
        QByteArray whole;
        QBuffer buffer(&whole);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
        ASSERT_TRUE(picture.save(&buffer, "BMP"));
        const auto write = [&](const char* name, const QByteArray& bytes) {
            QFile f(dir_.filePath(name));
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
            return f.fileName();
        };
        QString message;
        EXPECT_FALSE(loadBitmap(write("whole.bmp", whole), &message).isNull()) << message.toStdString();
        // Half of its rows gone, and all but a byte of them.
        for (int cut : {static_cast<int>(whole.size() / 2), 1}) {
            const QString path = write("cut.bmp", whole.left(whole.size() - cut));
            message.clear();
            EXPECT_TRUE(loadBitmap(path, &message).isNull()) << "cut by " << cut;
            EXPECT_EQ(message, "Cannot open file " + path);
        }
    }
}

TEST_F(HostileFiles, TheHelpTakesItsPicturesStyleSheetsAndLinksByTheSameRules)
{
    const auto page = [&](const QByteArray& html) {
        QFile f(dir_.filePath("help.hlp"));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(html);
        return f.fileName();
    };
    const long peakBefore = peakMiB();
    QElapsedTimer clock;
    clock.start();
    HelpWindow help(nullptr);
    QString message;
    // A page whose pictures and style sheet are a FIFO, /dev/zero, a folder and 3 GiB: it
    // shows without them, at once.
    QImage picture(8, 6, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(dir_.filePath("good.png")));
    ASSERT_TRUE(help.showTopic(page("<html><head><link rel=\"stylesheet\" href=\"fifo\">"
                                    "<link rel=\"stylesheet\" href=\"zero\"></head><body><a name=\"en\">Help</a>"
                                    "<img src=\"fifo\"><img src=\"zero\"><img src=\"folder\"><img src=\"huge\">"
                                    "<img src=\"good.png\">"
                                    "<p style=\"background-image: url(zero)\">text</p></body></html>"),
                               "en", &message))
        << message.toStdString();
    EXPECT_TRUE(help.browser()->toPlainText().contains("Help"));
    EXPECT_EQ(help.browser()->document()->resource(QTextDocument::ImageResource, QUrl("good.png")).value<QImage>().size(),
              QSize(8, 6))
        << "a good picture shows";
    // A link followed to them shows why it cannot be shown.
    for (const char* file : {"fifo", "zero", "huge"}) {
        help.browser()->setSource(QUrl::fromLocalFile(dir_.filePath(file)));
        EXPECT_TRUE(help.browser()->toPlainText().startsWith("Cannot open file " + dir_.filePath(file)))
            << file << ": " << help.browser()->toPlainText().toStdString();
    }
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_LT(peakMiB() - peakBefore, 64) << "MiB more at the peak";

    // Tables that would take the layout seconds (its cost doubles with every level of
    // nesting) are refused with the reason; the page in force stays.
    const QByteArray text = help.browser()->toPlainText().toUtf8();
    QByteArray nested, rows = "<table>";
    for (int i = 0; i < 1000; ++i)
        nested += "<table><tr><td>";
    for (int i = 0; i < 1200; ++i)
        rows += "<tr><td>row</td><td>cell</td></tr>";
    for (const QByteArray& html : {nested, rows + "</table>"}) {
        clock.start();
        message.clear();
        const QString path = page(html);
        EXPECT_FALSE(help.showTopic(path, "en", &message));
        EXPECT_TRUE(message.startsWith("Cannot open file " + path + ": its tables ")) << message.toStdString();
        EXPECT_LT(clock.elapsed(), 100);
    }
    EXPECT_EQ(help.browser()->toPlainText().toUtf8(), text);
    // What is refused is far from what a help page holds: tables four deep, 100 cells.
    QByteArray deep;
    for (int i = 0; i < 4; ++i)
        deep += "<table><tr><td>";
    for (int i = 0; i < 50; ++i)
        deep += "<tr><td>row</td><td>cell</td></tr>";
    EXPECT_EQ(helpLayoutProblem(QString::fromUtf8(deep)), QString());
    EXPECT_EQ(helpLayoutProblem(QString::fromUtf8(nested.left(9 * 15))), "its tables are nested more than 8 deep");
}

// Packs within the size limit that are as large as it allows, in the three ways a pack can
// be large: many sections, many keys, many base points.
TEST_F(HostileFiles, ABigPackIsReadOnceAndNeverFreezesTheGame)
{
    const auto fill = [&](const char* name, QByteArray text, const std::function<QByteArray(int)>& more) {
        for (int i = 1; text.size() < limits::kLevelPack - 64; ++i)
            text += more(i);
        QFile f(dir_.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return f.fileName();
    };
    const QString packs[] = {
        fill("sections.lev", "[Level1]\nNumBase=0\nNumLine=0\n",
             [](int i) { return "[Extra" + QByteArray::number(i) + "]\n"; }),
        fill("keys.lev", "[Level1]\nNumBase=1\nBasePosX1=0.1\nNumLine=0\n",
             [](int i) { return "Note" + QByteArray::number(i) + "=1\n"; }),
        fill("bases.lev", "[Level1]\nNumBase=100000\nNumLine=0\n", [](int i) {
            const QByteArray k = QByteArray::number(i);
            return "BasePosX" + k + "=0.1\nBasePosY" + k + "=0.1\nBaseType" + k + "=X\n";
        }),
        // Lines that make nothing, and as many more as an int counts.
        fill("lines.lev", "[Level1]\nNumBase=1\nNumLine=2147483647\n",
             [](int i) { return "LineEnd" + QByteArray::number(i) + "=1\n"; }),
    };
    // The sanitizers' build runs many times slower than the game a player runs.
#if defined(__SANITIZE_ADDRESS__)
    const qint64 budgetMs = 1000;
#else
    const qint64 budgetMs = 100;
#endif
    for (const QString& path : packs) {
        TestGame g(40);
        QElapsedTimer clock;
        // The best of three: what the reading costs, not what a busy machine adds.
        qint64 opening = LLONG_MAX;
        for (int i = 0; i < 3; ++i) {
            g.host.messages.clear();
            clock.start();
            g.game->OpenLevelPack(path);
            opening = std::min(opening, clock.elapsed());
        }
        clock.start();
        g.game->nextLevel();
        const qint64 rebuild = clock.elapsed();
        EXPECT_LT(opening, budgetMs) << path.toStdString();
        EXPECT_LT(rebuild, budgetMs / 5) << path.toStdString() << ": a rebuild reads nothing";
        EXPECT_EQ(g.s().Level, 1);
        EXPECT_EQ(g.host.messages.size(), 1) << "the missing sections, told once";
        std::cout << QFileInfo(path).fileName().toStdString() << ": opening " << opening << " ms, rebuild "
                  << rebuild << " ms\n";
    }
}

}  // namespace
}  // namespace kestrum::test
