#pragma once

#include <cstdint>
#include <limits>
#include <stdexcept>

namespace tekkora {

// Counts are 16-bit and must never wrap: a result outside the range is an
// overflow, reported instead of silently wrapping around.
class OverflowError : public std::runtime_error {
public:
    OverflowError() : std::runtime_error("overflow") {}
};

inline std::int16_t checkedAdd16(std::int16_t a, std::int16_t b)
{
    const int sum = int(a) + int(b);
    if (sum > std::numeric_limits<std::int16_t>::max() || sum < std::numeric_limits<std::int16_t>::min())
        throw OverflowError();
    return static_cast<std::int16_t>(sum);
}

inline std::int16_t checkedSub16(std::int16_t a, std::int16_t b)
{
    const int diff = int(a) - int(b);
    if (diff > std::numeric_limits<std::int16_t>::max() || diff < std::numeric_limits<std::int16_t>::min())
        throw OverflowError();
    return static_cast<std::int16_t>(diff);
}

} // namespace tekkora
