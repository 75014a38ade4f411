// The beep of the real program as a player hears it, under Xvfb with raw
// keys: with a sound server (a private PulseAudio whose null sink is
// recorded), each wrong key of a digits run gives a sound of its own that
// starts within 50 ms of its key, and the end of the run one more, and the
// X bell stays silent; with no sound server the same run rings the X bell
// once for each of those instead.
//
// The test cannot read the digit on screen, so it tries digit keys until one
// is taken: a wrong key beeps and draws nothing, the right one draws the
// next question. Those misses and five keypad digits (never an answer) are
// the run's wrong keys; Esc after the first answer ends the run.

#include "PulseSession.h"
#include "X11Session.h"

#ifdef TEKKORA_HAVE_MONITOR_RECORDER
#include "MonitorRecorder.h"
#endif

#include <QFile>
#include <QTest>

#include <chrono>
#include <functional>
#include <memory>

using namespace tekkora::testing;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

const QString MainTitle = QStringLiteral("Tekkora!");
const QString ResultsTitle = QStringLiteral("結果");
constexpr int KeypadWrongKeys = 5;
// How long the program may take to answer a key; generous, for the
// sanitizer build on a loaded machine.
constexpr int AnswerMs = 15000;
constexpr auto HeardWithin = milliseconds(50);
// The recorder maps the sink's blocks to the time it rendered them, which may
// be up to a block ahead of when it plays them.
constexpr auto RenderedAhead = milliseconds(10);

bool writeSettings(const QString &directory, const QByteArray &text)
{
    QFile file(directory + QStringLiteral("/tekora.ini"));
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

} // namespace

class TestBeeps : public QObject {
    Q_OBJECT
private slots:
    void wrongKeysAndTheEndOfARun_data()
    {
        QTest::addColumn<bool>("soundServer");
        QTest::newRow("sound server") << true;
        QTest::newRow("no sound server: the X bell") << false;
    }

    void wrongKeysAndTheEndOfARun()
    {
        QFETCH(bool, soundServer);
        X11Session x;
        TEKKORA_START_X11(x);
        PulseSession pulse;
        std::function<int()> heard = [&x] { return x.bellCount(); };
        std::function<bool()> quiet = [] { return true; };
#ifdef TEKKORA_HAVE_MONITOR_RECORDER
        std::unique_ptr<MonitorRecorder> recorder;
        if (soundServer) {
            TEKKORA_START_PULSE(pulse);
            recorder = std::make_unique<MonitorRecorder>(pulse);
            QVERIFY2(recorder->start(), qPrintable(recorder->error()));
            heard = [&recorder] { return recorder->soundCount(); };
            quiet = [&recorder] { return recorder->isQuiet(); };
        }
#else
        if (soundServer)
            QSKIP("libpulse-dev is not installed");
#endif
        // Digits, ten questions.
        QVERIFY(writeSettings(x.programDirectory(), "[Data]\r\nMode=2 \r\nNum=10 \r\nCap=1 \r\n"));
        QVERIFY2(x.launch(QStringLiteral(TEKKORA_EXECUTABLE),
                          soundServer ? pulse.clientEnvironment() : pulse.absentServerEnvironment()),
                 qPrintable(x.error()));
        const XWindow window = x.waitForWindow(MainTitle);
        QVERIFY(window != 0);
        QVERIFY(x.waitForFocus(window));
#ifdef TEKKORA_HAVE_MONITOR_RECORDER
        if (recorder)
            QTRY_VERIFY_WITH_TIMEOUT(recorder->isSettled(), 10000);
#endif
        const QRect client = x.clientGeometry(window);
        const QImage idle = x.grab(client);
        x.pressKey(x.keycodeOf("space"));
        QTRY_VERIFY_WITH_TIMEOUT(x.grab(client) != idle, AnswerMs); // the first question
#ifdef TEKKORA_HAVE_MONITOR_RECORDER
        // Connected at the key that started the run, before any key needs a beep.
        if (recorder)
            QTRY_VERIFY_WITH_TIMEOUT(pulse.hasClient(QStringLiteral("Tekkora!")), AnswerMs);
#endif

        std::vector<Clock::time_point> wrongKeys;
        const auto press = [&](unsigned keycode) {
            const Clock::time_point at = Clock::now();
            x.pressKey(keycode);
            return at;
        };
        // Digits until one answers.
        bool answered = false;
        for (const char *digit : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}) {
            const QImage question = x.grab(client);
            const int before = heard();
            const Clock::time_point at = press(x.keycodeOf(digit));
            QTRY_VERIFY_WITH_TIMEOUT(heard() > before || x.grab(client) != question, AnswerMs);
            if (heard() == before) {
                answered = true;
                break;
            }
            QCOMPARE(heard(), before + 1);
            wrongKeys.push_back(at);
            QTRY_VERIFY_WITH_TIMEOUT(quiet(), AnswerMs); // each sound apart from the next
        }
        QVERIFY2(answered, "no digit answered the first question");
        for (const char *keypad : {"KP_1", "KP_2", "KP_3", "KP_4", "KP_5"}) {
            const int before = heard();
            wrongKeys.push_back(press(x.keycodeOf(keypad)));
            QTRY_COMPARE_WITH_TIMEOUT(heard(), before + 1, AnswerMs);
            QTRY_VERIFY_WITH_TIMEOUT(quiet(), AnswerMs);
        }
        QCOMPARE(wrongKeys.size(), std::size_t(heard()));
        QVERIFY(wrongKeys.size() >= std::size_t(KeypadWrongKeys));

        // Esc after an answer ends the run: a beep and the results.
        const Clock::time_point end = press(x.keycodeOf("Escape"));
        const XWindow results = x.waitForWindow(ResultsTitle, AnswerMs);
        QVERIFY(results != 0);
        QTRY_COMPARE_WITH_TIMEOUT(heard(), int(wrongKeys.size()) + 1, AnswerMs);
        x.closeWindow(results);
        QVERIFY(x.waitForNoWindow(ResultsTitle));
        x.closeWindow(window);
        QVERIFY(x.waitForExit());
        QCOMPARE(x.program().exitCode(), 0);

        if (!soundServer) {
            QCOMPARE(x.bellCount(), int(wrongKeys.size()) + 1);
            return;
        }
#ifdef TEKKORA_HAVE_MONITOR_RECORDER
        QCOMPARE(x.bellCount(), 0); // the sound server took every beep
        std::vector<Clock::time_point> keys = wrongKeys;
        keys.push_back(end);
        const QList<MonitorRecorder::Sound> sounds = recorder->sounds();
        QCOMPARE(sounds.size(), qsizetype(keys.size()));
        QStringList delays;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const double delay = msBetween(keys[i], sounds[qsizetype(i)].start);
            delays << QString::number(delay, 'f', 1);
            QVERIFY2(sounds[qsizetype(i)].start >= keys[i] - RenderedAhead && sounds[qsizetype(i)].start <= keys[i] + HeardWithin,
                     qPrintable(QStringLiteral("sound %1 starts %2 ms after its key").arg(i).arg(delay)));
        }
        qInfo("key to sound, ms: %s", qPrintable(delays.join(QLatin1Char(' '))));
#endif
    }
};

QTEST_GUILESS_MAIN(TestBeeps)
#include "tst_beeps.moc"
