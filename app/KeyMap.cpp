#include "KeyMap.h"

#include <QKeySequence>
#include <Qt>

#include <algorithm>

namespace kestrum {

bool isBareModifier(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return true;
    default:
        return false;
    }
}

uint16_t virtualKeyFromQt(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<uint16_t>(65 + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return static_cast<uint16_t>(48 + (qtKey - Qt::Key_0));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<uint16_t>(112 + (qtKey - Qt::Key_F1));
    switch (qtKey) {
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Equal: return 0xBB;
    case Qt::Key_QuoteLeft: return 0xC0;
    default: return 0;
    }
}

std::array<int, KeyBindings::kSlots> KeyBindings::defaults()
{
    return {Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right, Qt::Key_W,
            Qt::Key_S,  Qt::Key_A,    Qt::Key_D,    Qt::Key_P};
}

bool KeyBindings::takenByMenu(int qtKey)
{
    return qtKey == Qt::Key_F1 || qtKey == Qt::Key_F2 || qtKey == Qt::Key_F11 || qtKey == Qt::Key_Escape;
}

bool KeyBindings::usable(int qtKey)
{
    return qtKey > 0 && qtKey != Qt::Key_unknown && !isBareModifier(qtKey) && !takenByMenu(qtKey) &&
           !keyName(qtKey).isEmpty();
}

KeyBindings KeyBindings::fromNames(const std::array<QString, kSlots>& names)
{
    KeyBindings b;
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i].isEmpty())
            continue;
        b.keys_[i] = keyFromName(names[i]);
    }
    for (size_t i = 0; i < b.keys_.size(); ++i) {
        const bool twice = std::count(b.keys_.begin(), b.keys_.end(), b.keys_[i]) > 1;
        if (twice || !usable(b.keys_[i]))
            return KeyBindings();
    }
    return b;
}

std::array<QString, KeyBindings::kSlots> KeyBindings::names() const
{
    std::array<QString, kSlots> out;
    for (size_t i = 0; i < keys_.size(); ++i)
        out[i] = keyName(keys_[i]);
    return out;
}

void KeyBindings::set(Slot slot, int qtKey)
{
    if (slot < 0 || slot >= kSlots)
        return;
    const int holder = slotOf(qtKey);
    if (holder >= 0)
        keys_[static_cast<size_t>(holder)] = keys_[static_cast<size_t>(slot)];
    keys_[static_cast<size_t>(slot)] = qtKey;
}

int KeyBindings::slotOf(int qtKey) const
{
    const auto at = std::find(keys_.begin(), keys_.end(), qtKey);
    return at == keys_.end() ? -1 : static_cast<int>(at - keys_.begin());
}

uint16_t KeyBindings::gameKey(int qtKey) const
{
    static constexpr uint16_t kArrow[] = {38, 40, 37, 39};  // up, down, left, right
    const int slot = slotOf(qtKey);
    if (slot >= 0 && slot != Pause)
        return kArrow[slot % 4];
    const uint16_t code = virtualKeyFromQt(qtKey);
    return code >= 37 && code <= 40 ? 0 : code;
}

QString keyName(int qtKey)
{
    if (qtKey <= 0 || qtKey == Qt::Key_unknown)
        return {};
    return QKeySequence(qtKey).toString(QKeySequence::PortableText);
}

int keyFromName(const QString& name)
{
    const QKeySequence sequence = QKeySequence::fromString(name.trimmed(), QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].keyboardModifiers() != Qt::NoModifier)
        return 0;
    return sequence[0].key();
}

}  // namespace kestrum
