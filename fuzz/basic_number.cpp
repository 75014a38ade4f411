// Short texts as a "Num" value: reading and rounding must never hit
// undefined behaviour (the sanitizer watches the float-to-integer step), and
// plain digit strings must read as themselves.

#include "platform/BasicNumber.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view whole(reinterpret_cast<const char *>(data), size);
    // The settings load hands over at most 5 characters.
    const std::string_view text = whole.substr(0, 5);
    const std::int16_t count = tekkora::roundToInt16Clamped(tekkora::basicVal(text));

    bool allDigits = !text.empty();
    long expected = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            allDigits = false;
            break;
        }
        expected = expected * 10 + (c - '0');
    }
    if (allDigits && count != (expected > 32767 ? 32767 : expected))
        std::abort();

    // Longer texts only need to stay clear of undefined behaviour.
    (void)tekkora::roundToInt16Clamped(tekkora::basicVal(whole));
    return 0;
}
