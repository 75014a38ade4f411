#include "BrowserKeys.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace tekkora {

namespace {

constexpr std::uint32_t XkbOffset = 8; // XKB keycodes are the Linux input codes + 8

struct Place {
    const char *code;
    std::uint32_t input; // the Linux input code
};

// The main block, the keypad and the keys around them, by the Linux input
// codes of their places.
constexpr Place Places[] = {
    {"Escape", 1}, {"Digit1", 2}, {"Digit2", 3}, {"Digit3", 4}, {"Digit4", 5}, {"Digit5", 6}, {"Digit6", 7},
    {"Digit7", 8}, {"Digit8", 9}, {"Digit9", 10}, {"Digit0", 11}, {"Minus", 12}, {"Equal", 13},
    {"Backspace", 14}, {"Tab", 15}, {"KeyQ", 16}, {"KeyW", 17}, {"KeyE", 18}, {"KeyR", 19}, {"KeyT", 20},
    {"KeyY", 21}, {"KeyU", 22}, {"KeyI", 23}, {"KeyO", 24}, {"KeyP", 25}, {"BracketLeft", 26},
    {"BracketRight", 27}, {"Enter", 28}, {"ControlLeft", 29}, {"KeyA", 30}, {"KeyS", 31}, {"KeyD", 32},
    {"KeyF", 33}, {"KeyG", 34}, {"KeyH", 35}, {"KeyJ", 36}, {"KeyK", 37}, {"KeyL", 38}, {"Semicolon", 39},
    {"Quote", 40}, {"Backquote", 41}, {"ShiftLeft", 42}, {"Backslash", 43}, {"KeyZ", 44}, {"KeyX", 45},
    {"KeyC", 46}, {"KeyV", 47}, {"KeyB", 48}, {"KeyN", 49}, {"KeyM", 50}, {"Comma", 51}, {"Period", 52},
    {"Slash", 53}, {"ShiftRight", 54}, {"NumpadMultiply", 55}, {"AltLeft", 56}, {"Space", 57},
    {"CapsLock", 58}, {"NumLock", 69}, {"ScrollLock", 70}, {"Numpad7", 71}, {"Numpad8", 72}, {"Numpad9", 73},
    {"NumpadSubtract", 74}, {"Numpad4", 75}, {"Numpad5", 76}, {"Numpad6", 77}, {"NumpadAdd", 78},
    {"Numpad1", 79}, {"Numpad2", 80}, {"Numpad3", 81}, {"Numpad0", 82}, {"NumpadDecimal", 83},
    {"IntlBackslash", 86}, {"IntlRo", 89}, {"NumpadEnter", 96}, {"ControlRight", 97}, {"NumpadDivide", 98},
    {"AltRight", 100}, {"IntlYen", 124}, {"MetaLeft", 125}, {"MetaRight", 126}, {"ContextMenu", 127},
};

// The US keyboard's letters and digits, row by row, from the input code of
// each row's first key.
struct UsRow {
    std::uint32_t first;
    const char *answers;
};
constexpr UsRow UsRows[] = {{2, "1234567890"}, {16, "QWERTYUIOP"}, {30, "ASDFGHJKL"}, {44, "ZXCVBNM"}};

bool isKeypad(std::uint32_t input)
{
    return input == 55 || (input >= 71 && input <= 83) || input == 96 || input == 98;
}

bool isAsciiLetter(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool isOtherScriptLetter(const QString &shown)
{
    const uint c = shown.isEmpty() ? 0 : shown.toUcs4().value(0);
    if (c == 0 || !QChar::isLetter(c))
        return false;
    const QChar::Script script = QChar::script(c);
    return script != QChar::Script_Latin && script != QChar::Script_Common && script != QChar::Script_Inherited;
}

} // namespace

std::uint32_t xkbKeycodeOfBrowserCode(QStringView code)
{
    for (const Place &place : Places)
        if (code == QLatin1StringView(place.code))
            return place.input + XkbOffset;
    return 0;
}

bool isKeypadXkbKeycode(std::uint32_t keycode)
{
    return keycode >= XkbOffset && isKeypad(keycode - XkbOffset);
}

std::int16_t usAnswerOfXkbKeycode(std::uint32_t keycode)
{
    const std::uint32_t input = keycode - XkbOffset;
    for (const UsRow &row : UsRows)
        if (keycode >= XkbOffset && input >= row.first && input < row.first + std::strlen(row.answers))
            return row.answers[input - row.first];
    return 0;
}

KeycodeAnswers browserLayoutAnswers(const QList<std::pair<QString, QString>> &layoutMap)
{
    KeycodeAnswers table{};
    bool asciiLetters = false, otherLetters = false;
    for (const auto &[code, shown] : layoutMap) {
        asciiLetters = asciiLetters || (shown.size() == 1 && isAsciiLetter(shown.at(0).unicode()));
        otherLetters = otherLetters || isOtherScriptLetter(shown);
    }
    const bool otherScriptLayout = otherLetters && !asciiLetters;

    std::array<bool, 128> answered{};
    for (const auto &[code, shown] : layoutMap) {
        const std::uint32_t keycode = xkbKeycodeOfBrowserCode(code);
        if (keycode == 0 || keycode >= table.size() || isKeypad(keycode - XkbOffset) || shown.isEmpty())
            continue;
        const char16_t c = shown.size() == 1 ? shown.at(0).unicode() : 0;
        const std::int16_t us = usAnswerOfXkbKeycode(keycode);
        std::int16_t answer = 0;
        if (isAsciiLetter(c))
            answer = std::int16_t(QChar::toUpper(c));
        else if (c >= u'0' && c <= u'9')
            answer = std::int16_t(c);
        else if ((isOtherScriptLetter(shown) || otherScriptLayout) && us >= 'A' && us <= 'Z')
            answer = us;
        table[keycode] = answer;
        if (answer != 0)
            answered[std::size_t(answer)] = true;
    }
    // A letter or digit still unanswered: by its key on a US keyboard, if
    // that one answers nothing.
    for (std::uint32_t keycode = XkbOffset; keycode < table.size(); ++keycode) {
        const std::int16_t us = usAnswerOfXkbKeycode(keycode);
        if (us != 0 && !answered[std::size_t(us)] && table[keycode] == 0) {
            table[keycode] = us;
            answered[std::size_t(us)] = true;
        }
    }
    return table;
}

} // namespace tekkora
