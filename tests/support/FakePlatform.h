#pragma once

// Fakes of the platform services, injected by the tests: ticks that only move
// when told, beeps that are counted, random numbers from a script, and a
// clock fixed at a chosen moment.

#include "platform/SystemServices.h"
#include "platform/Services.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <deque>
#include <stdexcept>

namespace tekkora::testing {

class FakeTickCounter final : public TickCounter {
public:
    std::int32_t GetTickCount() override { return static_cast<std::int32_t>(now); }
    void advance(std::uint32_t ms) { now += ms; }
    std::uint32_t now = 1000;
};

class FakeBeeper final : public Beeper {
public:
    void beep() override { ++count; }
    int count = 0;
};

// Hands out scripted numbers first; once the script is used up it falls back
// to a real generator, so long runs need no script at all.
class ScriptedRandom final : public RandomGenerator {
public:
    void reseedFromClock() override { ++reseeds; }
    float next() override
    {
        ++draws;
        if (!script.empty()) {
            const float r = script.front();
            script.pop_front();
            return r;
        }
        return fallback.next();
    }
    std::deque<float> script;
    int reseeds = 0;
    int draws = 0;
    SystemRandomGenerator fallback;
};

class FixedClock final : public LocalClock {
public:
    QDateTime now() override { return moment; }
    QDateTime moment{QDate(2000, 7, 15), QTime(9, 5)};
};

// One bundle of fakes with a data directory chosen by the test.
struct FakePlatform {
    FakeTickCounter ticks;
    FakeBeeper beeper;
    ScriptedRandom random;
    FixedClock clock;
    Services services(const QString &dataDirectory) { return Services{ticks, beeper, random, clock, dataDirectory}; }
};

} // namespace tekkora::testing
