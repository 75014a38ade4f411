#include "ScreenTrace.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QUrlQuery>
#include <QWidget>

#include <emscripten/val.h>

#include <cstdio>

namespace tekkora {

namespace {

void trace(const char *what, const QObject *object, const QString &text)
{
    std::printf("trace %s %s %s\n", what, qPrintable(object->objectName()), qPrintable(text));
    std::fflush(stdout);
}

// Windows as they come and go, by their name and title, with their captions.
class WindowTrace final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const auto type = event->type();
        if ((type == QEvent::Show || type == QEvent::Hide) && watched->isWidgetType()) {
            const auto *widget = static_cast<QWidget *>(watched);
            if (!widget->isWindow() || widget->windowTitle().isEmpty() || event->spontaneous())
                return false;
            trace(type == QEvent::Show ? "show" : "hide", widget, widget->windowTitle());
            // What the window shows as it opens: its captions.
            if (type == QEvent::Show)
                for (const QLabel *label : widget->findChildren<QLabel *>())
                    if (label->isVisible() && !label->objectName().isEmpty())
                        trace("text", label, label->text());
        }
        return false;
    }
};

// Captions as they change and what is said aloud (after each key of a run,
// the question on show): the trace listens where a screen reader does.
void accessibleChange(QAccessibleEvent *event)
{
    if (event->type() == QAccessible::NameChanged) {
        if (const auto *label = qobject_cast<const QLabel *>(event->object()); label != nullptr && label->isVisible())
            trace("text", label, label->text());
    } else if (event->type() == QAccessible::ObjectShow) {
        if (QAccessibleInterface *said = event->accessibleInterface(); said != nullptr && said->role() == QAccessible::Notification)
            trace("say", event->object(), said->text(QAccessible::Name));
    }
}

bool pageAsksForTrace()
{
    const emscripten::val location = emscripten::val::global("location");
    if (location.isUndefined())
        return false;
    const QString search = QString::fromStdString(location["search"].as<std::string>());
    return QUrlQuery(search.mid(1)).hasQueryItem(QStringLiteral("trace"));
}

} // namespace

void startScreenTraceIfAsked()
{
    if (!pageAsksForTrace())
        return;
    qApp->installEventFilter(new WindowTrace(qApp));
    QAccessible::installUpdateHandler(accessibleChange);
    QAccessible::setActive(true);
}

} // namespace tekkora
