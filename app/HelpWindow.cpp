#include "HelpWindow.h"

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
    QFile file(helpFile);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot open file %1").arg(QFileInfo(helpFile).absoluteFilePath());
        return false;
    }
    browser_->setSearchPaths({QFileInfo(helpFile).absolutePath()});
    browser_->setHtml(QString::fromUtf8(file.readAll()));
    browser_->scrollToAnchor(topic);
    anchor_ = topic;
    show();
    raise();
    activateWindow();
    return true;
}

}  // namespace kestrum
