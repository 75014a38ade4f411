#include "ModalWaits.h"

#include <QApplication>
#include <QWidget>

#include <emscripten.h>

// Qt for WebAssembly waits in exec() by asyncify, one level deep.

namespace tekkora {

namespace {

// The window that should have the keys: the modal one on top, else the
// program's own window.
QWidget *windowForKeys()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowType() != Qt::Popup && window->windowType() != Qt::ToolTip)
            return window;
    }
    return nullptr;
}

// The page hands a key only to the active window, and Qt's plug-in makes a
// window active only at the page's next wake-up, up to a second after a box
// opens or the window over the drill closes: the player's keys meanwhile
// went nowhere. Here the right window is made active as soon as the page's
// current task has ended, before any later key.
class KeysFollowWindows : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Show || type == QEvent::Hide) && watched->isWidgetType()) {
            const auto *widget = static_cast<QWidget *>(watched);
            if (widget->isWindow() && widget->windowType() != Qt::Popup && widget->windowType() != Qt::ToolTip)
                emscripten_async_call(&giveKeys, nullptr, 0);
        }
        return false;
    }

private:
    static void giveKeys(void *)
    {
        QWidget *window = windowForKeys();
        if (window == nullptr || window->isActiveWindow())
            return;
        window->activateWindow();
        // The activation is queued; carried out now, not at the next wake-up.
        QCoreApplication::processEvents();
    }
};

} // namespace

bool nestedModalWaits()
{
    return false;
}

void settleStartUp()
{
    // From the page's own timer, outside any Qt event, where an explicit
    // request delivers what was queued at the loop's own level.
    emscripten_async_call([](void *) { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }, nullptr, 0);
    static KeysFollowWindows keysFollowWindows;
    qApp->installEventFilter(&keysFollowWindows);
}

} // namespace tekkora
