#pragma once

// The platform services the drill uses, each behind a small interface: the
// program hands in the system's (SystemServices.h, and the beep from the
// widgets library), tests hand in fakes.

#include <QDateTime>
#include <QString>

#include <cstdint>

namespace tekkora {

// The millisecond tick counter: milliseconds of a monotonic clock, kept as a
// 32-bit value that wraps like the Windows counter it stands in for.
class TickCounter {
public:
    virtual ~TickCounter() = default;
    virtual std::int32_t GetTickCount() = 0;
};

// The system beep that answers a wrong key and the end of a run.
class Beeper {
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};

// Pseudo-random numbers for the draw: reseeded from the clock before each
// question, then uniform in [0, 1) as a 32-bit float.
class RandomGenerator {
public:
    virtual ~RandomGenerator() = default;
    virtual void reseedFromClock() = 0;
    virtual float next() = 0;
};

// The current local date and time, as stamped on each score record.
class LocalClock {
public:
    virtual ~LocalClock() = default;
    virtual QDateTime now() = 0;
};

// The services one running program uses, handed to the windows.
struct Services {
    TickCounter &ticks;
    Beeper &beeper;
    RandomGenerator &random;
    LocalClock &clock;
    QString dataDirectory; // where Score.txt, Keys.jsonl and tekora.ini live
    // The program's own directory, when it is not the data directory: a
    // tekora.ini there (an administrator's defaults) is read until the
    // player has settings of their own.
    QString programDirectory = {};
};

} // namespace tekkora
