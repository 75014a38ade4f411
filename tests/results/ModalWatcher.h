#pragma once

// Answers modal windows while a test waits inside their event loop: polls
// for the active modal widget from a timer, records what it saw and lets a
// handler close it.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QList>
#include <QTimer>

#include <functional>

namespace tekkora::testing {

struct SeenMessage {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    int buttonCount;
};

class ModalWatcher {
public:
    // handler is called once for each new modal widget that appears.
    explicit ModalWatcher(std::function<void(QWidget *)> handler) : handler_(std::move(handler))
    {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { poll(); });
        timer_.start(10);
    }

    // Records every message box and presses its OK button.
    static ModalWatcher acceptingMessages(QList<SeenMessage> &seen)
    {
        return ModalWatcher([&seen](QWidget *widget) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            if (box == nullptr)
                return;
            seen.append({box->windowTitle(), box->text(), box->icon(), int(box->buttons().size())});
            if (QAbstractButton *ok = box->button(QMessageBox::Ok))
                ok->click();
            else
                box->reject();
        });
    }

    ModalWatcher(const ModalWatcher &) = delete;
    ModalWatcher &operator=(const ModalWatcher &) = delete;

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible() || handled_.contains(modal))
            return;
        handled_.append(modal);
        // From a fresh timer: the handler may open a modal window of its own,
        // and this timer does not fire again while its slot is still running.
        QTimer::singleShot(0, modal, [this, modal] { handler_(modal); });
    }

    std::function<void(QWidget *)> handler_;
    QTimer timer_;
    QList<QPointer<QWidget>> handled_;
};

} // namespace tekkora::testing
