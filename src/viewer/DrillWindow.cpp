#include "DrillWindow.h"

#include <QGuiApplication>
#include <QScreen>

namespace tekkora {

std::optional<QRect> drillWindowFrame()
{
    const std::optional<QRect> native = nativeDrillWindowFrame();
    if (!native)
        return std::nullopt;
    // A screen's own pixels are its device-independent ones times its
    // scale, counted from the same corner.
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect area = screen->geometry();
        const qreal scale = screen->devicePixelRatio();
        const QRect nativeArea(area.topLeft(), area.size() * scale);
        if (!nativeArea.contains(native->center()))
            continue;
        const QPointF topLeft = area.topLeft() + QPointF(native->topLeft() - area.topLeft()) / scale;
        return QRectF(topLeft, QSizeF(native->size()) / scale).toRect();
    }
    return std::nullopt;
}

} // namespace tekkora
