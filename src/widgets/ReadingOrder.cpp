#include "ReadingOrder.h"

#include "AccessibleFactory.h"

#include <QAccessibleWidget>
#include <QWidget>

#include <algorithm>

namespace tekkora {

namespace {

class ReadingOrderInterface final : public QAccessibleWidget {
public:
    explicit ReadingOrderInterface(QWidget *window)
        : QAccessibleWidget(window, window->inherits("QDialog") ? QAccessible::Dialog : QAccessible::Window)
    {
    }

    int childCount() const override { return int(inReadingOrder(widget()).size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> children = inReadingOrder(widget());
        return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child != nullptr ? int(inReadingOrder(widget()).indexOf(child->object())) : -1;
    }
};

} // namespace

QList<QWidget *> inReadingOrder(const QWidget *window)
{
    QList<QWidget *> controls;
    for (QWidget *child : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow())
            controls.append(child);
    }
    std::stable_sort(controls.begin(), controls.end(),
                     [](const QWidget *a, const QWidget *b) { return a->y() < b->y(); });
    QList<QWidget *> ordered;
    qsizetype rowStart = 0;
    int rowBottom = 0;
    for (qsizetype i = 0; i <= controls.size(); ++i) {
        if (i == controls.size() || (i > rowStart && controls[i]->y() >= rowBottom)) {
            QList<QWidget *> row = controls.mid(rowStart, i - rowStart);
            std::stable_sort(row.begin(), row.end(), [](const QWidget *a, const QWidget *b) { return a->x() < b->x(); });
            ordered += row;
            rowStart = i;
        }
        if (i < controls.size())
            rowBottom = i == rowStart ? controls[i]->geometry().bottom() + 1
                                      : std::max(rowBottom, controls[i]->geometry().bottom() + 1);
    }
    return ordered;
}

void readInReadingOrder(const QMetaObject &windowClass)
{
    setAccessibleInterface(windowClass, [](QObject *object) -> QAccessibleInterface * {
        return new ReadingOrderInterface(static_cast<QWidget *>(object));
    });
}

} // namespace tekkora
