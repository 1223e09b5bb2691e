// The Keys dialog: the steering keys, a second set of them and the pause key, each set by
// pressing it; Reset brings back the arrows, W A S D and P.
#pragma once

#include "KeyMap.h"

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;

namespace kestrum {

class KeysDialog : public QDialog {
    Q_OBJECT
public:
    // text: the interface texts by language-file line; report: a refused key's message.
    KeysDialog(QWidget* parent, std::function<QString(int)> text,
               std::function<void(const QString&)> report);

    // Shows the dialog for a set; returns the set chosen with OK, or nothing.
    std::optional<KeyBindings> choose(const KeyBindings& current);
    void applyTexts();

    const KeyBindings& keys() const { return keys_; }
    QPushButton* keyButton(KeyBindings::Slot slot) const { return buttons_[static_cast<size_t>(slot)]; }
    // The slot waiting for its key, or -1.
    int capturing() const { return capturing_; }

    QPushButton* resetButton;
    QPushButton* okButton;
    QPushButton* cancelButton;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startCapture(int slot);
    // A key pressed while a slot waits for one; true when it was taken or refused.
    bool takeKey(int qtKey);
    void showKeys();

    std::function<QString(int)> text_;
    std::function<void(const QString&)> report_;
    KeyBindings keys_;
    int capturing_ = -1;
    std::array<QPushButton*, KeyBindings::kSlots> buttons_{};
    std::array<QLabel*, 5> rowLabels_{};
};

}  // namespace kestrum
