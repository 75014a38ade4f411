#pragma once

// The look the windows were drawn with, over whatever style the platform
// picks: command buttons in the program's face colour show that colour,
// flat inside the style's own edges (which keep the focus and default-button
// cues), and a menu marks a checked item with a bare check mark and an
// unchecked one with nothing, where styles such as Fusion draw check boxes.
//
// It also reads the icon of a menu bar's extension button (the chevron shown
// when the menus do not fit) only when it is drawn. Qt reads it as every
// menu bar is built, and reading it is what makes Qt load every image
// plug-in installed, for a button the main window never shows.

#include <QProxyStyle>

namespace tekkora {

class ClassicLookStyle final : public QProxyStyle {
    Q_OBJECT
public:
    // Takes over base; without one, the platform's own style.
    explicit ClassicLookStyle(QStyle *base = nullptr);

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};

} // namespace tekkora
