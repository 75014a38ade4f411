#pragma once

// The platform's own style, with one thing put off: the icon of a menu
// bar's extension button (the chevron shown when the menus do not fit) is
// read from its PNG only when something paints it. Qt reads it as every menu
// bar is built, which costs the image reader, libpng and zlib before the
// first frame, for a button the main window's menu bar never shows.

#include <QProxyStyle>

namespace tekkora {

class ProgramStyle final : public QProxyStyle {
    Q_OBJECT
public:
    ProgramStyle() = default;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};

} // namespace tekkora
