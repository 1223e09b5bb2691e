// The command line: help, version, the level pack checker, or a game to play.
#pragma once

#include <QString>
#include <QStringList>

namespace kestrum {

// What the command line asks for; the text to print and the exit code when it is not a
// game to play.
struct CommandLine {
    enum Action { Play, Print, CheckPack } action = Play;
    QString text;
    int exitCode = 0;
    QString pack;
    int fieldSize = 20;
    bool verbose = false;  // the sound libraries' own diagnostics on the terminal
};

// Reads the arguments (the program's name first). The options of the windowing system
// that QApplication takes for itself are let through; anything else unknown is a usage
// error with exit code 2.
CommandLine parseCommandLine(const QStringList& arguments);

}  // namespace kestrum
