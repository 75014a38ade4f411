#include "ScreenTrace.h"

#include <QApplication>
#include <QHash>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTimer>
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

// Windows as they come and go and take the keys, by their name and title,
// with their captions;
// after each key, the captions it changed and then "trace key", once the key
// has been dealt with (shortcuts included).
class ScreenTrace final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const auto type = event->type();
        if ((type == QEvent::KeyPress || type == QEvent::ShortcutOverride) && !keyPending_) {
            keyPending_ = true;
            QTimer::singleShot(0, this, [this] {
                keyPending_ = false;
                for (QWidget *window : QApplication::topLevelWidgets())
                    if (window->isVisible())
                        captions(window);
                std::printf("trace key\n");
                std::fflush(stdout);
            });
        }
        if ((type != QEvent::Show && type != QEvent::Hide && type != QEvent::Move && type != QEvent::WindowActivate) ||
            !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        if (!widget->isWindow() || widget->windowTitle().isEmpty())
            return false;
        // The window that has the keys now.
        if (type == QEvent::WindowActivate) {
            trace("active", widget, widget->windowTitle());
            return false;
        }
        if (type == QEvent::Move || type == QEvent::Show)
            place(widget);
        if (type == QEvent::Move || event->spontaneous())
            return false;
        trace(type == QEvent::Show ? "show" : "hide", widget, widget->windowTitle());
        if (type == QEvent::Show)
            captions(widget, true);
        return false;
    }

private:
    // Where the window stands on the page's screen: "x,y wxh of WxH".
    static void place(const QWidget *window)
    {
        const QRect frame = window->frameGeometry();
        const QSize screen = window->screen() ? window->screen()->geometry().size() : QSize();
        std::printf("trace place %s %d,%d %dx%d of %dx%d\n", qPrintable(window->objectName()), frame.x(), frame.y(),
                    frame.width(), frame.height(), screen.width(), screen.height());
        std::fflush(stdout);
    }

    // The window's named captions on show: those changed since last told,
    // or all of them. Told by name, as the reader keeps them: two windows'
    // captions of one name (both windows have a Label1) are one to it.
    void captions(const QWidget *window, bool all = false)
    {
        for (const QLabel *label : window->findChildren<QLabel *>()) {
            if (!label->isVisible() || label->objectName().isEmpty())
                continue;
            QString &told = told_[label->objectName()];
            if (all || told != label->text())
                trace("text", label, label->text());
            told = label->text();
        }
    }

    bool keyPending_ = false;
    QHash<QString, QString> told_;
};

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
    if (pageAsksForTrace())
        qApp->installEventFilter(new ScreenTrace(qApp));
}

} // namespace tekkora
