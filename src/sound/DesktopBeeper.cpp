#include "DesktopBeeper.h"

#include "BeepWorker.h"
#include "DesktopAlertSound.h"
#include "SystemBeeper.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

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

} // namespace

// Calls its function once, at the first key press or mouse click the
// application gets, then leaves the application's events alone.
class FirstInputWatcher final : public QObject {
public:
    explicit FirstInputWatcher(std::function<void()> then)
        : then_(std::move(then))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress) {
            QCoreApplication::instance()->removeEventFilter(this);
            then_();
        }
        return false;
    }

private:
    std::function<void()> then_;
};

DesktopBeeper::DesktopBeeper()
    : worker_(std::make_unique<BeepWorker>(makeDesktopAlertSound(), ringWindowSystemBell))
{
    graceCheck_.setSingleShot(true);
    QObject::connect(&graceCheck_, &QTimer::timeout, [this] { checkGrace(); });
}

// The watcher goes first: it must not start a worker that is gone.
DesktopBeeper::~DesktopBeeper()
{
    firstInput_.reset();
}

void DesktopBeeper::beep()
{
    worker_->beep();
    // A key that comes while the worker is still connecting (a slow or
    // absent server) gets the bell once the grace time is up. One timer
    // looks after every waiting key: a key press allocates nothing, and a
    // burst of keys leaves one timer, not one per key.
    if (!graceCheck_.isActive() && QCoreApplication::instance() != nullptr)
        graceCheck_.start(BeepWorker::Timing{}.grace + GraceMargin);
}

void DesktopBeeper::checkGrace()
{
    if (const std::optional<std::chrono::milliseconds> again = worker_->answerIfStillWaiting())
        graceCheck_.start(*again + GraceMargin);
}

void DesktopBeeper::startAtFirstInput()
{
    if (QCoreApplication::instance() != nullptr && !firstInput_)
        firstInput_ = std::make_unique<FirstInputWatcher>([worker = worker_.get()] { worker->start(); });
}

} // namespace tekkora
