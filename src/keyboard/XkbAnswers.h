#pragma once

// What each key of an XKB keymap answers, worked out once for each keymap
// the window system hands the program, so that a key press is one look-up.
//
// A key answers by what its first two levels (unshifted, with Shift) hold,
// whatever Shift, Caps Lock or the active group are at the press:
//  - a keypad key answers nothing;
//  - an ASCII letter: that letter (the upper-case code);
//  - else an ASCII digit: that digit (Shift+1 on US, "&/1" on AZERTY, "[/7"
//    on programmer Dvorak);
//  - else a letter of a script other than Latin (Cyrillic, Greek, Hebrew,
//    ...): the letter of the same key in the US layout, as Windows' virtual
//    keys do; a Latin letter outside A-Z (ö, ß, ě) answers nothing;
//  - else, in a group whose letters are all of another script, the letter of
//    the same key in the US layout ("; :" on Greek's Q key);
//  - else nothing.
// The first group decides; a key that holds no letter or digit there is
// looked up in the later groups, in order.

#include "KeyCodes.h"

struct xkb_context;
struct xkb_keymap;

namespace tekkora {

class XkbAnswers {
public:
    XkbAnswers();
    ~XkbAnswers();
    XkbAnswers(const XkbAnswers &) = delete;
    XkbAnswers &operator=(const XkbAnswers &) = delete;

    // Works out the keys of this keymap (which the caller keeps).
    void read(xkb_keymap *keymap);
    // The answers of the keymap read last; no key answers before the first.
    const KeycodeAnswers &table() const { return table_; }

private:
    std::int16_t usLetterOf(const char *keyName);

    KeycodeAnswers table_{};
    // The US layout, compiled only for a keymap that needs it.
    xkb_context *usContext_ = nullptr;
    xkb_keymap *usKeymap_ = nullptr;
};

} // namespace tekkora
