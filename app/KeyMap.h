// Input becomes data at the window's edge: Qt keys to the virtual-key codes the game keeps.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace kestrum {

// 38 up, 40 down, 37 left, 39 right, letters 65..90, digits 48..57, F1..F24 112..135;
// keys without a code give 0, which steers nothing but still counts as a key press.
uint16_t virtualKeyFromQt(int qtKey);
// A modifier or lock key pressed alone (Ctrl, Shift, Alt, AltGr, Meta, Super, Caps Lock,
// Num Lock): no key press for the game.
bool isBareModifier(int qtKey);

// The player's keys, as Qt key codes: the four directions, a second set of them, and the
// pause key. The game itself sees the arrows' codes: a key of the set becomes the arrow of
// its direction, so the toadstool exchanges whatever keys are set.
class KeyBindings {
public:
    enum Slot { Up, Down, Left, Right, Up2, Down2, Left2, Right2, Pause, kSlots };
    // The arrows, W S A D and P.
    static std::array<int, kSlots> defaults();
    // Keys the menu uses without a modifier (Help, New, Full screen, Pause's Escape): no slot
    // may take them.
    static bool takenByMenu(int qtKey);
    // A key a slot may hold: one with a name, no modifier alone, none the menu uses.
    static bool usable(int qtKey);

    KeyBindings() : keys_(defaults()) {}
    // Names as the settings file keeps them; an empty name keeps its slot's default, and a
    // set that cannot work (a key twice, an unknown or unusable key) is the default set.
    static KeyBindings fromNames(const std::array<QString, kSlots>& names);
    std::array<QString, kSlots> names() const;

    int key(Slot slot) const { return keys_[static_cast<size_t>(slot)]; }
    // Sets a slot; a slot holding the key already gives it up for the slot's old key, so
    // that every key is in one slot only.
    void set(Slot slot, int qtKey);
    // The slot of a key, or -1.
    int slotOf(int qtKey) const;
    bool steers(int qtKey) const
    {
        const int slot = slotOf(qtKey);
        return slot >= 0 && slot != Pause;
    }
    // The virtual-key code the game gets: a steering key gives its direction's arrow code, an
    // arrow that steers nothing here gives 0, any other key its own code.
    uint16_t gameKey(int qtKey) const;
    bool operator==(const KeyBindings&) const = default;

private:
    std::array<int, kSlots> keys_;
};

// A key's name as Qt spells it ("Up", "W", "Space"), and back (0 for no key).
QString keyName(int qtKey);
int keyFromName(const QString& name);

}  // namespace kestrum
