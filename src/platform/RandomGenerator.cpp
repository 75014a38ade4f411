#include "RandomGenerator.h"

#include <chrono>

namespace tekkora {

SystemRandomGenerator::SystemRandomGenerator()
{
    reseedFromClock();
}

void SystemRandomGenerator::reseedFromClock()
{
    // Nanoseconds of the clock, mixed with a running count: two reseeds that
    // land on the same clock reading still start different sequences.
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    const auto ns = static_cast<std::uint64_t>(now);
    ++reseedCount_;
    std::seed_seq seq{static_cast<std::uint32_t>(ns), static_cast<std::uint32_t>(ns >> 32),
                      static_cast<std::uint32_t>(reseedCount_)};
    engine_.seed(seq);
}

float SystemRandomGenerator::next()
{
    // 24 random bits fill a float's mantissa exactly, so the result is never 1.
    return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f);
}

} // namespace tekkora
