#pragma once

namespace tekkora {

// The system beep that answers a wrong key and the end of a run.
class Beeper {
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};

} // namespace tekkora
