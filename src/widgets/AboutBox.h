#pragma once

namespace tekkora {

// ver_Click's work: builds frmAbout afresh, shows it modally with no owner
// window and returns once it has closed (and been destroyed).
void showAboutBox();

} // namespace tekkora
