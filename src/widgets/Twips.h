#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tekkora {

// Window layouts are given in twips: 15 twips make one pixel at 96 dpi.
// Qt's logical pixels are 96-dpi pixels, so the division holds on every screen.
inline constexpr int TwipsPerPixel = 15;

constexpr int twips(int t)
{
    return (t + TwipsPerPixel / 2) / TwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

inline QSize twipsSize(int width, int height)
{
    return QSize(twips(width), twips(height));
}

} // namespace tekkora
