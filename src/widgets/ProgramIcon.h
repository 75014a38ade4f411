#pragma once

#include <QIcon>
#include <QPixmap>

namespace tekkora {

// The program icon for every window: its own 16x16 drawing, and its 32x32
// drawing at 32 pixels and at the larger sizes high-density screens ask for.
QIcon programIcon();

// The icon's 32x32 image as the about box shows it, drawn for a screen of the
// given pixel density.
QPixmap programIconImage32(qreal devicePixelRatio);

} // namespace tekkora
