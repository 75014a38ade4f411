#include "FigurePanel.h"

#include "AccessibleFactory.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace tekkora {

FigurePanel::FigurePanel(const QString &title, QWidget *parent) : QWidget(parent)
{
    static const bool provided = (setAccessibleInterface(staticMetaObject, [](QObject *object) -> QAccessibleInterface * {
                                      return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Grouping);
                                  }),
                                  true);
    Q_UNUSED(provided);
    setAccessibleName(title);
    setFocusPolicy(Qt::TabFocus);
}

void FigurePanel::paintEvent(QPaintEvent *)
{
    if (!hasFocus())
        return;
    QPainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
}

} // namespace tekkora
