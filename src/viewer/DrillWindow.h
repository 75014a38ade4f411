#pragma once

// Where the drill's main window stands, for the score window to open beside
// it. The drill is another program and says nothing of its windows; the
// window system tells, where it tells other programs at all: X11 lists its
// top-level windows (DrillWindowX11.cpp), so does Windows
// (DrillWindowWindows.cpp). A Wayland compositor tells no program where any
// window is, nor lets one place itself: there the X11 file answers nothing,
// as DrillWindowNone.cpp does on other systems.

#include <QRect>

#include <optional>

namespace tekkora {

// The drill's main window's frame, in the desktop's coordinates as the
// toolkit gives them (device-independent pixels); none when no drill is
// shown or the window system does not tell.
std::optional<QRect> drillWindowFrame();

// The same in the window system's own pixels: one file per window system.
std::optional<QRect> nativeDrillWindowFrame();

} // namespace tekkora
