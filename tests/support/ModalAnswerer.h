#pragma once

// Answers modal windows while a test waits inside their event loop: polls
// for the active modal widget from a timer and hands each new one, once, to
// a handler, which must close it.

#include <QAbstractButton>
#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

namespace tekkora::testing {

class ModalAnswerer {
public:
    explicit ModalAnswerer(std::function<void(QWidget *)> handler) : handler_(std::move(handler))
    {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { poll(); });
        timer_.start(0);
    }
    ModalAnswerer(const ModalAnswerer &) = delete;
    ModalAnswerer &operator=(const ModalAnswerer &) = delete;

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        // A window stays modal while the boxes it opened are answered, and a
        // closed one can stay on top until its exec() returns: answer each
        // window once.
        if (modal == nullptr || !modal->isVisible() || answered_.contains(modal))
            return;
        answered_.removeAll(nullptr);
        answered_.append(modal);
        // Answered from the modal's own event loop, not from inside this
        // timer: closing it may open the next modal, which needs the timer.
        QTimer::singleShot(0, modal, [this, modal] { handler_(modal); });
    }

    std::function<void(QWidget *)> handler_;
    QTimer timer_;
    QList<QPointer<QWidget>> answered_;
};

// What a person sees of one message box.
struct SeenMessage {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttonCount = 0;

    static SeenMessage of(const QMessageBox *box)
    {
        return {box->windowTitle(), box->text(), box->icon(), int(box->buttons().size())};
    }
};

inline void pressOk(QMessageBox *box)
{
    if (QAbstractButton *ok = box->button(QMessageBox::Ok))
        ok->click();
    else
        box->reject();
}

// Records every message box and presses its OK button; any other modal
// window is closed and recorded by its class name as the title.
inline std::unique_ptr<ModalAnswerer> answerMessages(QList<SeenMessage> &seen)
{
    return std::make_unique<ModalAnswerer>([&seen](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            seen.append(SeenMessage::of(box));
            pressOk(box);
        } else {
            seen.append({QStringLiteral("unexpected ") + modal->metaObject()->className(), {}, {}, 0});
            modal->close();
        }
    });
}

} // namespace tekkora::testing
