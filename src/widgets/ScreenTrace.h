#pragma once

// A line on standard output for each change a player would see on the
// screen: a window shown or hidden, the captions a key changed. A web page is one
// canvas that tells a test nothing; with the page opened as
// index.html?trace, a test follows the drill by these lines in the browser's
// console. ScreenTraceWeb.cpp reads the page's address; ScreenTraceNone.cpp
// traces nothing, since desktop tests ask the window system itself.

namespace tekkora {

// Starts tracing for the rest of the program's life when asked.
void startScreenTraceIfAsked();

} // namespace tekkora
