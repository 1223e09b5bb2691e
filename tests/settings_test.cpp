// Profile files, the configuration file and the hall of fame table.
#include "settings/Configuration.h"
#include "settings/FameTable.h"
#include "settings/ProfileFile.h"
#include "settings/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrum::test {
namespace {

class SettingsTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        previous_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        qputenv("XDG_CONFIG_HOME", dir_.filePath("config").toUtf8());
    }
    void TearDown() override
    {
        QDir::setCurrent(previous_);
        // A read-only file left by a test must not stop the folder from going.
        QFile::setPermissions(dir_.filePath("Kestrum.ini"), QFile::ReadOwner | QFile::WriteOwner);
    }
    QString path(const QString& name = "Kestrum.ini") const { return dir_.filePath(name); }
    void writeFile(const QByteArray& bytes, const QString& name = "Kestrum.ini") const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readFile(const QString& name = "Kestrum.ini") const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
    QString previous_;
};

TEST(ProfileValues, IntegersAreDecimalOrHexadecimalAndAnythingElseIsTheDefault)
{
    const std::pair<const char*, int> cases[] = {
        {"12", 12},         {"-7", -7},        {"+5", 5},          {" 42 ", 42},
        {"0x1F", 31},       {"0X10", 16},      {"$1f", 31},        {"$FFFFFFFF", -1},
        {"-0x10", -16},     {"", 99},          {"abc", 99},        {"12abc", 99},
        {"1.5", 99},        {"0x", 99},        {"$", 99},          {"99999999999", 99},
        {"2147483647", 2147483647},            {"-2147483648", -2147483647 - 1},
        {"0x123456789", 99}, {"٣", 99},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(profile::parseInt(QString::fromUtf8(text), 99), value) << text;
}

TEST(TextCodec, ReadsUtf8WhenValidElseWindows1251)
{
    EXPECT_EQ(decodeAnsi("plain"), "plain");
    EXPECT_EQ(decodeAnsi("\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82"), QString::fromUtf8("Привет"));
    EXPECT_EQ(decodeAnsi("\xcf\xf0\xe8\xe2\xe5\xf2"), QString::fromUtf8("Привет"));
    EXPECT_EQ(decodeAnsi("\xb8\xc0\xff\xa8"), QString::fromUtf8("ёАяЁ"));
}

TEST_F(SettingsTest, AMissingFileSectionOrKeyReadsAsTheDefault)
{
    ProfileFile f(path());
    EXPECT_EQ(f.readText("options", "FileCells", "kestrum"), "kestrum");
    EXPECT_EQ(f.readInt("options", "Speed", 100), 100);
    EXPECT_TRUE(f.readBool("options", "Sounds", true));
    EXPECT_FALSE(QFile::exists(path())) << "reading creates nothing";
}

TEST_F(SettingsTest, SectionsAndKeysMatchWithoutRegardToCase)
{
    writeFile("[OPTIONS]\nspeed=75\nSounds=2\nFileCells=  Blue skin  \n");
    ProfileFile f(path());
    EXPECT_EQ(f.readInt("options", "Speed", 100), 75);
    EXPECT_TRUE(f.readBool("Options", "SOUNDS", false));
    EXPECT_EQ(f.readText("options", "filecells", ""), "Blue skin");
}

TEST_F(SettingsTest, LongValuesAreCutAt2047Characters)
{
    writeFile("[alias]\nName1=" + QByteArray(3000, 'x') + "\n");
    EXPECT_EQ(ProfileFile(path()).readText("alias", "Name1", "").size(), 2047);
}

TEST_F(SettingsTest, NamesReadAsUtf8OrWindows1251AndAreWrittenAsUtf8)
{
    writeFile("[fame]\nName1=\xcf\xe5\xf2\xff\nName2=\xd0\x9f\xd0\xb5\xd1\x82\xd1\x8f\n");
    ProfileFile f(path());
    EXPECT_EQ(f.readText("fame", "Name1", ""), QString::fromUtf8("Петя"));
    EXPECT_EQ(f.readText("fame", "Name2", ""), QString::fromUtf8("Петя"));
    QString error;
    ASSERT_TRUE(f.writeText("fame", "Name3", QString::fromUtf8("Жора"), &error));
    EXPECT_TRUE(readFile().contains("Name3=\xd0\x96\xd0\xbe\xd1\x80\xd0\xb0"));
}

TEST_F(SettingsTest, WritesKeepCommentsUnknownKeysAndOrder)
{
    writeFile("; my settings\n[options]\nSpeed=75\nMyOwnKey=keep me\n\n[extra]\n; a note\nx=1\n");
    ProfileFile f(path());
    QString error;
    ASSERT_TRUE(f.writeInt("Options", "speed", 120, &error)) << error.toStdString();
    ASSERT_TRUE(f.writeBool("options", "Sounds", true, &error));
    const QByteArray text = readFile();
    EXPECT_TRUE(text.contains("; my settings"));
    EXPECT_TRUE(text.contains("MyOwnKey=keep me"));
    EXPECT_TRUE(text.contains("; a note"));
    EXPECT_TRUE(text.contains("x=1"));
    EXPECT_TRUE(text.contains("Speed=120")) << text.toStdString();
    EXPECT_FALSE(text.contains("Speed=75"));
    EXPECT_LT(text.indexOf("[options]"), text.indexOf("[extra]"));
    EXPECT_EQ(f.readInt("options", "Speed", 0), 120);
    EXPECT_TRUE(f.readBool("options", "Sounds", false));
}

TEST_F(SettingsTest, ValuesComeBackAsTheyWereWritten)
{
    ProfileFile f(path());
    QString error;
    const QString values[] = {"1. ", "  two blanks before", "\"quoted\"", "a=b;c", "", "\fform feed", "tab\t", QString::fromUtf8("\xEF\xBB\xBFmarked")};
    for (const QString& v : values) {
        ASSERT_TRUE(f.writeText("fame", "Name1", v, &error));
        EXPECT_EQ(f.readText("fame", "Name1", "default"), v);
    }
    // A line break cannot smuggle a key of its own into the file.
    ASSERT_TRUE(f.writeText("fame", "Name2", "Eve\n[options]\nSpeed=1", &error));
    EXPECT_EQ(f.readInt("options", "Speed", 100), 100);
    EXPECT_EQ(f.readText("fame", "Name2", ""), "Eve [options] Speed=1");
}

TEST_F(SettingsTest, AWriteChangesOnlyTheLinesOfItsKeys)
{
    const QByteArray before =
        "top=1\r\nnot a setting\r\n; comment\r\n[Options]\r\nSpeed = 75\r\ngarbage here\r\n"
        "speed=80\r\n\r\n[other]\r\na=1\r\n[options]\r\nb=2\r\n; trailing comment";
    writeFile(before);
    ProfileFile f(path());
    // The first section and the first key of a name count, as the platform's files do.
    EXPECT_EQ(f.readInt("options", "speed", 0), 75);
    EXPECT_EQ(f.readInt("options", "b", 0), 0);
    QString error;
    ASSERT_TRUE(f.writeInt("options", "SPEED", 120, &error));
    ASSERT_TRUE(f.writeBool("options", "Sounds", true, &error));
    ASSERT_TRUE(f.writeText("fame", "Name1", "Ann", &error));
    EXPECT_EQ(readFile(),
              "top=1\r\nnot a setting\r\n; comment\r\n[Options]\r\nSpeed=120\r\ngarbage here\r\n"
              "speed=80\r\nSounds=1\r\n\r\n[other]\r\na=1\r\n[options]\r\nb=2\r\n; trailing comment\r\n"
              "\r\n[fame]\r\nName1=Ann\r\n");
}

TEST_F(SettingsTest, TheFirstWriteCreatesTheFileAndItsFolder)
{
    ProfileFile f(dir_.filePath("config/Kestrum/Kestrum.ini"));
    QString error;
    ASSERT_TRUE(f.writeBool("options", "Sounds", false, &error)) << error.toStdString();
    EXPECT_EQ(f.readInt("options", "Sounds", 7), 0);
}

TEST_F(SettingsTest, AReadOnlyFileIsReportedAndLeftAlone)
{
    writeFile("[options]\nSpeed=75\n");
    QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    ProfileFile f(path());
    QString error;
    EXPECT_FALSE(f.writeInt("options", "Speed", 50, &error));
    EXPECT_EQ(error, "Unable to write to " + path());
    EXPECT_EQ(readFile(), "[options]\nSpeed=75\n");
    // What the file already says needs no writing, and is no fault even here.
    error.clear();
    EXPECT_TRUE(f.writeInt("options", "Speed", 75, &error));
    EXPECT_TRUE(error.isEmpty());
}

TEST_F(SettingsTest, EachLineKeepsItsOwnEnding)
{
    // One line with CR LF among LF lines: a write touches its own line only, and a new key
    // takes the ending of the line it follows.
    writeFile("[options]\nSpeed=75\r\nSounds=0\n[fame]\nName1=Ann\n");
    ProfileFile f(path());
    ASSERT_TRUE(f.writeInt("options", "Speed", 120, nullptr));
    ASSERT_TRUE(f.writeBool("options", "Music", true, nullptr));
    ASSERT_TRUE(f.writeText("fame", "Name1", "Bob", nullptr));
    EXPECT_EQ(readFile(), "[options]\nSpeed=120\r\nSounds=0\nMusic=1\n[fame]\nName1=Bob\n");
}

TEST_F(SettingsTest, AUtf16FileIsReadAndWrittenBackInItsOwnForm)
{
    // Saved by an editor as UTF-16 with its mark: read, and a write keeps the form, so
    // the file never mixes UTF-8 into UTF-16.
    const QString before = QString::fromUtf8("[Options]\r\nSpeed=75\r\n[Fame]\r\nName1=Ёлка\r\n");
    const QString after = QString::fromUtf8("[Options]\r\nSpeed=120\r\nMusic=1\r\n[Fame]\r\nName1=Ёлка\r\n");
    for (const auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        const QByteArray mark = encoding == QStringConverter::Utf16LE ? "\xFF\xFE" : "\xFE\xFF";
        QStringEncoder encoder(encoding);
        writeFile(mark + QByteArray(encoder.encode(before)));
        ProfileFile f(path());
        EXPECT_EQ(f.readInt("options", "speed", 0), 75);
        EXPECT_EQ(f.readText("fame", "name1", ""), QString::fromUtf8("Ёлка"));
        ASSERT_TRUE(f.writeInt("Options", "Speed", 120, nullptr));
        ASSERT_TRUE(f.writeBool("Options", "Music", true, nullptr));
        EXPECT_EQ(readFile(), mark + QByteArray(encoder.encode(after)));
    }
}

TEST_F(SettingsTest, AFileThatCannotBeReadIsNeverWrittenOver)
{
    // A folder in the settings file's place, and a file past its limit: the game reads its
    // defaults and leaves both as they are.
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.ini"));
    ProfileFile folder(path("folder.ini"));
    QString problem;
    EXPECT_EQ(folder.snapshot(&problem).readInt("options", "Speed", 100), 100);
    EXPECT_TRUE(problem.contains("it is a folder")) << problem.toStdString();
    EXPECT_FALSE(folder.writeInt("options", "Speed", 50, nullptr));
    EXPECT_TRUE(QFileInfo(path("folder.ini")).isDir());

    writeFile("[options]\nSpeed=75\n", "big.ini");
    ASSERT_EQ(::truncate(QFile::encodeName(path("big.ini")).constData(), limits::kSettings + 1), 0);
    ProfileFile big(path("big.ini"));
    problem.clear();
    EXPECT_EQ(big.snapshot(&problem).readInt("options", "Speed", 100), 100);
    EXPECT_TRUE(problem.contains("more than")) << problem.toStdString();
    QString error;
    EXPECT_FALSE(big.writeInt("options", "Speed", 50, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(QFileInfo(path("big.ini")).size(), limits::kSettings + 1);
}

TEST_F(SettingsTest, AWriteThatChangesNothingLeavesTheFileUntouched)
{
    writeFile("[options]\nSounds=0\n");
    // Every write replaces the file by a new one: another inode.
    const auto inode = [&] {
        struct stat st {};
        return ::stat(QFile::encodeName(path()).constData(), &st) == 0 ? st.st_ino : 0;
    };
    const auto before = inode();
    ProfileFile f(path());
    ASSERT_TRUE(f.writeBool("options", "Sounds", false, nullptr));
    EXPECT_EQ(inode(), before) << "not rewritten";
    ASSERT_TRUE(f.writeBool("options", "Sounds", true, nullptr));
    EXPECT_EQ(readFile(), "[options]\nSounds=1\n");
}

// Writes in a loop in a child process, kills it at random moments, and reads what is
// left: always the old file or a new one, complete.
TEST_F(SettingsTest, AProcessKilledWhileWritingLeavesAWholeFile)
{
    ProfileFile f(path());
    QString error;
    ASSERT_TRUE(f.writeInt("options", "Speed", 0, &error));
    for (int round = 0; round < 30; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ProfileFile mine(path());
            for (int i = 1;; ++i) {
                QString e;
                std::vector<ProfileFile::Entry> entries;
                for (int k = 1; k <= 50; ++k)
                    entries.push_back({"alias", QStringLiteral("Name%1").arg(k), QString::number(i)});
                entries.push_back({"options", "Speed", QString::number(i)});
                mine.write(entries, &e);
            }
        }
        usleep(static_cast<useconds_t>(2000 + round * 1300));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const ProfileSnapshot snap = ProfileFile(path()).snapshot();
        const int speed = snap.readInt("options", "Speed", -1);
        ASSERT_GE(speed, 0) << "round " << round;
        for (int k = 1; k <= 50 && speed > 0; ++k)
            ASSERT_EQ(snap.readInt("alias", QStringLiteral("Name%1").arg(k), -1), speed)
                << "round " << round << " key " << k;
    }
    // No temporary files are left behind in the folder but the settings themselves.
    QDir folder(dir_.path());
    for (const QString& name : folder.entryList(QDir::Files))
        EXPECT_TRUE(name == "Kestrum.ini" || name.startsWith("Kestrum.ini.")) << name.toStdString();
}

TEST_F(SettingsTest, WithoutAFileInTheWorkingDirectoryTheUsersFileServes)
{
    Configuration c = Configuration::locate();
    EXPECT_EQ(c.file().path(), dir_.filePath("config/Kestrum/Kestrum.ini"));
    EXPECT_TRUE(c.ConfigFolder().isEmpty());
    c.readLanguage();
    c.readSkins();
    c.readSwitches();
    EXPECT_EQ(c.LangFileName, "English.lng");
    EXPECT_EQ(c.FileCells, "kestrum");
    EXPECT_EQ(c.ActiveAl, 1);
    EXPECT_EQ(c.AlCount, 1);
    EXPECT_EQ(c.SkinAliases[0].Name, "Kestrum");
    EXPECT_EQ(c.SkinAliases[49].File, "kestrum");
    EXPECT_EQ(c.Speed, 100);
    EXPECT_FALSE(c.Sounds);
    EXPECT_FALSE(c.Music);
    QString error;
    ASSERT_TRUE(c.writeSounds(false, &error));
    EXPECT_TRUE(QFile::exists(dir_.filePath("config/Kestrum/Kestrum.ini")));
}

TEST_F(SettingsTest, WithoutAHomeFolderTheWorkingFolderKeepsTheSettings)
{
    const QByteArray home = qgetenv("HOME");
    qunsetenv("HOME");
    qunsetenv("XDG_CONFIG_HOME");
    const Configuration c = Configuration::locate();
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", dir_.filePath("config").toUtf8());
    EXPECT_EQ(c.file().path(), path()) << "not /.config/...";
    EXPECT_TRUE(c.problem().isEmpty()) << c.problem().toStdString();
}

TEST_F(SettingsTest, AFileInTheWorkingDirectoryIsUsedByItsFullPath)
{
    writeFile("[options]\nSpeed=75\n");
    const Configuration c = Configuration::locate();
    EXPECT_EQ(c.file().path(), path());
    EXPECT_EQ(c.ConfigFolder(), dir_.path() + "/");
    // Moving elsewhere later does not move the file.
    QDir::setCurrent(QDir::tempPath());
    EXPECT_EQ(c.file().readInt("options", "Speed", 0), 75);
}

TEST_F(SettingsTest, SpeedIsUsedAsItStandsUnlessItWouldStopOrStallTheGame)
{
    const std::pair<const char*, int> cases[] = {{"75", 75},  {"150", 150}, {"10", 10},  {"0", 100},
                                                 {"-5", 100}, {"abc", 100}, {"0x64", 100}, {"$96", 150},
                                                 {"1000", 1000}, {"1001", 1000}, {"2147483647", 1000}};
    for (const auto& [text, speed] : cases) {
        writeFile(QByteArray("[options]\nSpeed=") + text + "\n");
        Configuration c = Configuration::locate();
        c.readSwitches();
        EXPECT_EQ(c.Speed, speed) << text;
    }
}

TEST_F(SettingsTest, AliasesReadAllFiftyCutNamesAndBringCountsIntoRange)
{
    QByteArray text = "[options]\nActiveAl=2\n[alias]\nAlCount=2\n";
    for (int i = 1; i <= 50; ++i)
        text += "Name" + QByteArray::number(i) + "=Skin number " + QByteArray::number(i) +
                " with a long name\nFile" + QByteArray::number(i) + "=file" + QByteArray::number(i) + "\n";
    writeFile(text);
    Configuration c = Configuration::locate();
    c.readSkins();
    EXPECT_EQ(c.AlCount, 2);
    EXPECT_EQ(c.ActiveAl, 2);
    EXPECT_EQ(c.SkinAliases[2].Name, "Skin number 3 with a");  // the first 20 characters
    EXPECT_EQ(c.SkinAliases[49].File, "file50");
    QString error;
    ASSERT_TRUE(c.writeAliases(&error));
    const QByteArray written = readFile();
    EXPECT_TRUE(written.contains("File50=file50"));
    // Written back in the 20-character form, its trailing blank kept.
    EXPECT_EQ(c.file().readText("alias", "Name50", ""), "Skin number 50 with ");

    const std::tuple<const char*, const char*, int, int> counts[] = {
        {"0", "1", 1, 1}, {"99", "60", 50, 1}, {"5", "6", 5, 1}, {"5", "0", 5, 1}, {"x", "1", 1, 1}};
    for (const auto& [count, active, wantCount, wantActive] : counts) {
        writeFile(QByteArray("[options]\nActiveAl=") + active + "\n[alias]\nAlCount=" + count + "\n");
        Configuration k = Configuration::locate();
        k.readSkins();
        EXPECT_EQ(k.AlCount, wantCount) << count;
        EXPECT_EQ(k.ActiveAl, wantActive) << active;
    }
}

TEST_F(SettingsTest, TheDefaultSkinIsWrittenApartFromTheAliases)
{
    Configuration c = Configuration::locate();
    c.readSkins();
    c.FileCells = "blue";
    c.ActiveAl = 1;
    QString error;
    ASSERT_TRUE(c.writeAliases(&error));
    EXPECT_EQ(c.file().readText("options", "FileCells", "none"), "none");
    ASSERT_TRUE(c.writeDefaultSkin(&error));
    EXPECT_EQ(c.file().readText("options", "FileCells", "none"), "blue");
    EXPECT_EQ(c.file().readInt("options", "ActiveAl", 0), 1);
}

TEST_F(SettingsTest, FameTableDefaultsInsertionAndTies)
{
    FameTable t;
    t.load(ProfileFile(path()));
    for (int k = 1; k <= 8; ++k) {
        EXPECT_EQ(t.place(k).FameName, QStringLiteral("%1. ").arg(k));
        EXPECT_EQ(t.place(k).FameScore, 0);
    }
    const int scores[] = {500, 400, 300, 200, 100, 50, 20, 10};
    for (int k = 0; k < 8; ++k)
        ASSERT_EQ(t.insert(scores[7 - k], QStringLiteral("p%1").arg(scores[7 - k])), 1);
    EXPECT_EQ(t.insert(300, "new"), 3);
    EXPECT_EQ(t.place(3).FameName, "new");
    EXPECT_EQ(t.place(4).FameName, "p300");
    EXPECT_EQ(t.place(8).FameScore, 20) << "10 dropped out";
    // Equal to the eighth: entered there, above the old one, which drops out.
    EXPECT_EQ(t.insert(20, "tie"), 8);
    EXPECT_EQ(t.place(8).FameName, "tie");
    EXPECT_EQ(t.insert(19, "low"), 0);
    EXPECT_EQ(t.insert(600, "a name of thirty characters!!!"), 1);
    EXPECT_EQ(t.place(1).FameName, "a name of thirty cha");
}

TEST_F(SettingsTest, FameTableIsSavedScoresFirstAndClearedNamesStayEmpty)
{
    ProfileFile f(path());
    FameTable t;
    t.insert(42, "Ann");
    t.save(f);
    const QByteArray text = readFile();
    EXPECT_LT(text.indexOf("Score8="), text.indexOf("Name1="));
    FameTable back;
    back.load(f);
    EXPECT_EQ(back.place(1).FameName, "Ann");
    EXPECT_EQ(back.place(1).FameScore, 42);
    EXPECT_EQ(back.place(2).FameName, "1. ") << "the old first place moved down";
    back.clear();
    back.save(f);
    FameTable again;
    again.load(f);
    for (int k = 1; k <= 8; ++k) {
        EXPECT_EQ(again.place(k).FameName, "");
        EXPECT_EQ(again.place(k).FameScore, 0);
    }
}

// A file system of its own, filled up: a write that cannot complete fails whole and
// leaves the old file as it was, for a setting, the skin list and the hall of fame.
TEST_F(SettingsTest, OnAFullDiskEveryWriteFailsWholeAndTheOldFileStays)
{
    const QString full = dir_.filePath("full");
    ASSERT_TRUE(QDir().mkpath(full));
    if (::mount("tmpfs", full.toLocal8Bit().constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no file system can be mounted here";
    struct Unmount {
        QString at;
        ~Unmount() { ::umount2(at.toLocal8Bit().constData(), MNT_DETACH); }
    } unmount{full};
    QByteArray old = "; kept by hand\n[options]\nSpeed=100\nKeep=me\n[fame]\nName1=Ann\nScore1=77\n[notes]\n";
    for (int i = 0; i < 150; ++i)  // past one page of the file system
        old += "Note" + QByteArray::number(i) + "=" + QByteArray(40, 'x') + "\n";
    {
        QFile f(full + "/Kestrum.ini");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(old), old.size());
    }
    // Fill the rest, keeping one page aside to free for the second round.
    QFile spare(full + "/spare");
    ASSERT_TRUE(spare.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    ASSERT_EQ(spare.write(QByteArray(4096, 's')), 4096);
    spare.close();
    QFile filler(full + "/filler");
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    for (int size = 4096; size > 0; size /= 2)
        while (filler.write(QByteArray(size, 'f')) == size) {
        }
    filler.close();
    QDir::setCurrent(full);
    for (const char* round : {"no page free", "one page free"}) {
        SCOPED_TRACE(round);
        Configuration c = Configuration::locate();
        ASSERT_EQ(QFileInfo(c.file().path()).absolutePath(), QFileInfo(full).absoluteFilePath());
        QString error;
        EXPECT_FALSE(c.writeSpeed(50, &error));

        EXPECT_EQ(error, "Unable to write to " + QFileInfo(full + "/Kestrum.ini").absoluteFilePath());
        c.ActiveAl = 2;
        EXPECT_FALSE(c.writeAliases(&error));
        FameTable t;
        t.load(c.file());
        t.insert(500, "Eve");
        error.clear();
        EXPECT_FALSE(t.save(c.file(), &error));
        EXPECT_EQ(error, "Unable to write to " + QFileInfo(full + "/Kestrum.ini").absoluteFilePath());
        EXPECT_EQ(t.place(1).FameName, "Eve") << "the table in memory keeps the entry";
        QFile now(full + "/Kestrum.ini");
        ASSERT_TRUE(now.open(QIODevice::ReadOnly));
        EXPECT_EQ(now.readAll(), old);
        EXPECT_FALSE(QDir(full).entryList(QDir::Files).join(' ').contains("Kestrum.ini."))
            << "no temporary file is left behind";
        QFile::remove(full + "/spare");
    }
}

TEST_F(SettingsTest, AWriteThatWouldTakeTheFilePastItsLimitIsRefusedAndTheFileStaysReadable)
{
    ProfileFile f(path(), 4096);
    QByteArray old = "[options]\nSpeed=70\n[notes]\n";
    old += "Long=" + QByteArray(4096 - old.size() - 7, 'x') + "\n";
    ASSERT_EQ(old.size(), 4095);
    writeFile(old);
    QString error;
    EXPECT_FALSE(f.writeText("options", "Name", "one more line", &error));
    EXPECT_EQ(error, "Unable to write to " + path());
    EXPECT_EQ(readFile(), old);
    EXPECT_EQ(f.readInt("options", "Speed", 0), 70) << "the file still reads";
    EXPECT_TRUE(f.writeInt("options", "Speed", 90, &error)) << "a change that fits goes in";
    EXPECT_EQ(f.readInt("options", "Speed", 0), 90);
}

TEST_F(SettingsTest, FameTableKeepsItsPlacesWhenTheFileCannotBeWritten)
{
    writeFile("[fame]\nScore1=abc\nName1=Bob\n");
    QFile::setPermissions(path(), QFile::ReadOwner);
    ProfileFile f(path());
    FameTable t;
    t.load(f);
    EXPECT_EQ(t.place(1).FameScore, 0) << "a non-numeric score reads as 0";
    EXPECT_EQ(t.place(1).FameName, "Bob");
    t.insert(77, "Eve");
    t.save(f);  // refused, and ignored
    EXPECT_EQ(t.place(1).FameName, "Eve");
    EXPECT_EQ(readFile(), "[fame]\nScore1=abc\nName1=Bob\n");
}

}  // namespace
}  // namespace kestrum::test
