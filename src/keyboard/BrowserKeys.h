#pragma once

// The browser's view of the keyboard, as the key translation reads it. Its
// key events name the key by its place (KeyboardEvent.code: "KeyQ",
// "Digit1"), whatever the layout, and Chromium tells what each key shows
// unshifted in the player's layout (navigator.keyboard.getLayoutMap()).
// A place is turned into the XKB keycode of the same key (the Linux input
// code + 8), so that the answers of a layout are a KeycodeAnswers table as
// on X11 and Wayland, worked out by the same rule (XkbAnswers.h) from the one
// level the browser shows:
//  - an ASCII letter: that letter; else an ASCII digit: that digit;
//  - else a letter of a script other than Latin, or anything in a layout
//    whose letters are all of another script: the letter of the same key in
//    the US layout;
//  - a letter or digit no key answers so is answered by the key at its place
//    on a US keyboard if that key answers nothing (AZERTY's "&/1" key);
//  - the keypad answers nothing.

#include "KeyCodes.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <utility>

namespace tekkora {

// The XKB keycode of a KeyboardEvent.code, or 0 for a key this program does
// not know.
std::uint32_t xkbKeycodeOfBrowserCode(QStringView code);

// Whether the key with this XKB keycode is one of the keypad's.
bool isKeypadXkbKeycode(std::uint32_t keycode);

// What the key with this XKB keycode answers on a US keyboard, or 0.
std::int16_t usAnswerOfXkbKeycode(std::uint32_t keycode);

// The answers of a layout from its keyboard map: each key's code and what it
// shows unshifted.
KeycodeAnswers browserLayoutAnswers(const QList<std::pair<QString, QString>> &layoutMap);

} // namespace tekkora
