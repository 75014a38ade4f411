#pragma once

// Whether a window's frame is known as soon as it is shown. Where a window
// manager frames it (X11, Wayland, and as the program has always done on
// Windows) the frame is known only once the window is first exposed, so a
// window is placed again then. In the browser Qt draws the frames itself:
// the first placement is already right, and there is no window manager to
// wait for. One implementation per platform.

namespace tekkora {

bool framesKnownWhenShown();

} // namespace tekkora
