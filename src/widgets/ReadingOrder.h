#pragma once

// A window's controls in the order a reader takes them in: in rows from the
// top, each row from the left. A window made in its defining order (which
// is its stacking order) would otherwise be walked by screen readers in
// that order, its figures before their captions and the button first.

#include <QList>

class QMetaObject;
class QWidget;

namespace tekkora {

// The window's own controls, in reading order: a control whose top lies
// above the bottom of the row so far joins that row.
QList<QWidget *> inReadingOrder(const QWidget *window);

// Screen readers walk the windows of the class in reading order. Call it
// before the first of them is shown.
void readInReadingOrder(const QMetaObject &windowClass);

} // namespace tekkora
