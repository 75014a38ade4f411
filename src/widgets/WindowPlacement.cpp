#include "WindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QMargins>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

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

// Places the client area so that the frame around it is centred. The
// client's own position, not the frame's: before the frame is known the
// toolkit would take one for the other.
void centre(QWidget *window)
{
    const QScreen *screen = window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    const QMargins margins = expectedFrame(window);
    const QSize frame = window->size().grownBy(margins);
    const QPoint client(area.x() + (area.width() - frame.width()) / 2 + margins.left(),
                        area.y() + (area.height() - frame.height()) / 2 + margins.top());
    if (window->geometry().topLeft() != client)
        window->setGeometry(QRect(client, window->size()));
}

// Centres the window as it shows, and once more when it is first exposed.
class Centring final : public QObject {
public:
    explicit Centring(QWidget *window) : QObject(window), window_(window) { window->installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window_ && event->type() == QEvent::Show && handle_.isNull()) {
            centre(window_);
            handle_ = window_->windowHandle();
            if (handle_ != nullptr)
                handle_->installEventFilter(this);
        } else if (watched == handle_ && event->type() == QEvent::Expose && handle_->isExposed() && !done_) {
            done_ = true;
            centre(window_);
            window_->removeEventFilter(this);
            handle_->removeEventFilter(this);
        }
        return false;
    }

private:
    QWidget *window_;
    QPointer<QWindow> handle_;
    bool done_ = false;
};

} // namespace

void openCentredOnScreen(QWidget *window)
{
    centre(window);
    new Centring(window);
}

} // namespace tekkora
