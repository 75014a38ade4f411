#pragma once

#include <QIcon>

namespace tekkora {

// The score window's own icon, from 16 to 256 pixels.
QIcon scoreIcon();

} // namespace tekkora
