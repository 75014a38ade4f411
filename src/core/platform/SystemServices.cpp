#include "SystemServices.h"

#include <chrono>

namespace tekkora {

std::int32_t SystemTickCounter::GetTickCount()
{
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    // Keep the low 32 bits, read as signed: the counter wraps every 49.7 days.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms));
}

SystemRandomGenerator::SystemRandomGenerator()
{
    reseedFromClock();
}

void SystemRandomGenerator::reseedFromClock()
{
    // Nanoseconds of the clock, mixed with a running count: two reseeds that
    // land on the same clock reading still start different sequences.
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    ++reseedCount_;
    state_ = static_cast<std::uint64_t>(now) ^ (reseedCount_ * 0xD1B54A32D192ED03ull);
}

float SystemRandomGenerator::next()
{
    state_ += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    // 24 random bits fill a float's mantissa exactly, so the result is never 1.
    return static_cast<float>(z >> 40) * (1.0f / 16777216.0f);
}

} // namespace tekkora
