#include "WindowPlacement.h"

#include "WindowFrames.h"

#include <QApplication>
#include <QEvent>
#include <QMargins>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <functional>

namespace tekkora {

namespace {

QMargins frameMargins(const QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

// The window's own frame when the toolkit knows it, else the frame of
// another visible window of the program, else none.
QMargins expectedFrame(const QWidget *window)
{
    if (const QMargins own = frameMargins(window); !own.isNull())
        return own;
    for (const QWidget *other : QApplication::topLevelWidgets())
        if (other != window && other->isVisible() && !other->isMinimized())
            if (const QMargins margins = frameMargins(other); !margins.isNull())
                return margins;
    return {};
}

QRect workArea(const QWidget *window)
{
    const QScreen *screen = window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

// Places the client area so that the frame around it lies at `frame`. The
// client's own geometry, not the frame's: before the frame is known the
// toolkit would take one for the other.
void placeFrame(QWidget *window, const QRect &frame, const QMargins &margins)
{
    const QRect client = frame.marginsRemoved(margins);
    if (window->geometry() != client)
        window->setGeometry(client);
}

void centre(QWidget *window)
{
    const QRect area = workArea(window);
    if (area.isEmpty())
        return;
    const QMargins margins = expectedFrame(window);
    const QSize frame = window->size().grownBy(margins);
    placeFrame(window,
               QRect(QPoint(area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2),
                     frame),
               margins);
}

// Beside `other` where the work area has room, else centred.
void placeBeside(QWidget *window, const QRect &other, const QSize &largest)
{
    const QMargins margins = expectedFrame(window);
    const int leastWidth = std::max(window->minimumSizeHint().width(), window->minimumWidth()) + margins.left()
                           + margins.right();
    const std::optional<QRect> frame = frameBeside(largest.grownBy(margins), leastWidth, other, workArea(window));
    if (frame) {
        placeFrame(window, *frame, margins);
    } else {
        window->resize(largest);
        centre(window);
    }
}

// Places the window as it shows, and, where its frame is known only then
// (WindowFrames.h), once more when it is first exposed.
class Placing final : public QObject {
public:
    Placing(QWidget *window, std::function<void(QWidget *)> place)
        : QObject(window), window_(window), place_(std::move(place))
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window_ && event->type() == QEvent::Show && handle_.isNull()) {
            place_(window_);
            if (framesKnownWhenShown()) {
                done_ = true;
                window_->removeEventFilter(this);
                return false;
            }
            handle_ = window_->windowHandle();
            if (handle_ != nullptr)
                handle_->installEventFilter(this);
        } else if (watched == handle_ && event->type() == QEvent::Expose && handle_->isExposed() && !done_) {
            done_ = true;
            place_(window_);
            window_->removeEventFilter(this);
            handle_->removeEventFilter(this);
        }
        return false;
    }

private:
    QWidget *window_;
    std::function<void(QWidget *)> place_;
    QPointer<QWindow> handle_;
    bool done_ = false;
};

} // namespace

std::optional<QRect> frameBeside(const QSize &frame, int leastWidth, const QRect &other, const QRect &area)
{
    const int right = area.x() + area.width() - (other.x() + other.width());
    const int left = other.x() - area.x();
    const int width = std::min(frame.width(), std::max(right, left));
    if (width < leastWidth)
        return std::nullopt;
    const int x = right >= width ? other.x() + other.width() : other.x() - width;
    const int height = std::min(frame.height(), area.height());
    const int y = std::clamp(other.y(), area.y(), area.y() + area.height() - height);
    return QRect(x, y, width, height);
}

void openCentredOnScreen(QWidget *window)
{
    centre(window);
    new Placing(window, centre);
}

void openBeside(QWidget *window, const QRect &other)
{
    const QSize largest = window->size();
    const auto place = [other, largest](QWidget *placed) { placeBeside(placed, other, largest); };
    place(window);
    new Placing(window, place);
}

} // namespace tekkora
