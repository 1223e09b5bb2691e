// The command line: what each form of it asks the program to do.
#include "app/CommandLine.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace kestrum {
namespace {

CommandLine parse(std::initializer_list<const char*> args)
{
    QStringList list{QStringLiteral("/usr/games/kestrum")};
    for (const char* a : args)
        list << QString::fromUtf8(a);
    return parseCommandLine(list);
}

TEST(CommandLine, HelpAndVersionPrintAndSucceed)
{
    for (const auto& line : {parse({"--help"}), parse({"-h"})}) {
        EXPECT_EQ(line.action, CommandLine::Print);
        EXPECT_EQ(line.exitCode, 0);
        EXPECT_TRUE(line.text.startsWith(QStringLiteral("Usage: kestrum [options]")));
        EXPECT_TRUE(line.text.contains(QStringLiteral("--check-level-pack <file>")));
        // The windowing system's options are accepted but not advertised.
        EXPECT_FALSE(line.text.contains(QStringLiteral("platform")));
    }
    for (const auto& line : {parse({"--version"}), parse({"-v"})}) {
        EXPECT_EQ(line.action, CommandLine::Print);
        EXPECT_EQ(line.exitCode, 0);
        EXPECT_EQ(line.text, QStringLiteral("Kestrum " KESTRUM_VERSION "\n"));
    }
}

TEST(CommandLine, WhatCannotBeUnderstoodExitsWithTwo)
{
    const CommandLine unknown = parse({"--frobnicate"});
    EXPECT_EQ(unknown.action, CommandLine::Print);
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.text.startsWith(QStringLiteral("kestrum: Unknown option 'frobnicate'.")));
    EXPECT_TRUE(unknown.text.contains(QStringLiteral("Try 'kestrum --help'")));
    EXPECT_EQ(parse({"stray.lev"}).exitCode, 2);
    EXPECT_EQ(parse({"--check-level-pack"}).exitCode, 2);  // the file is missing
    EXPECT_EQ(parse({"--field-size", "46"}).exitCode, 2);  // nothing to check
    for (const char* size : {"9", "1001", "forty", ""})
        EXPECT_EQ(parse({"--check-level-pack", "a.lev", "--field-size", size}).exitCode, 2) << size;
}

TEST(CommandLine, ThePackCheckerTakesItsFileAndFieldSize)
{
    const CommandLine plain = parse({"--check-level-pack", "a.lev"});
    EXPECT_EQ(plain.action, CommandLine::CheckPack);
    EXPECT_EQ(plain.pack, QStringLiteral("a.lev"));
    EXPECT_EQ(plain.fieldSize, 20);
    const CommandLine sized = parse({"--check-level-pack=b.lev", "--field-size=130"});
    EXPECT_EQ(sized.action, CommandLine::CheckPack);
    EXPECT_EQ(sized.pack, QStringLiteral("b.lev"));
    EXPECT_EQ(sized.fieldSize, 130);
}

TEST(CommandLine, NothingOrTheToolkitsOwnOptionsMeanPlay)
{
    EXPECT_EQ(parse({}).action, CommandLine::Play);
    const CommandLine qt = parse({"-platform", "offscreen", "-display", ":1", "-reverse"});
    EXPECT_EQ(qt.action, CommandLine::Play);
    EXPECT_EQ(qt.exitCode, 0);
}

TEST(CommandLine, VerboseIsAskedForAndOtherwiseTheSoundLibrariesKeepQuiet)
{
    EXPECT_FALSE(parse({}).verbose);
    EXPECT_TRUE(parse({"--verbose"}).verbose);
    // The game itself, with the sound on, through ALSA: on a machine without a sound card
    // ALSA complains on standard error unless told not to.
    const auto run = [](const QStringList& arguments) {
        QTemporaryDir home;
        QDir(home.path()).mkpath("config/Kestrum");
        QFile ini(home.filePath("config/Kestrum/Kestrum.ini"));
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[options]\nSounds=1\n");
        ini.close();
        QProcess game;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("SDL_AUDIODRIVER", "alsa");
        game.setProcessEnvironment(env);
        game.setWorkingDirectory(home.path());
        game.start(KESTRUM_BINARY, arguments);
        EXPECT_TRUE(game.waitForStarted());
        game.waitForFinished(2500);
        game.kill();
        game.waitForFinished();
        return QString::fromLocal8Bit(game.readAllStandardError());
    };
    EXPECT_FALSE(run({}).contains("ALSA")) << run({}).toStdString();
    if (!run({"--verbose"}).contains("ALSA"))
        GTEST_SKIP() << "ALSA finds a sound card here and has nothing to complain about";
}

}  // namespace
}  // namespace kestrum
