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
    // The program's own directory, when it is not the data directory: a
    // tekora.ini there (an administrator's defaults) is read until the
    // player has settings of their own.
    QString programDirectory = {};
};

} // namespace tekkora
