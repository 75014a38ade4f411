#pragma once

#include <cstdint>

namespace tekkora {

// Pseudo-random numbers for the draw: reseeded from the clock before each
// question, then uniform in [0, 1) as a 32-bit float.
class RandomGenerator {
public:
    virtual ~RandomGenerator() = default;
    virtual void reseedFromClock() = 0;
    virtual float next() = 0;
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

} // namespace tekkora
