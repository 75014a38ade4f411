#pragma once

// The main window as the program builds it, on fake platform services in a
// private data directory, with the program's end replaced by a counter. The
// results are either recorded (a copy of the drill state each time the
// window would open) or shown in the real results window, which a test then
// answers with a ModalAnswerer.

#include "support/FakePlatform.h"
#include "support/ModalAnswerer.h"

#include "Fonts.h"
#include "Form1.h"
#include "Form2.h"
#include "drill/DrillState.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <vector>

namespace tekkora::testing {

enum class ResultsShown { Recorded, InTheirWindow };

class MainWindowRig {
public:
    // settings: the contents of tekora.ini, or empty for no file at all.
    explicit MainWindowRig(const QByteArray &settings = QByteArray(), ResultsShown shown = ResultsShown::Recorded)
        : MainWindowRig(
              [&settings](MainWindowRig &rig) {
                  if (settings.isEmpty())
                      return;
                  QFile file(rig.settingsPath());
                  if (file.open(QIODevice::WriteOnly))
                      file.write(settings);
              },
              shown)
    {
    }

    // prepare lays out the data directory before the window loads from it.
    MainWindowRig(const std::function<void(MainWindowRig &)> &prepare, ResultsShown shown) : shown_(shown)
    {
        installFontSubstitutions();
        QApplication::setFont(defaultWindowFont());
        prepare(*this);
        build();
    }

    // The window built afresh on the same directory, as the next start of the
    // program would build it.
    void reload()
    {
        form.reset();
        build();
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
    QAction *action(const char *name) const { return child<QAction>(name); }
    QLabel *label(const char *name) const { return child<QLabel>(name); }
    QPushButton *button(const char *name) const { return child<QPushButton>(name); }

    // A key as a person presses it: to whatever holds the focus.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(static_cast<QWidget *>(nullptr), key, modifiers);
    }
    void pressRightKey() { press(Qt::Key(state.TargetKey)); }
    // A letter or digit that is not the one on screen.
    void pressWrongKey() { press(state.TargetKey == 'Q' ? Qt::Key_X : Qt::Key_Q); }
    void start() { press(Qt::Key_Space); }

    bool running() const { return !button("Command1")->isEnabled(); }

private:
    void build()
    {
        form = std::make_unique<Form1>(state, fakes.services(dir.path()));
        if (shown_ == ResultsShown::Recorded) {
            form->setResultsPresenter([this] {
                results.push_back(state);
                if (onResults)
                    onResults();
            });
        }
        form->setProgramEnder([this] { ++programEnds; });
    }

    ResultsShown shown_;

public:
    FakePlatform fakes;
    QTemporaryDir dir;
    DrillState state;
    std::unique_ptr<Form1> form;
    std::vector<DrillState> results; // with recorded results: the state each time they were shown
    std::function<void()> onResults;
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
