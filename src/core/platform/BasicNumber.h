#pragma once

// Reading a number out of text the way BASIC's Val does, and taking it to a
// 16-bit count.

#include <cstdint>
#include <string_view>

namespace tekkora {

// The longest leading part of text that reads as a number: an optional sign,
// digits with at most one decimal point, an optional exponent (E or D, an
// optional sign, digits); blanks anywhere are skipped; "&H" introduces a
// hexadecimal and "&O" an octal number; "&" before anything else is no
// number. Anything else reads as 0.
double basicVal(std::string_view text);

// The nearest whole number, halves to the even neighbour, clamped to
// -32768..32767 (so 99999 becomes 32767, an unlimited run).
std::int16_t roundToInt16Clamped(double value);

} // namespace tekkora
