#pragma once

// One main window on fake platform services, in a private data directory,
// with the results window replaced by a recorder and the program's end by a
// counter.

#include "support/FakePlatform.h"

#include "drill/Key.h"
#include "Fonts.h"
#include "Form1.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

namespace tekkora::testing {

class Form1Harness {
public:
    // settings: the contents of tekora.ini, or empty for no file at all.
    explicit Form1Harness(const QByteArray &settings = QByteArray())
    {
        installFontSubstitutions();
        QApplication::setFont(defaultWindowFont());
        if (!settings.isEmpty()) {
            QFile file(dir.filePath(QStringLiteral("tekora.ini")));
            if (file.open(QIODevice::WriteOnly))
                file.write(settings);
        }
        form = std::make_unique<Form1>(state, fakes.services(dir.path()));
        form->setResultsPresenter([this] {
            results.push_back(state);
            if (onResults)
                onResults();
        });
        form->setProgramEnder([this] { ++programEnds; });
    }

    bool showAndActivate()
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        return QTest::qWaitForWindowActive(form.get());
    }

    template <typename T = QWidget>
    T *child(const char *name) const
    {
        return form->findChild<T *>(QLatin1String(name));
    }
    QAction *action(const char *name) const { return form->findChild<QAction *>(QLatin1String(name)); }
    QLabel *label(const char *name) const { return child<QLabel>(name); }
    QPushButton *button(const char *name) const { return child<QPushButton>(name); }

    // A key as a person presses it: to whatever holds the focus.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(static_cast<QWidget *>(nullptr), key, modifiers);
    }
    void pressRightKey() { press(Qt::Key(state.TargetKey)); }
    void pressWrongKey()
    {
        // A letter or digit that is not the one on screen.
        const int wrong = state.TargetKey == 'Q' ? 'X' : 'Q';
        press(Qt::Key(wrong));
    }
    void start() { press(Qt::Key_Space); }

    bool running() const { return !button("Command1")->isEnabled(); }

    FakePlatform fakes;
    QTemporaryDir dir;
    DrillState state;
    std::unique_ptr<Form1> form;
    std::vector<DrillState> results; // the state each time the results were shown
    std::function<void()> onResults;
    int programEnds = 0;
};

} // namespace tekkora::testing
