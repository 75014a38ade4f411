#include "ModalWaits.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

#include <memory>

#include <emscripten.h>

// Qt for WebAssembly waits in exec() by asyncify, one level deep.

namespace tekkora {

namespace {

// Carries out a queued activation now rather than at the page's next
// wake-up, without handling any key or click out of turn.
void activateNow(QWidget *window)
{
    window->activateWindow();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// The page hands a key only to the active window, and Qt's plug-in makes a
// window active only at the page's next wake-up, up to a second after it
// opened: the player's keys meanwhile went nowhere. A window that opens is
// made active as soon as the page's current task has ended. (A window that
// closes gives the keys back in returnKeysTo(), once its wait has returned:
// the page resumes a wait later, and the window below must not have keys
// before the code after the wait has run.)
class KeysFollowWindows : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget->isWindow() && widget->windowType() != Qt::Popup && widget->windowType() != Qt::ToolTip)
                emscripten_async_call(&giveKeys, new QPointer<QWidget>(widget), 0);
        }
        return false;
    }

private:
    static void giveKeys(void *shown)
    {
        const std::unique_ptr<QPointer<QWidget>> window(static_cast<QPointer<QWidget> *>(shown));
        if (!window->isNull() && (*window)->isVisible() && !(*window)->isActiveWindow())
            activateNow(*window);
    }
};

} // namespace

bool nestedModalWaits()
{
    return false;
}

void returnKeysTo(QWidget *owner)
{
    if (owner != nullptr && owner->isVisible() && !owner->isActiveWindow())
        activateNow(owner);
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
