// Input becomes data at the window's edge: Qt keys to the virtual-key codes the game keeps.
#pragma once

#include <cstdint>

namespace kestrum {

// 38 up, 40 down, 37 left, 39 right, letters 65..90, digits 48..57, F1..F24 112..135;
// keys without a code give 0, which steers nothing but still counts as a key press.
uint16_t virtualKeyFromQt(int qtKey);
// A modifier or lock key pressed alone (Ctrl, Shift, Alt, AltGr, Meta, Super, Caps Lock,
// Num Lock): no key press for the game.
bool isBareModifier(int qtKey);

}  // namespace kestrum
