#include "HelpWindow.h"

#include "files/RegularFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>

namespace kestrum {

namespace {

constexpr qint64 kHelpPicture = 4 << 20;      // bytes of one picture
constexpr int kHelpPicturePixels = 4 << 20;  // and its pixels
constexpr qint64 kHelpResources = 16 << 20;  // all the pictures and style sheets of a page
constexpr int kMaxTableDepth = 8;
constexpr long long kMaxTableCost = 2000;    // cells weighted by 2 to the power of their depth

QString refusal(const QString& path, const QString& reason)
{
    return QStringLiteral("Cannot open file %1: %2").arg(QDir::toNativeSeparators(path), reason);
}

// A browser that reads what a page asks for (pictures, style sheets, linked pages) only
// from local files, by the rules of every other file: a FIFO, a device or a huge file there
// can neither hang the game nor fill its memory.
class HelpBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;
    void setBase(const QString& folder)
    {
        base_ = folder;
        loaded_ = 0;
        setSearchPaths({folder});
    }

protected:
    // What is refused comes back as an empty, not a null, value: on a null one the document
    // would open the file itself, without any of these rules.
    QVariant loadResource(int type, const QUrl& name) override
    {
        const QVariant nothing = QByteArray();
        if (!name.scheme().isEmpty() && !name.isLocalFile())
            return name.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) == 0 ? QVariant() : nothing;
        QString path = name.isLocalFile() ? name.toLocalFile() : name.path();
        if (path.isEmpty())
            return nothing;
        if (QFileInfo(path).isRelative())
            path = QDir(base_).filePath(path);
        QString error;
        if (type == QTextDocument::ImageResource) {
            const std::optional<QByteArray> bytes = take(path, kHelpPicture, &error);
            if (!bytes)
                return nothing;
            QBuffer buffer;
            buffer.setData(*bytes);
            QImageReader reader(&buffer);
            const QSize size = reader.size();
            if (!size.isValid() || qint64(size.width()) * size.height() > kHelpPicturePixels)
                return nothing;
            const QImage image = reader.read();
            return image.isNull() ? nothing : QVariant(image);
        }
        const std::optional<QByteArray> bytes = take(path, limits::kHelp, &error);
        if (type != QTextDocument::HtmlResource && type != QTextDocument::MarkdownResource)
            return bytes ? QVariant(*bytes) : nothing;
        // A page the player follows a link to: refused with its reason in its place.
        QString page = bytes ? QString::fromUtf8(*bytes) : QString();
        if (const QString problem = bytes ? helpLayoutProblem(page) : QString(); !problem.isEmpty())
            error = refusal(path, problem);
        if (!error.isEmpty())
            page = QStringLiteral("<p>%1</p>").arg(error.toHtmlEscaped());
        return page;
    }

private:
    std::optional<QByteArray> take(const QString& path, qint64 limit, QString* error)
    {
        std::optional<QByteArray> bytes =
            readRegularFile(path, std::min(limit, std::max<qint64>(kHelpResources - loaded_, 0)), error);
        if (bytes)
            loaded_ += bytes->size();
        return bytes;
    }

    QString base_;
    qint64 loaded_ = 0;
};

}  // namespace

QString helpLayoutProblem(const QString& html)
{
    int depth = 0;
    long long cost = 0;
    const auto tagIs = [&](qsizetype at, QLatin1String name) {
        const qsizetype end = at + name.size();
        return end <= html.size() && QStringView(html).mid(at, name.size()).compare(name, Qt::CaseInsensitive) == 0 &&
               (end == html.size() || !html[end].isLetterOrNumber());
    };
    for (qsizetype i = html.indexOf(QLatin1Char('<')); i >= 0; i = html.indexOf(QLatin1Char('<'), i + 1)) {
        const bool closing = i + 1 < html.size() && html[i + 1] == QLatin1Char('/');
        const qsizetype name = i + (closing ? 2 : 1);
        if (tagIs(name, QLatin1String("table"))) {
            depth = std::max(depth + (closing ? -1 : 1), 0);
            if (depth > kMaxTableDepth)
                return QStringLiteral("its tables are nested more than %1 deep").arg(kMaxTableDepth);
        } else if (!closing && depth > 0 && (tagIs(name, QLatin1String("td")) || tagIs(name, QLatin1String("th")))) {
            cost += 1LL << depth;
            if (cost > kMaxTableCost)
                return QStringLiteral("its tables hold too many cells to show");
        }
    }
    return {};
}

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new HelpBrowser(this))
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
    const QString html = QString::fromUtf8(*page);
    if (const QString problem = helpLayoutProblem(html); !problem.isEmpty()) {
        if (error)
            *error = refusal(helpFile, problem);
        return false;
    }
    static_cast<HelpBrowser*>(browser_)->setBase(QFileInfo(helpFile).absolutePath());
    browser_->setHtml(html);
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
