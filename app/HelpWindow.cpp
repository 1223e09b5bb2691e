#include "HelpWindow.h"

#include "files/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QVBoxLayout>

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
    show();
    raise();
    activateWindow();
    return true;
}

}  // namespace kestrum
