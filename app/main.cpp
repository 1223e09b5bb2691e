// The entry: the application object, the windows, the event loop.
#include "UnitKestrum.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

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

}  // namespace

int main(int argc, char** argv)
{
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
