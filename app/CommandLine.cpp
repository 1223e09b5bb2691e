#include "CommandLine.h"

#include <QCommandLineParser>

namespace {

// Options of the windowing system that QApplication takes for itself; they pass.
const char* const kQtOptionsWithValue[] = {"platform", "platformpluginpath", "platformtheme",
                                           "plugin", "qwindowgeometry", "qwindowicon",
                                           "qwindowtitle", "session", "display", "geometry",
                                           "style", "stylesheet"};
const char* const kQtSwitches[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

}  // namespace

namespace kestrum {

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Kestrum, a snake game: steer the snake with the arrow keys, eat the "
                       "apples, find the exit."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption pack(QStringLiteral("check-level-pack"),
                                  QStringLiteral("Check a level pack, report what it builds, and exit "
                                                 "(1 when it has warnings)."),
                                  QStringLiteral("file"));
    const QCommandLineOption size(QStringLiteral("field-size"),
                                  QStringLiteral("Cells per side of the field for the check "
                                                 "(10 to 1000, default 20)."),
                                  QStringLiteral("n"), QStringLiteral("20"));
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     QStringLiteral("Let the sound libraries report on the terminal."));
    parser.addOptions({help, version, pack, size, verbose});
    for (const char* name : kQtOptionsWithValue) {
        QCommandLineOption o(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(o);
    }
    for (const char* name : kQtSwitches) {
        QCommandLineOption o(QString::fromLatin1(name));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(o);
    }

    CommandLine result;
    const QString program = QStringLiteral("kestrum");
    const auto usageError = [&](const QString& message) {
        result.action = CommandLine::Print;
        result.exitCode = 2;
        result.text = program + QStringLiteral(": ") + message +
                      QStringLiteral("\nTry 'kestrum --help' for more information.\n");
        return result;
    };
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    if (parser.isSet(help)) {
        result.action = CommandLine::Print;
        // The usage line names the program as it is installed, whatever the path it ran by.
        QStringList lines = parser.helpText().split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.first().startsWith(QLatin1String("Usage:")))
            lines.first() = QStringLiteral("Usage: kestrum [options]");
        result.text = lines.join(QLatin1Char('\n'));
        return result;
    }
    if (parser.isSet(version)) {
        result.action = CommandLine::Print;
        result.text = QStringLiteral("Kestrum " KESTRUM_VERSION "\n");
        return result;
    }
    if (parser.isSet(pack)) {
        bool ok = false;
        const int n = parser.value(size).toInt(&ok);
        if (!ok || n < 10 || n > 1000)
            return usageError(QStringLiteral("--field-size takes a number from 10 to 1000"));
        result.action = CommandLine::CheckPack;
        result.pack = parser.value(pack);
        result.fieldSize = n;
        return result;
    }
    if (parser.isSet(size))
        return usageError(QStringLiteral("--field-size goes with --check-level-pack"));
    result.verbose = parser.isSet(verbose);
    return result;
}

}  // namespace kestrum
