#pragma once

// The look the windows were drawn with, over whatever style the platform
// picks: command buttons in the program's face colour show that colour,
// flat inside the style's own edges (which keep the focus and default-button
// cues), and a menu marks a checked item with a bare check mark and an
// unchecked one with nothing, where styles such as Fusion draw check boxes.

#include <QProxyStyle>

namespace tekkora {

class ClassicLookStyle final : public QProxyStyle {
    Q_OBJECT
public:
    // Takes over base; without one, the platform's own style.
    explicit ClassicLookStyle(QStyle *base = nullptr);

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
};

} // namespace tekkora
