#pragma once

// Whether a modal window may wait in exec() while another one waits below
// it. On the desktop it may. In the browser a wait unwinds the program's
// stack into the page's event loop, and only one can be unwound at a time:
// a later step of a modal window opens with open() instead and goes on from
// its finished signal. One implementation per platform.

namespace tekkora {

bool nestedModalWaits();

} // namespace tekkora
