#pragma once

#include "platform/Beeper.h"

namespace tekkora {

// The platform's own beep.
class SystemBeeper final : public Beeper {
public:
    void beep() override;
};

} // namespace tekkora
