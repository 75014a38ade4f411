#pragma once

// Screen readers learn about a widget from its accessible interface. Where a
// widget of this program is more than Qt's own class of it tells (a label
// that is a button, a window whose figures read in their order), its class
// names the interface that tells the rest.

#include <QAccessibleInterface>

namespace tekkora {

using AccessibleMaker = QAccessibleInterface *(*)(QObject *object);

// Objects of the class get the interface `make` builds, from the next time
// an interface for one is asked for. Call it before the first object of the
// class is made (from its constructor, say): an object's interface is made
// once, the first time a screen reader or Qt asks.
void setAccessibleInterface(const QMetaObject &ofClass, AccessibleMaker make);

} // namespace tekkora
