#include "ClassicLook.h"

#include "Palette.h"

#include <QMenu>
#include <QPainter>
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

} // namespace tekkora
