// The entry: the command line, the application object, the windows, the event loop.
#include "CommandLine.h"
#include "Trace.h"
#include "MainWindow.h"
#include "levels/PackChecker.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <fontconfig/fontconfig.h>

#include <thread>

namespace {

// The game reads its files from the working directory. Started from a folder without
// them, it works in the folder of its executable when that holds the data, else in the
// installed data folder, found from the executable so that any prefix works.
void findDataFolder()
{
    if (QFileInfo(QStringLiteral("Skins")).isDir())
        return;
    const QString exeDir = QCoreApplication::applicationDirPath();
    for (const QString& folder : {exeDir, exeDir + QStringLiteral("/" KESTRUM_DATA_FROM_EXE)}) {
        if (QFileInfo(folder + QStringLiteral("/Skins")).isDir()) {
            QDir::setCurrent(QDir::cleanPath(folder));
            return;
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const kestrum::CommandLine line = kestrum::parseCommandLine(arguments);
    if (line.action == kestrum::CommandLine::Print) {
        std::fputs(line.text.toLocal8Bit().constData(), line.exitCode == 0 ? stdout : stderr);
        return line.exitCode;
    }
    if (line.action == kestrum::CommandLine::CheckPack) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        return kestrum::checkLevelPack(line.pack, line.fieldSize, out) == 0 ? 0 : 1;
    }
    if (!line.verbose)
        kestrum::AudioDevice::quietDiagnostics();
    // Tiles are drawn pixel for pixel: the field is measured in device pixels.
    if (qEnvironmentVariableIsEmpty("QT_ENABLE_HIGHDPI_SCALING"))
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    // Fontconfig reads its configuration and caches on first use, which takes longer than
    // anything else before the first frame; the connection to the display takes as long,
    // so both go on at once.
    std::thread fonts([] { FcInit(); });
    QApplication app(argc, argv);
    fonts.join();
    QApplication::setApplicationName(QStringLiteral("Kestrum"));
    QApplication::setApplicationVersion(QStringLiteral(KESTRUM_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kestrum.Kestrum"));
    findDataFolder();
    kestrum::trace::StartupTrace startup("field");
    kestrum::trace::FrameCounter frames;
    if (kestrum::trace::enabled())
        app.installEventFilter(&startup);

    kestrum::MainWindow window;
    if (kestrum::trace::enabled())
        frames.watch(window.fieldView());
    window.show();
    return app.exec();
}
