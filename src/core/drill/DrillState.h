#pragma once

// The drill state: the one record of the run, written by the main window and
// read by the results window, with the key codes and character sets it uses.

#include <QString>

#include <array>
#include <cstdint>

namespace tekkora {

// Keyboard key codes, as the drill compares them.
namespace keycode {
inline constexpr std::int16_t Escape = 27;
inline constexpr std::int16_t Digit0 = 48;
inline constexpr std::int16_t Digit9 = 57;
inline constexpr std::int16_t LetterA = 65;
inline constexpr std::int16_t LetterZ = 90;
} // namespace keycode

// CharSet values.
namespace charset {
inline constexpr std::uint8_t Letters = 1;
inline constexpr std::uint8_t Digits = 2;
inline constexpr std::uint8_t All = 3;
} // namespace charset

inline constexpr std::int16_t UnlimitedQuestions = 32767;

struct DrillState {
    std::int16_t TargetKey = 0;
    std::int16_t LastKey = 0;
    std::uint8_t CharSet = 0;
    std::int16_t QuestionCount = 0;
    std::int16_t MissCount = 0;
    std::int16_t RangeLow = 0;
    std::int16_t RangeHigh = 0;
    float Accuracy = 0.0f;
    std::int32_t StartTick = 0;
    std::int32_t EndTick = 0;
    double ElapsedSeconds = 0.0;
    std::int16_t MissedFlag = 0;
    std::int16_t QuestionLimit = 0;
};

// Key codes the all-characters draw picks from: A-Z at 0-25, 0-9 at 26-35.
// The last entry is never written and never drawn.
using KeyTable = std::array<std::uint8_t, 37>;
inline constexpr int KeyTableFilledEntries = 36;

void fillKeyTable(KeyTable &table);

// (questions - misses) / questions, taken to three decimals as "#0.000"
// shows it, then as a percentage: 2 of 3 gives 66.7, 10 of 10 exactly 100.
float computeAccuracy(std::int16_t questionCount, std::int16_t missCount);

// Seconds between two tick readings. The difference is taken modulo 2^32,
// so a run across either wrap of the counter still gets its true length.
double elapsedSeconds(std::int32_t startTick, std::int32_t endTick);

// "英字", "数字" or "全て"; an empty text for any other value.
QString charSetText(std::uint8_t charSet);

// "無制限" for an unlimited run, otherwise the count and "回", as "30回".
QString questionLimitText(std::int16_t questionLimit);

} // namespace tekkora
