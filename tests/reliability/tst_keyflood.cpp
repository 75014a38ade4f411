// A hundred thousand key presses of every kind, in and between runs, from a
// fixed seed: after each one the window must be in one consistent state,
// idle or running, and the drill's figures must make sense.

#include "support/MainWindowRig.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QRandomGenerator>
#include <QTimer>

using namespace tekkora;
using namespace tekkora::testing;

namespace {

struct KeyPress {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QString describe() const
    {
        return QStringLiteral("key 0x%1 modifiers 0x%2").arg(int(key), 0, 16).arg(int(modifiers), 0, 16);
    }
};

class KeySource {
public:
    explicit KeySource(quint32 seed) : random_(seed) {}

    // inMenus: the menu bar has the keys (after Alt).
    KeyPress next(bool running, std::int16_t target, bool inMenus)
    {
        const int roll = int(random_.bounded(100));
        // A player finding the menus open mostly backs out with Esc.
        if (inMenus && roll < 50)
            return {Qt::Key_Escape, Qt::NoModifier};
        // Runs need right answers to get anywhere, and idle needs Space.
        if (running && roll < 45)
            return {Qt::Key(target), Qt::NoModifier};
        if (!running && roll < 30)
            return {Qt::Key_Space, Qt::NoModifier};
        switch (random_.bounded(9)) {
        case 0: {
            const Qt::Key letter = Qt::Key(Qt::Key_A + int(random_.bounded(26)));
            return {letter, random_.bounded(3) == 0 ? Qt::ShiftModifier : Qt::NoModifier};
        }
        case 1: return {Qt::Key(Qt::Key_0 + int(random_.bounded(10))), Qt::NoModifier};
        case 2: return {Qt::Key(Qt::Key_0 + int(random_.bounded(10))), Qt::KeypadModifier};
        case 3: return {Qt::Key(Qt::Key_F1 + int(random_.bounded(12))), Qt::NoModifier};
        case 4: {
            static constexpr Qt::Key modifiers[] = {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Alt, Qt::Key_Meta};
            return {modifiers[random_.bounded(4)], Qt::NoModifier};
        }
        case 5: return {Qt::Key_Escape, Qt::NoModifier};
        case 6: return {Qt::Key_Space, Qt::NoModifier};
        case 7: {
            // The option shortcuts, and Ctrl with letters that are none.
            static constexpr Qt::Key keys[] = {Qt::Key_E, Qt::Key_N, Qt::Key_A, Qt::Key_O, Qt::Key_K, Qt::Key_X};
            return {keys[random_.bounded(6)], Qt::ControlModifier};
        }
        default: return {Qt::Key(Qt::Key_F5 + int(random_.bounded(4))), Qt::NoModifier};
        }
    }

private:
    QRandomGenerator random_;
};

class Invariants {
public:
    explicit Invariants(MainWindowRig &h) : h_(h), op_(h.form->findChild<QMenu *>(QStringLiteral("op"))) {}

    // Empty when everything holds; otherwise what does not.
    QString check()
    {
        const DrillState &s = h_.state;
        const bool running = h_.running();
        if (h_.button("Command2")->isEnabled() == running || op_->menuAction()->isEnabled() == running)
            return QStringLiteral("Start, Quit and the Options menu disagree about a run");
        if (h_.label("Label2")->isHidden() == running)
            return QStringLiteral("the Esc hint does not follow the run");
        if (h_.label("Label1")->font().pointSize() != (running ? 36 : 12))
            return QStringLiteral("Label1 is %1 points").arg(h_.label("Label1")->font().pointSize());
        if (QString option = checkOptions(); !option.isEmpty())
            return option;

        for (; resultsChecked_ < h_.results.size(); ++resultsChecked_) {
            const DrillState &r = h_.results[resultsChecked_];
            if (r.QuestionCount < 1 || r.MissCount < 0 || r.MissCount > r.QuestionCount || r.Accuracy < 0.0f
                || r.Accuracy > 100.0f)
                return QStringLiteral("results of %1 misses in %2 questions, %3 %")
                    .arg(r.MissCount)
                    .arg(r.QuestionCount)
                    .arg(double(r.Accuracy));
        }

        if (!running) {
            wasRunning_ = false;
            return {};
        }
        if (s.MissCount < 0 || s.MissCount > s.QuestionCount)
            return QStringLiteral("%1 misses at question %2").arg(s.MissCount).arg(s.QuestionCount);
        const QString shown(QChar(char16_t(s.TargetKey)));
        const bool upper = h_.action("omoji")->isChecked();
        if (h_.label("Label1")->text() != (upper ? shown : shown.toLower()))
            return QStringLiteral("Label1 shows %1 for key %2").arg(h_.label("Label1")->text()).arg(s.TargetKey);
        if (wasRunning_ && s.QuestionCount == lastCount_ + 1 && s.TargetKey == lastTarget_)
            return QStringLiteral("question %1 repeats %2").arg(s.QuestionCount).arg(s.TargetKey);
        wasRunning_ = true;
        lastCount_ = s.QuestionCount;
        lastTarget_ = s.TargetKey;
        ++eventsInRuns_;
        return {};
    }

    int eventsInRuns() const { return eventsInRuns_; }

private:
    QString checkOptions() const
    {
        const DrillState &s = h_.state;
        const auto marked = [this](const char *name) { return h_.action(name)->isChecked(); };
        if (marked("al") != (s.CharSet == 1) || marked("num") != (s.CharSet == 2) || marked("all") != (s.CharSet == 3))
            return QStringLiteral("mode marks disagree with character set %1").arg(s.CharSet);
        if (marked("n10") != (s.QuestionLimit == 10) || marked("n30") != (s.QuestionLimit == 30)
            || marked("n50") != (s.QuestionLimit == 50) || marked("n99") != (s.QuestionLimit == 32767))
            return QStringLiteral("count marks disagree with %1 questions").arg(s.QuestionLimit);
        if (marked("omoji") == marked("kmoji"))
            return QStringLiteral("upper and lower case both or neither marked");
        return {};
    }

    MainWindowRig &h_;
    QMenu *op_;
    std::size_t resultsChecked_ = 0;
    bool wasRunning_ = false;
    std::int16_t lastCount_ = 0;
    std::int16_t lastTarget_ = -1;
    int eventsInRuns_ = 0;
};

} // namespace

class TestKeyFlood : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        // Every window of a test, modal ones included, is gone after it.
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void menuBarGivesTheKeysBack_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::newRow("Alt, then Esc") << QList<int>{Qt::Key_Alt, Qt::Key_Escape};
        QTest::newRow("Alt twice") << QList<int>{Qt::Key_Alt, Qt::Key_Alt};
        QTest::newRow("Help menu opened and closed") << QList<int>{Qt::Key_Alt, Qt::Key_H, Qt::Key_Escape,
                                                                   Qt::Key_Escape};
    }
    void menuBarGivesTheKeysBack()
    {
        // During a run Alt hands the keys to the menu bar; leaving the menu
        // bar must hand them back to the drill.
        QFETCH(QList<int>, keys);
        MainWindowRig h;
        QVERIFY(h.showAndActivate());
        h.start();
        h.pressRightKey();
        QCOMPARE(h.state.QuestionCount, std::int16_t(2));
        for (int key : keys)
            h.press(Qt::Key(key));
        QVERIFY(h.running());
        h.pressRightKey();
        QCOMPARE(h.state.QuestionCount, std::int16_t(3));
        h.press(Qt::Key_Escape);
        QVERIFY(!h.running());
        QCOMPARE(h.results.size(), size_t(1));
        QCOMPARE(h.results[0].QuestionCount, std::int16_t(2));
    }

    void everyKeyKeepsTheWindowConsistent()
    {
        MainWindowRig h;
        QVERIFY(h.showAndActivate());
        // Alt gives the menu bar the keys, so the flood may open the about
        // box (Help, then V): it is closed again. Any other modal window
        // would be a run-time error's.
        QStringList modals;
        int aboutBoxes = 0;
        const ModalAnswerer answerer([&modals, &aboutBoxes](QWidget *modal) {
            if (modal->objectName() == QLatin1String("frmAbout"))
                ++aboutBoxes;
            else
                modals << modal->windowTitle() + QLatin1Char(' ') + modal->metaObject()->className();
            modal->close();
        });

        KeySource keys(0x7e6b0a);
        Invariants invariants(h);
        QVERIFY(invariants.check().isEmpty());
        for (int event = 0; event < 100000; ++event) {
            const bool inMenus = QApplication::activePopupWidget() != nullptr
                                 || QApplication::focusWidget() == static_cast<QWidget *>(h.form->menuBar());
            const KeyPress key = keys.next(h.running(), h.state.TargetKey, inMenus);
            // When the about box has gone, the main window gets the keys
            // again, as a window manager would see to.
            if (QGuiApplication::focusWindow() == nullptr && QApplication::activePopupWidget() == nullptr) {
                h.form->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(h.form.get()));
            }
            h.press(key.key, key.modifiers);
            if (const QString broken = invariants.check(); !broken.isEmpty() || !modals.isEmpty())
                QFAIL(qPrintable(QStringLiteral("after event %1 (%2): %3 %4")
                                     .arg(event)
                                     .arg(key.describe(), broken, modals.join(QLatin1Char(',')))));
        }
        qInfo("%d key presses during %zu runs, %d about boxes", invariants.eventsInRuns(), h.results.size(), aboutBoxes);
        // The flood did play: many runs, many questions.
        QVERIFY2(h.results.size() > 500, qPrintable(QString::number(h.results.size())));
        QVERIFY(invariants.eventsInRuns() > 10000);
        QCOMPARE(h.programEnds, 0);
    }
};

QTEST_MAIN(TestKeyFlood)
#include "tst_keyflood.moc"
