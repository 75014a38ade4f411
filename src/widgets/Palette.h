#pragma once

#include <QColor>

namespace tekkora::colours {

// One colour scheme for every window.
inline const QColor Background(128, 128, 255);
inline const QColor ButtonFace(192, 192, 255); // buttons and figure boxes
inline const QColor Caption(255, 255, 255);    // static captions

} // namespace tekkora::colours
