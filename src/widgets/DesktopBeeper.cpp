#include "DesktopBeeper.h"

#include "BeepWorker.h"
#include "SystemBeeper.h"

#ifdef TEKKORA_HAVE_CANBERRA
#include "CanberraAlertSound.h"
#endif

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <functional>

namespace tekkora {

namespace {

// The window system's bell, rung on the GUI thread: at once when asked
// there, queued when the worker asks.
void ringWindowSystemBell()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [] { SystemBeeper().beep(); }, Qt::AutoConnection);
}

// Calls its function once, after the window's first expose has been painted.
class FirstFrameWatcher final : public QObject {
public:
    FirstFrameWatcher(QWindow *window, std::function<void()> then)
        : QObject(window)
        , then_(std::move(then))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            // The expose is painted and flushed before the loop runs this.
            QTimer::singleShot(0, this, [this] {
                then_();
                deleteLater();
            });
        }
        return false;
    }

private:
    std::function<void()> then_;
};

} // namespace

DesktopBeeper::DesktopBeeper()
{
#ifdef TEKKORA_HAVE_CANBERRA
    worker_ = std::make_unique<BeepWorker>(std::make_unique<CanberraAlertSound>(), ringWindowSystemBell);
#endif
}

DesktopBeeper::~DesktopBeeper() = default;

void DesktopBeeper::beep()
{
    if (worker_)
        worker_->beep();
    else
        SystemBeeper().beep();
}

void DesktopBeeper::startAfterFirstFrame(QWidget &window)
{
    QWindow *handle = window.windowHandle();
    if (!worker_ || handle == nullptr)
        return; // not shown yet: the first beep starts the worker
    new FirstFrameWatcher(handle, [worker = worker_.get()] { worker->start(); });
}

} // namespace tekkora
