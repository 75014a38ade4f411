#pragma once

// The keys of a keyboard's main block as the keys page draws them: where
// each stands, in key widths from the block's top left, by its PC scan code,
// and which question it answers in the player's layout.

#include <QList>
#include <QPointF>

#include <array>
#include <cstdint>
#include <optional>

namespace tekkora {

struct KeyCap {
    int scanCode = 0;
    QPointF at;               // top left, in key widths
    std::int16_t answers = 0; // the drill's key code ('A'-'Z', '0'-'9'), or 0
};

// What each key answers in the player's layout, by PC scan code (the
// keyboard library's ScanCodeAnswers): the drill's key code, or 0.
using KeyAnswers = std::array<std::int16_t, 128>;

// From what each scan code answers in the player's layout; without that, as
// on a US keyboard. Keys of the ANSI block are always there; the keys only
// ISO and Japanese keyboards have, only when they answer something.
QList<KeyCap> mainBlockKeys(const std::optional<KeyAnswers> &answers);

} // namespace tekkora
