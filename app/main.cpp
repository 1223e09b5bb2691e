// The entry: the command line, the application object, the windows, the event loop.
#include "CommandLine.h"
#include "UnitKestrum.h"
#include "levels/PackChecker.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>

namespace {

// With KESTRUM_TRACE_START set, the moments the window is first mapped and the field
// first reaches the screen go to standard error as wall-clock nanoseconds, for the start-up
// measurement of bench/program_bench.sh.
class StartupTrace : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!mapped_ && event->type() == QEvent::Expose && qobject_cast<QWindow*>(watched) &&
            static_cast<QWindow*>(watched)->isExposed()) {
            mapped_ = true;
            print("mapped");
        }
        if (!drawn_ && event->type() == QEvent::Paint &&
            watched->objectName() == QLatin1String("ImagePole")) {
            drawn_ = true;
            // After this paint the backing store is flushed to the screen.
            QTimer::singleShot(0, this, [this] {
                print("field drawn");
                QCoreApplication::instance()->removeEventFilter(this);
            });
        }
        return false;
    }

private:
    static void print(const char* what)
    {
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::chrono::system_clock::now().time_since_epoch()).count();
        std::fprintf(stderr, "kestrum: %s %lld\n", what, static_cast<long long>(ns));
    }
    bool mapped_ = false;
    bool drawn_ = false;
};

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
    // Tiles are drawn pixel for pixel: the field is measured in device pixels.
    if (qEnvironmentVariableIsEmpty("QT_ENABLE_HIGHDPI_SCALING"))
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrum"));
    QApplication::setApplicationVersion(QStringLiteral(KESTRUM_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kestrum.Kestrum"));
    findDataFolder();
    StartupTrace trace;
    if (qEnvironmentVariableIsSet("KESTRUM_TRACE_START"))
        app.installEventFilter(&trace);

    kestrum::TFormKestrum window;
    window.show();
    return app.exec();
}
