// TAboutBox: product name, version and a short description.
#pragma once

#include <QDialog>

class QLabel;

namespace kestrum {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent);
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Comments;
};

}  // namespace kestrum
