#pragma once

// How the per-key log writes the drill's key codes: a letter or digit key as
// its character, in the run's case as the drill shows it; every other key by
// its name ("Shift", "Space", "F5", "Numpad7", ...). A code without a name
// of its own (a key the drill has no code for) is written "Other".
// The table is public: players' scripts read these names.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tekkora {

enum class LetterCase : std::uint8_t { Upper, Lower };

// The drill's code for every key it has no code of its own for.
inline constexpr std::uint8_t OtherKeyCode = 255;

// The text for a key code; codes outside 0-255 are written as "Other".
std::string_view keyText(std::int16_t keyCode, LetterCase letterCase);

// The key code a text names. A letter must be in the run's case: the drill
// never writes it otherwise.
std::optional<std::uint8_t> keyCodeOfText(std::string_view text, LetterCase letterCase);

// Letters and digits, the keys that answer questions.
inline bool isAnswerKey(int keyCode)
{
    return (keyCode >= 'A' && keyCode <= 'Z') || (keyCode >= '0' && keyCode <= '9');
}

} // namespace tekkora
