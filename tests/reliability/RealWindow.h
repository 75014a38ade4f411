#pragma once

// The main window on fake platform services in a private data directory, as
// the program builds it: the results window is the real one. Modal windows
// that open while a test waits inside them are answered from a timer.

#include "support/FakePlatform.h"

#include "drill/Key.h"
#include "Fonts.h"
#include "Form1.h"
#include "Form2.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace tekkora::testing {

// Polls for the active modal widget and hands each new one to a handler,
// which must close it.
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
};

inline void pressOk(QMessageBox *box)
{
    if (QAbstractButton *ok = box->button(QMessageBox::Ok))
        ok->click();
    else
        box->reject();
}

class RealWindow {
public:
    // settings: the contents of tekora.ini, or empty for no file at all.
    explicit RealWindow(const QByteArray &settings = QByteArray())
        : RealWindow([&settings](RealWindow &window) {
              if (settings.isEmpty())
                  return;
              QFile file(window.settingsPath());
              if (file.open(QIODevice::WriteOnly))
                  file.write(settings);
          })
    {
    }

    // prepare lays out the data directory before the window loads from it.
    explicit RealWindow(const std::function<void(RealWindow &)> &prepare)
    {
        installFontSubstitutions();
        QApplication::setFont(defaultWindowFont());
        prepare(*this);
        create();
    }

    // Builds the window, which loads the settings file.
    void create()
    {
        form = std::make_unique<Form1>(state, fakes.services(dir.path()));
        form->setProgramEnder([this] { ++programEnds; });
    }

    bool showAndActivate()
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        return QTest::qWaitForWindowActive(form.get());
    }

    QString settingsPath() const { return dir.filePath(QStringLiteral("tekora.ini")); }
    QString scorePath() const { return dir.filePath(QStringLiteral("Score.txt")); }

    template <typename T = QWidget>
    T *child(const char *name) const
    {
        return form->findChild<T *>(QLatin1String(name));
    }

    // A key as a person presses it: to whatever holds the focus.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(static_cast<QWidget *>(nullptr), key, modifiers);
    }
    void pressRightKey() { press(Qt::Key(state.TargetKey)); }
    void pressWrongKey() { press(state.TargetKey == 'Q' ? Qt::Key_X : Qt::Key_Q); }

    bool running() const { return !child<QPushButton>("Command1")->isEnabled(); }

    FakePlatform fakes;
    QTemporaryDir dir;
    DrillState state;
    std::unique_ptr<Form1> form;
    int programEnds = 0;
};

// The results windows that exist right now.
inline int liveResultsWindows()
{
    int count = 0;
    for (QWidget *widget : QApplication::allWidgets())
        count += qobject_cast<Form2 *>(widget) != nullptr ? 1 : 0;
    return count;
}

} // namespace tekkora::testing
