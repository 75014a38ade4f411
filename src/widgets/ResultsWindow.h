#pragma once

#include "drill/DrillState.h"
#include "platform/Services.h"

namespace tekkora {

// Builds a fresh results window (Form2), loads it from the drill state (which
// appends the run to the score log), shows it modally and returns once it
// has closed and been destroyed.
void showResultsWindow(const DrillState &state, const Services &services);

} // namespace tekkora
