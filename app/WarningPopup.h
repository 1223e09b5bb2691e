// The timed warning that tells the player about the mushroom; it closes itself.
#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;

namespace kestrum {

// Borderless, black, centred; shown modally and closes itself after 3000 ms.
class WarningPopup : public QDialog {
    Q_OBJECT
public:
    explicit WarningPopup(QWidget* parent = nullptr);
    // Shows the text modally until the window closes itself.
    void showText(const QString& text);
    QString text() const;
    static constexpr int kShowMs = 3000;

protected:
    // The window closes itself; Esc does not cut it short.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* label_ = nullptr;
    QTimer timer_;
};

}  // namespace kestrum
