#pragma once

#include <QIcon>
#include <QPixmap>

namespace tekkora {

// The program icon for every window: its own 16x16 drawing, and its 32x32
// drawing at 32 pixels and at the sizes a task bar asks for on a screen of
// up to twice the density (48 and 64). The 128 and 256 pixel drawings are
// the installed desktop icons' and the about box's on denser screens.
QIcon programIcon();

// The icon's 32x32 image as the about box shows it, drawn for a screen of the
// given pixel density from the nearest drawing (up to 256 pixels).
QPixmap programIconImage32(qreal devicePixelRatio);

} // namespace tekkora
