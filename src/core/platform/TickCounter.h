#pragma once

#include <cstdint>

namespace tekkora {

// The millisecond tick counter: milliseconds of a monotonic clock, kept as a
// 32-bit value that wraps like the Windows counter it stands in for.
class TickCounter {
public:
    virtual ~TickCounter() = default;
    virtual std::int32_t GetTickCount() = 0;
};

class SystemTickCounter final : public TickCounter {
public:
    std::int32_t GetTickCount() override;
};

} // namespace tekkora
