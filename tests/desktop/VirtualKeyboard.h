#pragma once

// A keyboard of a given layout on a Wayland compositor, as a real one is:
// the compositor gets the layout's keymap, compiled by libxkbcommon from its
// name, then raw key codes, and hands both to the focused window. (wtype
// makes up a keymap of its own for the keysyms it types instead.)
//
//   VirtualKeyboard keyboard;
//   QVERIFY2(keyboard.open(session.displaySocket(), "ru"), qPrintable(keyboard.error()));
//   keyboard.tap(keyboard.keyAnswering('A'));

#include <QByteArray>
#include <QString>

#include <cstdint>

struct wl_display;
struct wl_seat;
struct xkb_context;
struct xkb_keymap;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

namespace tekkora::testing {

class VirtualKeyboard {
public:
    VirtualKeyboard() = default;
    ~VirtualKeyboard();
    VirtualKeyboard(const VirtualKeyboard &) = delete;
    VirtualKeyboard &operator=(const VirtualKeyboard &) = delete;

    bool open(const QString &socket, const QByteArray &layout);
    QString error() const { return error_; }

    // Presses and releases the key with this XKB keycode.
    bool tap(std::uint32_t keycode);
    // The key of this layout a player presses for an ASCII letter (upper
    // case) or digit: the key showing it unshifted or with Shift, else, on a
    // layout without Latin letters, the key where the US layout has it.
    std::uint32_t keyAnswering(char character) const;

private:
    bool fail(const char *what);

    QString error_;
    wl_display *display_ = nullptr;
    wl_seat *seat_ = nullptr;
    zwp_virtual_keyboard_manager_v1 *manager_ = nullptr;
    zwp_virtual_keyboard_v1 *keyboard_ = nullptr;
    xkb_context *context_ = nullptr;
    xkb_keymap *keymap_ = nullptr;
    xkb_keymap *us_ = nullptr;
};

} // namespace tekkora::testing
