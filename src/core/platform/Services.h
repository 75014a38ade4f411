#pragma once

#include <QString>

namespace tekkora {

class TickCounter;
class Beeper;
class RandomGenerator;
class LocalClock;

// The platform services one running program uses, handed to the windows.
// Tests hand in fakes instead.
struct Services {
    TickCounter &ticks;
    Beeper &beeper;
    RandomGenerator &random;
    LocalClock &clock;
    QString dataDirectory; // where Score.txt and tekora.ini live
};

} // namespace tekkora
