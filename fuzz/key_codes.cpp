// Any key, modifiers and native codes on any platform, with or without a
// layout's answers: letters give 65-90, main-row digits 48-57, keypad digits
// 96-105, and no other key lands on a code that answers a question. The
// native codes decide only where they name a key: an XKB keycode answers
// what the layout's answers say, and nothing else answers (any keycode, out
// of the table too); a Windows virtual key of a digit, a letter or a keypad
// digit is its own code. Any other press is translated from the toolkit's
// key alone.

#include "KeyCodes.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>

namespace {

bool answers(int code)
{
    return (code >= 48 && code <= 57) || (code >= 65 && code <= 90);
}

void checkToolkitKey(int key, Qt::KeyboardModifiers modifiers, std::int16_t code)
{
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        if (code != 65 + (key - Qt::Key_A))
            std::abort();
    } else if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        if (code != (keypad ? 96 : 48) + (key - Qt::Key_0))
            std::abort();
    } else if (answers(code)) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    tekkora::KeyPress press;
    press.qtKey = input.ConsumeIntegral<int>();
    press.modifiers = Qt::KeyboardModifiers::fromInt(input.ConsumeIntegral<int>());
    const auto native = static_cast<tekkora::NativeKeys>(input.ConsumeIntegralInRange<int>(0, 2));
    press.nativeScanCode = input.ConsumeIntegral<std::uint32_t>();
    press.nativeVirtualKey = input.ConsumeIntegral<std::uint32_t>();
    // A layout's answers: each key none, a digit or a letter, in a pattern.
    tekkora::KeycodeAnswers table{};
    const auto pattern = input.ConsumeIntegral<std::uint8_t>();
    for (std::size_t key = 0; key < table.size(); ++key) {
        const std::size_t which = (key * pattern) % 37;
        table[key] = std::int16_t(which == 0 ? 0 : which <= 10 ? '0' + (which - 1) : 'A' + (which - 11));
    }
    const tekkora::KeycodeAnswers *layout = input.ConsumeBool() ? &table : nullptr;

    const std::int16_t toolkit = tekkora::keyCodeFor(press.qtKey, press.modifiers);
    checkToolkitKey(press.qtKey, press.modifiers, toolkit);

    const std::int16_t code = tekkora::keyCodeFor(press, native, layout);
    const std::uint32_t scan = press.nativeScanCode;
    const std::uint32_t virtualKey = press.nativeVirtualKey;
    switch (native) {
    case tekkora::NativeKeys::Xkb:
        if (layout == nullptr || scan == 0) {
            if (code != toolkit)
                std::abort();
        } else if (scan < table.size() && table[scan] != 0) {
            if (code != table[scan])
                std::abort();
        } else if (code != (answers(toolkit) ? 255 : toolkit)) {
            std::abort();
        }
        break;
    case tekkora::NativeKeys::WindowsVirtualKey:
        if ((virtualKey >= 48 && virtualKey <= 57) || (virtualKey >= 65 && virtualKey <= 90)
            || (virtualKey >= 96 && virtualKey <= 105)) {
            if (code != int(virtualKey))
                std::abort();
        } else if (code != toolkit) {
            std::abort();
        }
        break;
    case tekkora::NativeKeys::None:
        if (code != toolkit)
            std::abort();
        break;
    }

    const std::int16_t shift = tekkora::shiftStateFor(press.modifiers);
    if (shift < 0 || shift > 7)
        std::abort();
    return 0;
}
