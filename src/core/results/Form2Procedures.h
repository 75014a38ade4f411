#pragma once

// The results window's procedures: filling its figures from the drill state,
// logging the run, and the OK button with its milestone messages.

#include "Form2Controls.h"

#include "drill/DrillState.h"
#include "platform/Services.h"

namespace tekkora {

class Form2Procedures {
public:
    // The window only reads the drill state.
    Form2Procedures(const DrillState &state, const Services &services, Form2Controls &controls);

    void Form_Load();
    void Command1_Click();

private:
    const DrillState &state_;
    Services services_;
    Form2Controls &controls_;
};

} // namespace tekkora
