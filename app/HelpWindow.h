// The help window: shows the help file "Kestrum.hlp" (HTML) at a topic anchor.
#pragma once

#include <QDialog>

class QTextBrowser;

namespace kestrum {

// Why a help page would take the window too long to lay out (tables nested deep or holding
// many cells: the layout's cost doubles with every level of nesting), or nothing.
QString helpLayoutProblem(const QString& html);

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent);
    // Loads the file afresh and scrolls to the topic; false (with *error set) when the
    // file cannot be read.
    bool showTopic(const QString& helpFile, const QString& topic, QString* error);
    QString shownAnchor() const { return anchor_; }
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
    QString anchor_;
};

}  // namespace kestrum
