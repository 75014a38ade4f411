#pragma once

// The results window's procedures: filling its figures from the drill state,
// logging the run, and the OK button with its milestone messages.

#include "Form2Controls.h"

#include "drill/DrillState.h"
#include "drill/RunRecording.h"
#include "platform/Services.h"

namespace tekkora {

class Form2Procedures {
public:
    // The window only reads the drill state and the run's recording.
    Form2Procedures(const DrillState &state, const RunRecording &recording, const Services &services,
                    Form2Controls &controls);

    void Form_Load();
    void Command1_Click();

private:
    const DrillState &state_;
    const RunRecording &recording_;
    Services services_;
    Form2Controls &controls_;
};

} // namespace tekkora
