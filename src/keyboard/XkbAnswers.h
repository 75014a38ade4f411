#pragma once

// What each key of an XKB keymap answers, worked out once for each keymap
// the window system hands the program, so that a key press is one look-up.
//
// A key answers by what it holds, whatever Shift, Caps Lock or the active
// group are at the press, as Windows' virtual keys do:
//  - a key of the keypad answers nothing;
//  - an ASCII letter on its first two levels (unshifted, with Shift): that
//    letter (the upper-case code);
//  - else an ASCII digit there: that digit (Shift+1 on US, "&/1" on AZERTY,
//    "[/7" on programmer Dvorak); the keypad's digits, which a few layouts
//    put on the number row, are none;
//  - else a letter of a script other than Latin (Cyrillic, Greek, Hebrew,
//    ...): the letter of the same key in the US layout; a Latin letter
//    outside A-Z (ö, ß, ě) is none;
//  - else, in a group whose letters are all of another script, the letter of
//    the same key in the US layout ("; :" on Greek's Q key).
// A letter or digit that no key answers so is answered by a key that answers
// nothing and holds it on its third or fourth level (Lithuanian "ą Ą 1 !",
// Persian's and Devanagari's ASCII digits); and, still unanswered, by the key
// at its place on a US keyboard if that key answers nothing (the number row
// of Thai, Vietnamese, Bengali, Kazakh, Armenian).
// The first group decides; a later group stands in only for a key that holds
// nothing at all there, so that a key never answers what its first layout
// does not show (French "," never borrows M from a US group after it).

#include "KeyCodes.h"

struct xkb_keymap;

namespace tekkora {

class XkbAnswers {
public:
    // Works out the keys of this keymap (which the caller keeps).
    void read(xkb_keymap *keymap);
    // The answers of the keymap read last; no key answers before the first.
    const KeycodeAnswers &table() const { return table_; }

private:
    KeycodeAnswers table_{};
};

} // namespace tekkora
