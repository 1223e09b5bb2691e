// The entry: the command line, the application object, the windows, the event loop.
#include "CommandLine.h"
#include "Trace.h"
#include "MainWindow.h"
#include "QuitSignals.h"
#include "X11Desktop.h"
#include "levels/PackChecker.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <fontconfig/fontconfig.h>

#include <optional>
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
    // Everything is measured in logical pixels and scales as one with the desktop's scale
    // (QT_SCALE_FACTOR, QT_SCREEN_SCALE_FACTORS, Xft.dpi, a Wayland output's scale); the
    // field's tiles are scaled pixel for pixel. Only the field has a window of its own.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    // On X11, Qt takes the desktop's Xft.dpi (GNOME on Xorg at 200 %: 192) for its fonts
    // alone; the game takes it for everything, as one scale.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    std::optional<kestrum::X11ResourceReader> resources;
    if ((platform.isEmpty() || platform.startsWith("xcb")) && qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR") &&
        qEnvironmentVariableIsEmpty("QT_SCREEN_SCALE_FACTORS") && qEnvironmentVariableIsEmpty("QT_FONT_DPI") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        resources.emplace();
        if (const auto dpi = resources->dpi(); dpi && *dpi > 96.5) {
            qputenv("QT_SCALE_FACTOR", QByteArray::number(*dpi / 96.0));
            qputenv("QT_FONT_DPI", "96");
        }
    }
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    // Fontconfig reads its configuration and caches on first use, which takes longer than
    // anything else before the first frame; the connection to the display takes as long,
    // so both go on at once.
    std::thread fonts([] { FcInit(); });
    QApplication app(argc, argv);
    resources.reset();  // the application has its own connection now
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
    kestrum::QuitSignals quitSignals([&window] {
        window.endSession();
        QCoreApplication::exit(0);
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, [&window] { window.endSession(); });
    return app.exec();
}
