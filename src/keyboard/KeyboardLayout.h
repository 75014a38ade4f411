#pragma once

// The keyboard layout the window system applies to this program's key
// events, as far as the drill needs it: which letter or digit each key
// answers. Read when first asked (not at start-up), and read again after the
// window system changes the layout. One implementation per platform.

#include "KeyCodes.h"

#include <memory>

namespace tekkora {

class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;
    // What each key answers now, by the key events' native scan code; null
    // when the layout cannot be read.
    virtual const KeycodeAnswers *answers() = 0;
    // Adds what the platform tells of the key apart from the toolkit's event
    // (the browser's place of the key) to a press read from that event.
    virtual void addNativeKeys(KeyPress &) const {}
};

// The layout of the running application's platform; null where the key
// events name the key themselves (Windows' virtual keys) or no layout can
// be read.
std::unique_ptr<KeyboardLayout> keyboardLayoutOfPlatform();

} // namespace tekkora
