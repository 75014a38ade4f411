#pragma once

// The keyboard layouts of the XKB window systems, each read the way that
// window system hands it to the toolkit (KeyboardLayoutX11.cpp,
// KeyboardLayoutWayland.cpp). Null when the application is not on it.

#include "KeyboardLayout.h"

namespace tekkora {

std::unique_ptr<KeyboardLayout> x11KeyboardLayout();
std::unique_ptr<KeyboardLayout> waylandKeyboardLayout();

} // namespace tekkora
