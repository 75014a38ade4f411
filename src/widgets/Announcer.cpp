#include "Announcer.h"

#include "AccessibleFactory.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace tekkora {

// The notification: a class of its own, for an accessible interface of its
// own.
class AnnouncerNotice final : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

namespace {

class NoticeInterface final : public QAccessibleWidget {
public:
    explicit NoticeInterface(QWidget *notice) : QAccessibleWidget(notice, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<const Announcer *>(widget()->parentWidget())->text();
        return QAccessibleWidget::text(t);
    }
};

} // namespace

Announcer::Announcer(QWidget *window) : QWidget(window)
{
    static const bool provided = [] {
        setAccessibleInterface(staticMetaObject, [](QObject *object) -> QAccessibleInterface * {
            return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::StatusBar);
        });
        setAccessibleInterface(AnnouncerNotice::staticMetaObject, [](QObject *object) -> QAccessibleInterface * {
            return new NoticeInterface(static_cast<QWidget *>(object));
        });
        return true;
    }();
    Q_UNUSED(provided);
    setObjectName(QStringLiteral("announcer"));
    notice_ = new AnnouncerNotice(this);
    hide();
}

void Announcer::announce(const QString &text)
{
    if (!QAccessible::isActive() || !window()->isVisible())
        return;
    text_ = text;
    QAccessibleEvent appeared(notice_, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&appeared);
}

} // namespace tekkora

#include "Announcer.moc"
