#include "HelpWindow.h"

#include "files/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>

namespace kestrum {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("Kestrum Help"));
    resize(640, 560);
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
}

bool HelpWindow::showTopic(const QString& helpFile, const QString& topic, QString* error)
{
    const std::optional<QByteArray> page = readRegularFile(helpFile, limits::kHelp, error);
    if (!page)
        return false;
    browser_->setSearchPaths({QFileInfo(helpFile).absolutePath()});
    browser_->setHtml(QString::fromUtf8(*page));
    browser_->scrollToAnchor(topic);
    anchor_ = topic;
    if (!isVisible()) {
        // 640 x 560, or less on a small screen: the window with its frame stays on it.
        const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
        const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 640, 560);
        resize(std::min(640, room.width() - 16), std::min(560, room.height() - 64));
    }
    show();
    raise();
    activateWindow();
    return true;
}

}  // namespace kestrum
