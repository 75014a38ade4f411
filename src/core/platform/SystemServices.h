#pragma once

// The system's own tick counter, random numbers and clock.

#include "Services.h"

namespace tekkora {

class SystemTickCounter final : public TickCounter {
public:
    std::int32_t GetTickCount() override;
};

class SystemRandomGenerator final : public RandomGenerator {
public:
    SystemRandomGenerator();
    void reseedFromClock() override;
    float next() override;

private:
    // SplitMix64: a reseed is one store, where a Mersenne Twister would fill
    // 624 words of state on every question.
    std::uint64_t state_ = 0;
    std::uint64_t reseedCount_ = 0;
};

class SystemLocalClock final : public LocalClock {
public:
    QDateTime now() override { return QDateTime::currentDateTime(); }
};

} // namespace tekkora
