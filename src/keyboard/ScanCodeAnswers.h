#pragma once

// What each key of the keyboard's main block answers in the player's layout,
// for pictures of the keyboard: indexed by PC scan code (the Linux input
// code, the XKB keycode less 8), the drill's key code of the letter or digit
// the key answers, or 0.

#include <array>
#include <cstdint>
#include <optional>

namespace tekkora {

using ScanCodeAnswers = std::array<std::int16_t, 128>;

// Read from the window system of the running application (after its
// QGuiApplication is made); nullopt where the platform cannot tell.
std::optional<ScanCodeAnswers> currentScanCodeAnswers();

} // namespace tekkora
