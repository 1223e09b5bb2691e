// The entry: the command line, the application object, the windows, the event loop.
#include "UnitKestrum.h"
#include "levels/PackChecker.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace {

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

    kestrum::TFormKestrum window;
    window.show();
    return app.exec();
}
