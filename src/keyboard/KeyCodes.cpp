#include "KeyCodes.h"

#include "BrowserKeys.h"

namespace tekkora {

namespace vk {
constexpr std::int16_t Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18, Pause = 19,
                       Capital = 20, Escape = 27, Space = 32, Prior = 33, Next = 34, End = 35, Home = 36,
                       Left = 37, Up = 38, Right = 39, Down = 40, Insert = 45, Delete = 46, Numpad0 = 96,
                       Multiply = 106, Add = 107, Subtract = 109, Decimal = 110, Divide = 111, F1 = 112,
                       NumLock = 144, Scroll = 145, LWin = 91, Apps = 93;
// Any key without a code of its own; it answers no question.
constexpr std::int16_t Unknown = 255;
} // namespace vk

namespace {

bool answersAQuestion(std::int16_t code)
{
    return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z');
}

// Windows' virtual keys are the drill's codes; these are the ones that
// answer questions, or look like they might (the keypad's digits).
bool isWindowsDigitLetterOrKeypadDigit(std::uint32_t virtualKey)
{
    return (virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z')
           || (virtualKey >= vk::Numpad0 && virtualKey <= vk::Numpad0 + 9);
}

} // namespace

NativeKeys nativeKeysFor(QStringView platformName)
{
    if (platformName == u"xcb" || platformName.startsWith(u"wayland"))
        return NativeKeys::Xkb;
    if (platformName == u"windows" || platformName == u"direct2d")
        return NativeKeys::WindowsVirtualKey;
    if (platformName == u"wasm")
        return NativeKeys::BrowserCode;
    return NativeKeys::None;
}

std::int16_t keyCodeFor(const KeyPress &key, NativeKeys native, const KeycodeAnswers *answers)
{
    switch (native) {
    case NativeKeys::BrowserCode:
        if (key.nativeScanCode != 0) {
            if (isKeypadXkbKeycode(key.nativeScanCode))
                return keyCodeFor(key.qtKey, key.modifiers | Qt::KeypadModifier);
            if (answers != nullptr && key.nativeScanCode < answers->size() && (*answers)[key.nativeScanCode] != 0)
                return (*answers)[key.nativeScanCode];
            const std::int16_t typed = keyCodeFor(key.qtKey, key.modifiers);
            if (answers != nullptr)
                return answersAQuestion(typed) ? vk::Unknown : typed;
            // No layout map: the letter or digit typed, else the place's.
            if (answersAQuestion(typed))
                return typed;
            const std::int16_t us = usAnswerOfXkbKeycode(key.nativeScanCode);
            return us != 0 ? us : typed;
        }
        break;
    case NativeKeys::Xkb:
        // A synthetic event has no keycode: the toolkit's key is all there is.
        if (answers != nullptr && key.nativeScanCode != 0) {
            if (key.nativeScanCode < answers->size() && (*answers)[key.nativeScanCode] != 0)
                return (*answers)[key.nativeScanCode];
            const std::int16_t code = keyCodeFor(key.qtKey, key.modifiers);
            return answersAQuestion(code) ? vk::Unknown : code;
        }
        break;
    case NativeKeys::WindowsVirtualKey:
        if (isWindowsDigitLetterOrKeypadDigit(key.nativeVirtualKey))
            return static_cast<std::int16_t>(key.nativeVirtualKey);
        break;
    case NativeKeys::None:
        break;
    }
    return keyCodeFor(key.qtKey, key.modifiers);
}

std::int16_t keyCodeFor(int qtKey, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);

    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return static_cast<std::int16_t>(keypad ? vk::Numpad0 + (qtKey - Qt::Key_0) : qtKey);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<std::int16_t>(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<std::int16_t>(vk::F1 + (qtKey - Qt::Key_F1));

    switch (qtKey) {
    case Qt::Key_Escape: return vk::Escape;
    case Qt::Key_Shift: return vk::Shift;
    case Qt::Key_Control: return vk::Control;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return vk::Menu;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R: return vk::LWin;
    case Qt::Key_Menu: return vk::Apps;
    case Qt::Key_Backspace: return vk::Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vk::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vk::Return;
    case Qt::Key_Pause: return vk::Pause;
    case Qt::Key_CapsLock: return vk::Capital;
    case Qt::Key_NumLock: return vk::NumLock;
    case Qt::Key_ScrollLock: return vk::Scroll;
    case Qt::Key_Space: return vk::Space;
    case Qt::Key_PageUp: return vk::Prior;
    case Qt::Key_PageDown: return vk::Next;
    case Qt::Key_End: return vk::End;
    case Qt::Key_Home: return vk::Home;
    case Qt::Key_Left: return vk::Left;
    case Qt::Key_Up: return vk::Up;
    case Qt::Key_Right: return vk::Right;
    case Qt::Key_Down: return vk::Down;
    case Qt::Key_Insert: return vk::Insert;
    case Qt::Key_Delete: return vk::Delete;
    case Qt::Key_Asterisk: return keypad ? vk::Multiply : vk::Unknown;
    case Qt::Key_Plus: return keypad ? vk::Add : vk::Unknown;
    case Qt::Key_Minus: return keypad ? vk::Subtract : vk::Unknown;
    case Qt::Key_Period: return keypad ? vk::Decimal : vk::Unknown;
    case Qt::Key_Slash: return keypad ? vk::Divide : vk::Unknown;
    default: return vk::Unknown;
    }
}

std::int16_t shiftStateFor(Qt::KeyboardModifiers modifiers)
{
    std::int16_t state = 0;
    if (modifiers.testFlag(Qt::ShiftModifier))
        state |= 1;
    if (modifiers.testFlag(Qt::ControlModifier))
        state |= 2;
    if (modifiers.testFlag(Qt::AltModifier))
        state |= 4;
    return state;
}

} // namespace tekkora
