// A run played through real key events in the real main window, on fake
// ticks, beeps and random numbers.

#include "support/MainWindowRig.h"

#include <QSignalSpy>

#include <cmath>
#include <map>

using namespace tekkora;
using namespace tekkora::testing;

namespace {
QByteArray settings(const char *mode, const char *num, const char *cap = "1")
{
    return QByteArray("[Data]\r\nMode=") + mode + "\r\nNum=" + num + "\r\nCap=" + cap + "\r\n";
}

double centreOf(const QLabel *label)
{
    return label->geometry().x() + label->geometry().width() / 2.0;
}
} // namespace

class TestForm1RunFlow : public QObject {
    Q_OBJECT
private slots:
    void cleanRunOfTen()
    {
        MainWindowRig h(settings("1", "10"));
        QVERIFY(h.showAndActivate());
        h.start();
        QVERIFY(h.running());
        for (int i = 0; i < 10; ++i)
            h.pressRightKey();
        QCOMPARE(h.results.size(), size_t(1));
        QCOMPARE(h.results[0].QuestionCount, std::int16_t(10));
        QCOMPARE(h.results[0].MissCount, std::int16_t(0));
        QCOMPARE(h.results[0].Accuracy, 100.0f);
        QCOMPARE(h.fakes.beeper.count, 1); // the end of the run
        QVERIFY(!h.running());
        QCOMPARE(h.label("Label1")->font().pointSize(), 12);
        QCOMPARE(h.label("Label1")->text(), QStringLiteral("\nPush the Space Bar !"));
        QCOMPARE(QApplication::focusWidget(), h.button("Command1"));
    }

    void wrongKeysCountOncePerQuestion()
    {
        MainWindowRig h(settings("1", "10"));
        QVERIFY(h.showAndActivate());
        h.start();
        QCOMPARE(h.state.QuestionCount, std::int16_t(1));
        h.pressWrongKey();
        QCOMPARE(h.state.MissCount, std::int16_t(1));
        QCOMPARE(h.state.MissedFlag, std::int16_t(1));
        h.pressWrongKey();
        QCOMPARE(h.state.MissCount, std::int16_t(1));
        QCOMPARE(h.fakes.beeper.count, 2);
        h.pressRightKey();
        QCOMPARE(h.state.QuestionCount, std::int16_t(2));
        QCOMPARE(h.state.MissedFlag, std::int16_t(0));
        for (int i = 0; i < 9; ++i)
            h.pressRightKey();
        QCOMPARE(h.results.size(), size_t(1));
        QCOMPARE(h.results[0].QuestionCount, std::int16_t(10));
        QCOMPARE(h.results[0].MissCount, std::int16_t(1));
        QCOMPARE(h.results[0].Accuracy, 90.0f);
    }

    void missOnTheLastQuestionCounts()
    {
        MainWindowRig h(settings("2", "10"));
        QVERIFY(h.showAndActivate());
        h.start();
        for (int i = 0; i < 9; ++i)
            h.pressRightKey();
        h.pressWrongKey();
        h.pressRightKey();
        QCOMPARE(h.results.size(), size_t(1));
        QCOMPARE(h.results[0].MissCount, std::int16_t(1));
        QCOMPARE(h.results[0].Accuracy, 90.0f);
    }

    void escapeOnTheFirstQuestionShowsNothing()
    {
        MainWindowRig h(settings("1", "30"));
        QVERIFY(h.showAndActivate());
        h.start();
        h.press(Qt::Key_Escape);
        QVERIFY(h.results.empty());
        QCOMPARE(h.fakes.beeper.count, 0);
        QCOMPARE(h.state.QuestionCount, std::int16_t(0));
        QVERIFY(!h.running());
        QVERIFY(h.label("Label2")->isHidden());
    }

    void escapeDropsTheUnansweredQuestionAndItsMiss()
    {
        MainWindowRig h(settings("1", "30"));
        QVERIFY(h.showAndActivate());
        h.start();
        for (int i = 0; i < 3; ++i) {
            h.fakes.ticks.advance(400);
            h.pressRightKey();
        }
        h.pressWrongKey();
        h.fakes.ticks.advance(900);
        h.press(Qt::Key_Escape);
        QCOMPARE(h.results.size(), size_t(1));
        QCOMPARE(h.results[0].QuestionCount, std::int16_t(3));
        QCOMPARE(h.results[0].MissCount, std::int16_t(0));
        QCOMPARE(h.results[0].Accuracy, 100.0f);
        // Time spent on the unanswered question counts.
        QCOMPARE(h.results[0].ElapsedSeconds, 2.1);
    }

    void elapsedTimeAcrossTickWraps_data()
    {
        QTest::addColumn<quint32>("startTick");
        QTest::newRow("unsigned wrap") << quint32(0xFFFFFF00u);
        QTest::newRow("signed wrap") << quint32(0x7FFFFF00u);
    }
    void elapsedTimeAcrossTickWraps()
    {
        QFETCH(quint32, startTick);
        MainWindowRig h(settings("1", "10"));
        QVERIFY(h.showAndActivate());
        h.fakes.ticks.now = startTick;
        h.start();
        for (int i = 0; i < 10; ++i) {
            h.fakes.ticks.advance(500);
            h.pressRightKey();
        }
        QCOMPARE(h.results.size(), size_t(1));
        QCOMPARE(h.results[0].ElapsedSeconds, 5.0);
    }

    void nonAnswerKeysAreWrong_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("beeps");
        QTest::newRow("shift alone") << int(Qt::Key_Shift) << 0 << 1;
        QTest::newRow("ctrl alone") << int(Qt::Key_Control) << 0 << 1;
        QTest::newRow("alt alone") << int(Qt::Key_Alt) << 0 << 1;
        QTest::newRow("space") << int(Qt::Key_Space) << 0 << 1;
        QTest::newRow("enter") << int(Qt::Key_Return) << 0 << 1;
        QTest::newRow("tab") << int(Qt::Key_Tab) << 0 << 1;
        QTest::newRow("function key") << int(Qt::Key_F2) << 0 << 1;
        // Ctrl, then E: two wrong keys, one miss.
        QTest::newRow("options shortcut during a run") << int(Qt::Key_E) << int(Qt::ControlModifier) << 2;
        QTest::newRow("count shortcut during a run") << int(Qt::Key_F5) << 0 << 1;
        QTest::newRow("start's access key during a run") << int(Qt::Key_S) << int(Qt::AltModifier) << 2;
        QTest::newRow("help menu's access key during a run") << int(Qt::Key_H) << int(Qt::AltModifier) << 2;
    }
    void nonAnswerKeysAreWrong()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, beeps);
        MainWindowRig h(settings("2", "10"));
        QVERIFY(h.showAndActivate());
        h.start();
        h.press(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(h.fakes.beeper.count, beeps);
        QCOMPARE(h.state.MissCount, std::int16_t(1));
        QVERIFY(h.running());
        // No option changed behind the run's back.
        QCOMPARE(h.state.CharSet, std::uint8_t(2));
        QCOMPARE(h.state.QuestionLimit, std::int16_t(10));
    }

    void keypadDigitsNeverAnswer()
    {
        MainWindowRig h(settings("2", "50"));
        QVERIFY(h.showAndActivate());
        h.start();
        for (int i = 0; i < 20; ++i) {
            const int digit = h.state.TargetKey - '0';
            QVERIFY(digit >= 0 && digit <= 9);
            const std::int16_t before = h.state.QuestionCount;
            h.press(Qt::Key(Qt::Key_0 + digit), Qt::KeypadModifier);
            QCOMPARE(h.state.QuestionCount, before);
            h.pressRightKey();
        }
        QCOMPARE(h.fakes.beeper.count, 20);
        QCOMPARE(h.state.MissCount, std::int16_t(20));
    }

    void lowerCaseDisplayIsAnsweredByTheSameKeys()
    {
        MainWindowRig h(settings("1", "10", "0"));
        QVERIFY(h.showAndActivate());
        h.fakes.random.script = {0.0f};
        h.start();
        QCOMPARE(h.label("Label1")->text(), QStringLiteral("a"));
        for (int i = 0; i < 10; ++i) {
            const QString shown = h.label("Label1")->text();
            QCOMPARE(shown, shown.toLower());
            h.pressRightKey();
        }
        QCOMPARE(h.results.size(), size_t(1));
        QCOMPARE(h.results[0].MissCount, std::int16_t(0));
    }

    void scriptedDrawsPickTheRightEntries_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<float>("r");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letters, lowest") << QByteArray("1") << 0.0f << QStringLiteral("A");
        QTest::newRow("letters, highest") << QByteArray("1") << 0.99999994f << QStringLiteral("Z");
        QTest::newRow("digits, lowest") << QByteArray("2") << 0.0f << QStringLiteral("0");
        QTest::newRow("digits, highest") << QByteArray("2") << 0.99999994f << QStringLiteral("9");
        QTest::newRow("all, first entry") << QByteArray("3") << 0.0f << QStringLiteral("A");
        QTest::newRow("all, last filled entry") << QByteArray("3") << 0.99999994f << QStringLiteral("9");
        QTest::newRow("all, first digit") << QByteArray("3") << 26.0f / 36.0f << QStringLiteral("0");
    }
    void scriptedDrawsPickTheRightEntries()
    {
        QFETCH(QByteArray, mode);
        QFETCH(float, r);
        QFETCH(QString, shown);
        MainWindowRig h(settings(mode.constData(), "10"));
        QVERIFY(h.showAndActivate());
        h.fakes.random.script = {r};
        h.start();
        QCOMPARE(h.label("Label1")->text(), shown);
        QCOMPARE(h.fakes.random.reseeds, 1);
    }

    void repeatedDrawIsDrawnAgain()
    {
        MainWindowRig h(settings("1", "10"));
        QVERIFY(h.showAndActivate());
        // B, then B again (refused), then C.
        h.fakes.random.script = {1.5f / 26, 1.5f / 26, 1.5f / 26, 2.5f / 26};
        h.start();
        QCOMPARE(h.label("Label1")->text(), QStringLiteral("B"));
        h.pressRightKey();
        QCOMPARE(h.label("Label1")->text(), QStringLiteral("C"));
        QCOMPARE(h.fakes.random.reseeds, 2); // once per question, not per draw
    }

    void drawsNeverRepeatAndSpreadEvenly_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QString>("alphabet");
        QTest::newRow("letters") << QByteArray("1") << QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        QTest::newRow("digits") << QByteArray("2") << QStringLiteral("0123456789");
        QTest::newRow("all") << QByteArray("3") << QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    }
    void drawsNeverRepeatAndSpreadEvenly()
    {
        QFETCH(QByteArray, mode);
        QFETCH(QString, alphabet);
        MainWindowRig h(settings(mode.constData(), "32767"));
        QVERIFY(h.showAndActivate());
        h.start();
        const int perCharacter = 100;
        const int draws = perCharacter * int(alphabet.size());
        std::map<QChar, int> seen;
        QString previous;
        for (int i = 0; i < draws; ++i) {
            const QString shown = h.label("Label1")->text();
            QCOMPARE(shown.size(), 1);
            QVERIFY2(alphabet.contains(shown), qPrintable(shown));
            QVERIFY(shown != previous);
            ++seen[shown[0]];
            previous = shown;
            h.pressRightKey();
        }
        double chiSquare = 0;
        for (QChar c : alphabet) {
            const double diff = seen[c] - perCharacter;
            chiSquare += diff * diff / perCharacter;
        }
        // Far beyond any fair sample (about 8 standard deviations), yet a
        // character that is never or rarely drawn fails at once.
        const double df = alphabet.size() - 1;
        QVERIFY2(chiSquare < df + 8 * std::sqrt(2 * df), qPrintable(QString::number(chiSquare)));
    }

    void limitOfZeroReturnsToIdleAtOnce()
    {
        MainWindowRig h(settings("1", "0"));
        QVERIFY(h.showAndActivate());
        h.start();
        QVERIFY(!h.running());
        QVERIFY(h.results.empty());
        QCOMPARE(h.fakes.random.draws, 0);
    }

    void negativeLimitIssuesNothingUntilEscape()
    {
        MainWindowRig h(settings("1", "-5"));
        QVERIFY(h.showAndActivate());
        QCOMPARE(h.label("lblNum")->text(), QStringLiteral("-5回"));
        h.start();
        QVERIFY(h.running());
        QCOMPARE(h.fakes.random.draws, 0);
        h.press(Qt::Key_Escape);
        QVERIFY(!h.running());
        QVERIFY(h.results.empty());
    }

    void controlsShowIdleAndRunning()
    {
        MainWindowRig h(settings("1", "30"));
        QVERIFY(h.showAndActivate());
        auto idle = [&] {
            QVERIFY(h.button("Command1")->isEnabled());
            QVERIFY(h.button("Command2")->isEnabled());
            QVERIFY(h.child<QMenu>("op")->menuAction()->isEnabled());
            QVERIFY(h.label("Label2")->isHidden());
            QCOMPARE(h.label("Label1")->font().pointSize(), 12);
            QCOMPARE(h.label("Label1")->text(), QStringLiteral("\nPush the Space Bar !"));
            QCOMPARE(h.label("lblMode")->text(), QStringLiteral("英字"));
            QCOMPARE(h.label("lblNum")->text(), QStringLiteral("30回"));
            QCOMPARE(h.state.LastKey, std::int16_t(-1));
        };
        idle();
        h.start();
        QVERIFY(!h.button("Command1")->isEnabled());
        QVERIFY(!h.button("Command2")->isEnabled());
        QVERIFY(!h.child<QMenu>("op")->menuAction()->isEnabled());
        QVERIFY(h.label("Label2")->isVisible());
        QCOMPARE(h.label("Label1")->font().pointSize(), 36);
        QCOMPARE(h.state.LastKey, h.state.TargetKey);
        // The option labels rest during a run.
        QTest::mouseClick(h.label("lblNum"), Qt::LeftButton);
        QTest::mouseClick(h.label("lblMode"), Qt::LeftButton);
        QVERIFY(h.running());
        QCOMPARE(h.state.QuestionLimit, std::int16_t(30));
        QCOMPARE(h.state.CharSet, std::uint8_t(1));
        h.press(Qt::Key_Escape);
        idle();
    }

    void label1KeepsItsCentre_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<float>("r");
        QTest::newRow("W") << QByteArray("1") << 22.5f / 26;
        QTest::newRow("1") << QByteArray("2") << 1.5f / 10;
        QTest::newRow("I") << QByteArray("1") << 8.5f / 26;
    }
    void label1KeepsItsCentre()
    {
        QFETCH(QByteArray, mode);
        QFETCH(float, r);
        MainWindowRig h(settings(mode.constData(), "10"));
        QVERIFY(h.showAndActivate());
        const QLabel *label1 = h.label("Label1");
        const double centre = (1140 + 127.5) / 15;
        QVERIFY(std::abs(centreOf(label1) - centre) <= 1.0);
        QCOMPARE(label1->y(), 24);
        h.fakes.random.script = {r};
        h.start();
        QVERIFY(std::abs(centreOf(label1) - centre) <= 1.0);
        QCOMPARE(label1->y(), 24);
        // The idle prompt stays inside the window.
        h.press(Qt::Key_Escape);
        QVERIFY(label1->x() >= 0);
        QVERIFY(label1->geometry().right() < label1->parentWidget()->width());
    }

    void spaceAfterARunStartsTheNextOne()
    {
        MainWindowRig h(settings("1", "10"));
        QVERIFY(h.showAndActivate());
        h.start();
        for (int i = 0; i < 10; ++i)
            h.pressRightKey();
        QVERIFY(!h.running());
        const int beeps = h.fakes.beeper.count;
        h.start();
        QVERIFY(h.running());
        QCOMPARE(h.state.MissCount, std::int16_t(0));
        QCOMPARE(h.fakes.beeper.count, beeps);
    }
};

QTEST_MAIN(TestForm1RunFlow)
#include "tst_form1runflow.moc"
