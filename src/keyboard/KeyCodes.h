#pragma once

// Translation of the toolkit's key events into the keyboard key codes the
// drill compares: letters 65-90 whatever the case or Shift, main-row digits
// 48-57 whatever the Shift state or the layout's level for the digit, keypad
// digits 96-105, Esc 27, Shift 16, Ctrl 17, Alt 18, and codes for other keys
// that never answer a question.
//
// The toolkit's key follows the character typed (Shift+2 is "@" on a US
// layout, the unshifted digit keys of a French one give "&", "é", ...), so
// where the platform tells which key was pressed, the key decides: Windows
// names it in its virtual key, and on X11 and Wayland the keyboard layout
// says what each key answers (XkbAnswers.h), and in the browser its key
// event's place and the layout map the browser gives (BrowserKeys.h).

#include <QStringView>
#include <Qt>

#include <array>
#include <cstdint>

namespace tekkora {

// What a platform's key events carry besides the toolkit's key.
enum class NativeKeys : std::uint8_t {
    // Nothing this program reads: synthetic events, other platforms.
    None,
    // xcb and wayland: the scan code is the XKB keycode (the Linux input
    // code + 8), the virtual key the keysym.
    Xkb,
    // Windows: the virtual key is the Windows virtual-key code.
    WindowsVirtualKey,
    // The browser: the scan code is the XKB keycode of the key's place as
    // its key event names it (BrowserKeys.h).
    BrowserCode,
};

// The native codes the named Qt platform plug-in puts in its key events.
NativeKeys nativeKeysFor(QStringView platformName);

// One key press as the translation reads it. nativeScanCode and
// nativeVirtualKey are 0 when the event does not carry them.
struct KeyPress {
    int qtKey = 0;
    Qt::KeyboardModifiers modifiers;
    std::uint32_t nativeScanCode = 0;
    std::uint32_t nativeVirtualKey = 0;
};

// Reads a key press from a toolkit key event (QKeyEvent); a template so that
// this header needs no GUI module.
template <typename KeyEvent>
KeyPress keyPressOf(const KeyEvent &event)
{
    return {event.key(), event.modifiers(), event.nativeScanCode(), event.nativeVirtualKey()};
}

// What each key of the layout in use answers, by its XKB keycode (the Linux
// input code + 8): the code of its letter or digit, or 0 for none.
using KeycodeAnswers = std::array<std::int16_t, 256>;

// The key code of a press: from the platform's native codes where they name
// the key, else from the toolkit's key. With XKB keycodes, answers (when the
// layout could be read) decides which letter or digit a key answers; a key
// without one gives its toolkit code, never a letter's or digit's. A browser
// that tells no layout leaves the letter or digit typed, else the one of the
// key's place on a US keyboard.
std::int16_t keyCodeFor(const KeyPress &key, NativeKeys native, const KeycodeAnswers *answers = nullptr);

// The key code from the toolkit's key alone.
std::int16_t keyCodeFor(int qtKey, Qt::KeyboardModifiers modifiers);

// The shift-state argument of a key press: 1 Shift, 2 Ctrl, 4 Alt.
std::int16_t shiftStateFor(Qt::KeyboardModifiers modifiers);

} // namespace tekkora
