#pragma once

#include "platform/Services.h"

namespace tekkora {

// The platform's own beep.
class SystemBeeper final : public Beeper {
public:
    void beep() override;
};

} // namespace tekkora
