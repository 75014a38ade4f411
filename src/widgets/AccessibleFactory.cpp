#include "AccessibleFactory.h"

#include <QAccessible>
#include <QByteArray>

#include <map>

namespace tekkora {

namespace {

std::map<QByteArray, AccessibleMaker> &makers()
{
    static std::map<QByteArray, AccessibleMaker> map;
    return map;
}

// Qt asks with the name of each class of the object in turn, the most
// derived first: the object's own class decides.
QAccessibleInterface *makeInterface(const QString &className, QObject *object)
{
    const auto found = makers().find(className.toLatin1());
    return found != makers().end() ? found->second(object) : nullptr;
}

} // namespace

void setAccessibleInterface(const QMetaObject &ofClass, AccessibleMaker make)
{
    if (makers().empty())
        QAccessible::installFactory(makeInterface);
    makers()[QByteArray(ofClass.className())] = make;
}

} // namespace tekkora
