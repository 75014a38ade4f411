#include "KeyNames.h"

#include <array>

namespace tekkora {

namespace {

struct NamedKey {
    std::uint8_t code;
    std::string_view name;
};

// Windows' virtual-key numbers, which the drill's key codes are.
constexpr NamedKey NamedKeys[] = {
    {8, "Backspace"},  {9, "Tab"},        {13, "Enter"},      {16, "Shift"},      {17, "Ctrl"},
    {18, "Alt"},       {19, "Pause"},     {20, "CapsLock"},   {27, "Esc"},        {32, "Space"},
    {33, "PageUp"},    {34, "PageDown"},  {35, "End"},        {36, "Home"},       {37, "Left"},
    {38, "Up"},        {39, "Right"},     {40, "Down"},       {45, "Insert"},     {46, "Delete"},
    {91, "Super"},     {93, "Menu"},      {96, "Numpad0"},    {97, "Numpad1"},    {98, "Numpad2"},
    {99, "Numpad3"},   {100, "Numpad4"},  {101, "Numpad5"},   {102, "Numpad6"},   {103, "Numpad7"},
    {104, "Numpad8"},  {105, "Numpad9"},  {106, "Numpad*"},   {107, "Numpad+"},   {109, "Numpad-"},
    {110, "Numpad."},  {111, "Numpad/"},  {112, "F1"},        {113, "F2"},        {114, "F3"},
    {115, "F4"},       {116, "F5"},       {117, "F6"},        {118, "F7"},        {119, "F8"},
    {120, "F9"},       {121, "F10"},      {122, "F11"},       {123, "F12"},       {124, "F13"},
    {125, "F14"},      {126, "F15"},      {127, "F16"},       {128, "F17"},       {129, "F18"},
    {130, "F19"},      {131, "F20"},      {132, "F21"},       {133, "F22"},       {134, "F23"},
    {135, "F24"},      {144, "NumLock"},  {145, "ScrollLock"}, {OtherKeyCode, "Other"},
};

constexpr std::string_view Characters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

constexpr std::array<std::string_view, 256> namesByCode()
{
    std::array<std::string_view, 256> names{};
    for (std::string_view &name : names)
        name = "Other";
    for (const NamedKey &key : NamedKeys)
        names[key.code] = key.name;
    return names;
}

constexpr std::array<std::string_view, 256> NamesByCode = namesByCode();

} // namespace

std::string_view keyText(std::int16_t keyCode, LetterCase letterCase)
{
    if (keyCode >= 'A' && keyCode <= 'Z')
        return Characters.substr(std::size_t(keyCode - 'A') + (letterCase == LetterCase::Lower ? 26 : 0), 1);
    if (keyCode >= '0' && keyCode <= '9')
        return Characters.substr(52 + std::size_t(keyCode - '0'), 1);
    if (keyCode < 0 || keyCode > 255)
        return NamesByCode[OtherKeyCode];
    return NamesByCode[std::size_t(keyCode)];
}

std::optional<std::uint8_t> keyCodeOfText(std::string_view text, LetterCase letterCase)
{
    if (text.size() == 1) {
        const char c = text.front();
        if (c >= '0' && c <= '9')
            return std::uint8_t(c);
        const char first = letterCase == LetterCase::Lower ? 'a' : 'A';
        if (c >= first && c < first + 26)
            return std::uint8_t('A' + (c - first));
        return std::nullopt;
    }
    for (const NamedKey &key : NamedKeys) {
        if (key.name == text)
            return key.code;
    }
    return std::nullopt;
}

} // namespace tekkora
