#pragma once

// Translation of the toolkit's key events into the keyboard key codes the
// drill compares: letters 65-90 whatever the case or Shift, main-row digits
// 48-57, keypad digits 96-105, Esc 27, Shift 16, Ctrl 17, Alt 18, and codes
// for other keys that never answer a question.

#include <Qt>

#include <cstdint>

namespace tekkora {

std::int16_t keyCodeFor(int qtKey, Qt::KeyboardModifiers modifiers);

// The shift-state argument of a key press: 1 Shift, 2 Ctrl, 4 Alt.
std::int16_t shiftStateFor(Qt::KeyboardModifiers modifiers);

} // namespace tekkora
