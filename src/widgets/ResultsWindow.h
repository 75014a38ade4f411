#pragma once

#include "drill/DrillState.h"
#include "drill/RunRecording.h"
#include "platform/Services.h"

namespace tekkora {

// Builds a fresh results window (Form2), loads it from the drill state (which
// appends the run to the score log and its questions to the per-key log),
// shows it modally and returns once it
// has closed and been destroyed.
void showResultsWindow(const DrillState &state, const RunRecording &recording, const Services &services);

} // namespace tekkora
