#pragma once

#include <QIcon>

namespace tekkora {

// The score window's own icon, with its 32x32 and 16x16 images.
QIcon scoreIcon();

} // namespace tekkora
