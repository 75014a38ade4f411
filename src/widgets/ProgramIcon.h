#pragma once

#include <QIcon>
#include <QPixmap>

namespace tekkora {

// The program icon, with its 32x32 and 16x16 images, for every window.
QIcon programIcon();

// The 32x32 image alone, as the about box shows it.
QPixmap programIconImage32();

} // namespace tekkora
