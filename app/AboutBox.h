// AboutBox: product name, version and a short description.
#pragma once

#include <QDialog>

class QLabel;

namespace kestrum {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent);
    QLabel* productLabel;
    QLabel* versionLabel;
    QLabel* commentsLabel;
};

}  // namespace kestrum
