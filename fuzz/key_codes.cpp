// Any key and modifiers: letters give 65-90, main-row digits 48-57, keypad
// digits 96-105, and no other key lands on a code that answers a question.

#include "KeyCodes.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const int key = input.ConsumeIntegral<int>();
    const auto modifiers = Qt::KeyboardModifiers::fromInt(input.ConsumeIntegral<int>());
    const std::int16_t code = tekkora::keyCodeFor(key, modifiers);
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);

    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        if (code != 65 + (key - Qt::Key_A))
            std::abort();
    } else if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        if (code != (keypad ? 96 : 48) + (key - Qt::Key_0))
            std::abort();
    } else if ((code >= 48 && code <= 57) || (code >= 65 && code <= 90)) {
        std::abort();
    }

    const std::int16_t shift = tekkora::shiftStateFor(modifiers);
    if (shift < 0 || shift > 7)
        std::abort();
    return 0;
}
