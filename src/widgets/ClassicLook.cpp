#include "ClassicLook.h"

#include "DeferredIcon.h"
#include "Palette.h"

#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>

namespace tekkora {

ClassicLookStyle::ClassicLookStyle(QStyle *base)
    : QProxyStyle(base)
{
}

void ClassicLookStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                     const QWidget *widget) const
{
    if (element == PE_PanelButtonCommand && option->palette.color(QPalette::Button) == colours::ButtonFace) {
        // The style's panel, edges and cues included; then the face inside
        // the edges in the colour itself, where the style would shade it.
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        const int edge = proxy()->pixelMetric(PM_DefaultFrameWidth, option, widget);
        painter->fillRect(option->rect.adjusted(edge, edge, -edge, -edge), colours::ButtonFace);
        return;
    }
    if (element == PE_IndicatorCheckBox && qobject_cast<const QMenu *>(widget) != nullptr) {
        // A menu item's mark: the check alone, and nothing when unchecked.
        if (option->state & State_On) {
            QStyleOption mark(*option);
            // The menu's check mark takes the highlighted text colour from
            // State_On: only on the highlighted item.
            mark.state = option->state & (State_Enabled | State_Selected);
            if (option->state & State_Selected)
                mark.state |= State_On;
            proxy()->drawPrimitive(PE_IndicatorMenuCheckMark, &mark, painter, widget);
        }
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

QIcon ClassicLookStyle::standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const
{
    if (icon != SP_ToolBarHorizontalExtensionButton && icon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(icon, option, widget);
    // The chevron points the way the text runs: taken from the request now,
    // as its option and widget may be gone when the icon is drawn.
    const Qt::LayoutDirection direction = option != nullptr ? option->direction
                                          : widget != nullptr ? widget->layoutDirection()
                                                              : QGuiApplication::layoutDirection();
    const QPointer<const ClassicLookStyle> style(this);
    return deferredIcon([style, icon, direction] {
        if (style.isNull())
            return QIcon();
        QStyleOption request;
        request.direction = direction;
        return style->baseStyle()->standardIcon(icon, &request, nullptr);
    });
}

} // namespace tekkora
