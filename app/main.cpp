// The entry: the command line, the application object, the windows, the event loop.
#include "UnitKestrum.h"
#include "levels/PackChecker.h"

#include <QApplication>
#include <QCommandLineParser>
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

// The game reads its files from the working directory. Started from elsewhere, it works
// in the folder of its executable when that holds the game's data.
void findDataFolder()
{
    if (QFileInfo(QStringLiteral("Skins")).isDir())
        return;
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (QFileInfo(exeDir + QStringLiteral("/Skins")).isDir())
        QDir::setCurrent(exeDir);
}

bool wantsConsole(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a.startsWith("--check-level-pack"))
            return true;
    }
    return false;
}

// kestrum --check-level-pack FILE [--field-size N]
int checkPack(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Kestrum level pack checker"));
    parser.addHelpOption();
    const QCommandLineOption pack(QStringLiteral("check-level-pack"),
                                  QStringLiteral("Check a level pack and report what it builds."),
                                  QStringLiteral("file"));
    const QCommandLineOption size(QStringLiteral("field-size"),
                                  QStringLiteral("Cells per side of the field (10 to 1000)."),
                                  QStringLiteral("n"), QStringLiteral("20"));
    parser.addOptions({pack, size});
    parser.process(app);
    bool ok = false;
    const int n = parser.value(size).toInt(&ok);
    if (!ok || n < 10 || n > 1000) {
        std::fprintf(stderr, "kestrum: --field-size takes a number from 10 to 1000\n");
        return 2;
    }
    QTextStream out(stdout);
    return kestrum::checkLevelPack(parser.value(pack), n, out) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (wantsConsole(argc, argv))
        return checkPack(argc, argv);
    // Tiles are drawn pixel for pixel: the field is measured in device pixels.
    if (qEnvironmentVariableIsEmpty("QT_ENABLE_HIGHDPI_SCALING"))
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrum"));
    QApplication::setApplicationVersion(QStringLiteral(KESTRUM_VERSION));
    QApplication::setApplicationDisplayName(QStringLiteral("Kestrum"));
    findDataFolder();
    StartupTrace trace;
    if (qEnvironmentVariableIsSet("KESTRUM_TRACE_START"))
        app.installEventFilter(&trace);

    kestrum::TFormKestrum window;
    window.show();
    return app.exec();
}
