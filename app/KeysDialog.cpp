#include "KeysDialog.h"

#include "settings/Configuration.h"
#include "settings/DialogLook.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <utility>

namespace kestrum {

namespace {
constexpr int kTitleLine = 99, kFirstRowLine = 100, kPressLine = 105, kResetLine = 106, kTakenLine = 107;
}  // namespace

KeysDialog::KeysDialog(QWidget* parent, std::function<QString(int)> text,
                       std::function<void(const QString&)> report)
    : QDialog(parent, dialogFlags()), text_(std::move(text)), report_(std::move(report))
{
    setObjectName(QStringLiteral("KeysDialog"));
    setModal(true);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    for (int row = 0; row < 5; ++row) {
        auto* label = new QLabel(this);
        rowLabels_[static_cast<size_t>(row)] = label;
        grid->addWidget(label, row, 0);
    }
    for (int slot = 0; slot < KeyBindings::kSlots; ++slot) {
        auto* button = new QPushButton(this);
        button->setObjectName(QStringLiteral("key%1").arg(QString::fromLatin1(kKeySlotNames[slot])));
        button->setAutoDefault(false);
        button->setMinimumWidth(96);
        button->installEventFilter(this);
        connect(button, &QPushButton::clicked, this, [this, slot] { startCapture(slot); });
        buttons_[static_cast<size_t>(slot)] = button;
        // Up, Down, Left, Right in rows 0 .. 3, the second set beside them, Pause below.
        const int row = slot == KeyBindings::Pause ? 4 : slot % 4;
        const int column = slot >= KeyBindings::Up2 && slot != KeyBindings::Pause ? 2 : 1;
        grid->addWidget(button, row, column);
    }
    resetButton = new QPushButton(this);
    resetButton->setObjectName(QStringLiteral("resetButton"));
    resetButton->setAutoDefault(false);
    layOutWithOkCancel(this, grid, okButton, cancelButton, resetButton);
    for (QPushButton* b : {resetButton, okButton, cancelButton})
        b->installEventFilter(this);
    connect(resetButton, &QPushButton::clicked, this, [this] {
        capturing_ = -1;
        keys_ = KeyBindings();
        showKeys();
    });
    applyTexts();
}

void KeysDialog::applyTexts()
{
    setWindowTitle(text_(kTitleLine));
    for (int row = 0; row < 5; ++row)
        rowLabels_[static_cast<size_t>(row)]->setText(text_(kFirstRowLine + row));
    resetButton->setText(text_(kResetLine));
    showKeys();
}

std::optional<KeyBindings> KeysDialog::choose(const KeyBindings& current)
{
    keys_ = current;
    capturing_ = -1;
    showKeys();
    buttons_[0]->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return keys_;
}

void KeysDialog::startCapture(int slot)
{
    capturing_ = slot;
    showKeys();
}

void KeysDialog::showKeys()
{
    for (int slot = 0; slot < KeyBindings::kSlots; ++slot) {
        QPushButton* b = buttons_[static_cast<size_t>(slot)];
        b->setText(slot == capturing_ ? text_(kPressLine)
                                      : keyName(keys_.key(static_cast<KeyBindings::Slot>(slot))));
        b->setDown(slot == capturing_);
    }
}

bool KeysDialog::takeKey(int qtKey)
{
    if (isBareModifier(qtKey))
        return true;  // Shift on its way to a key: still waiting
    const int slot = std::exchange(capturing_, -1);
    if (qtKey == Qt::Key_Escape) {
        showKeys();  // Escape gives up the waiting slot, not the dialog
        return true;
    }
    if (KeyBindings::takenByMenu(qtKey)) {
        showKeys();
        report_(text_(kTakenLine).arg(keyName(qtKey)));
        return true;
    }
    if (KeyBindings::usable(qtKey))
        keys_.set(static_cast<KeyBindings::Slot>(slot), qtKey);
    showKeys();
    return true;
}

bool KeysDialog::eventFilter(QObject* watched, QEvent* event)
{
    // While a slot waits, every key is the key for it: Tab, Enter and the arrows too.
    if (capturing_ >= 0 && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        if (!key->isAutoRepeat())
            return takeKey(key->key());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace kestrum
