// The worker behind the desktop beep, on a scripted sound: what each beep
// becomes (a sound or the window system's bell), that a burst never queues,
// that a stuck sound server is answered by the bell and never holds up the
// program's end, and that a server that comes back is used again.

#include "BeepWorker.h"
#include "FakeAlertSound.h"

#include <QTest>

#include <atomic>
#include <memory>

using namespace tekkora;
using namespace tekkora::testing;
using namespace std::chrono_literals;
using Outcome = AlertSound::Outcome;
using State = BeepWorker::State;

Q_DECLARE_METATYPE(QList<Outcome>)
Q_DECLARE_METATYPE(State)

namespace {

constexpr BeepWorker::Timing Patient{1h, 1h, 1h};

// A worker on a fake sound, counting the bells it rings.
struct Rig {
    explicit Rig(BeepWorker::Timing timing = Patient)
        : worker(std::make_unique<BeepWorker>(std::make_unique<FakeAlertSound>(script), [this] { ++bells; }, timing))
    {
    }
    int heard() const { return int(worker->stats().played) + bells; }

    std::shared_ptr<FakeAlertSound::Script> script = std::make_shared<FakeAlertSound::Script>();
    std::atomic<int> bells{0};
    std::unique_ptr<BeepWorker> worker;
};

bool settled(const BeepWorker &worker)
{
    return worker.state() != State::Idle && worker.state() != State::Connecting;
}

} // namespace

class TestBeepWorker : public QObject {
    Q_OBJECT
private slots:
    void whatABeepBecomes_data()
    {
        QTest::addColumn<QList<Outcome>>("opens");
        QTest::addColumn<QList<Outcome>>("plays");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<int>("played");
        QTest::addColumn<int>("bells");
        QTest::addColumn<int>("playCalls");
        QTest::addColumn<State>("state");
        QTest::addColumn<bool>("mayBlock");
        const QList<Outcome> none;
        // A sound that never blocks (the browser's) is played without a
        // thread, and heard as beep() returns.
        for (const bool mayBlock : {true, false}) {
            const char *how = mayBlock ? "" : ", never blocking";
            QTest::addRow("server answers%s", how) << none << none << 3 << 3 << 0 << 3 << State::Ready << mayBlock;
            QTest::addRow("no sound server%s", how)
                << QList{Outcome::Offline} << none << 3 << 0 << 3 << 0 << State::Offline << mayBlock;
            QTest::addRow("no such sound in the theme%s", how)
                << QList{Outcome::Unavailable} << none << 3 << 0 << 3 << 0 << State::Unavailable << mayBlock;
            QTest::addRow("event sounds turned off%s", how)
                << QList{Outcome::Muted} << none << 3 << 0 << 0 << 0 << State::Muted << mayBlock;
            QTest::addRow("server gone while playing%s", how)
                << none << QList{Outcome::Played, Outcome::Offline} << 3 << 1 << 2 << 2 << State::Offline << mayBlock;
            QTest::addRow("sound gone while playing%s", how)
                << none << QList{Outcome::Unavailable} << 2 << 0 << 2 << 1 << State::Unavailable << mayBlock;
        }
    }

    void whatABeepBecomes()
    {
        QFETCH(QList<Outcome>, opens);
        QFETCH(QList<Outcome>, plays);
        QFETCH(int, beeps);
        QFETCH(int, played);
        QFETCH(int, bells);
        QFETCH(int, playCalls);
        QFETCH(State, state);
        QFETCH(bool, mayBlock);
        Rig rig;
        rig.script->mayBlock = mayBlock;
        rig.script->opens.assign(opens.begin(), opens.end());
        rig.script->plays.assign(plays.begin(), plays.end());
        rig.worker->start();
        QTRY_VERIFY(settled(*rig.worker));
        for (int i = 0; i < beeps; ++i) {
            // Each beep is heard once, as a sound or as the bell (or not at
            // all where the desktop turned event sounds off).
            const int before = rig.heard();
            rig.worker->beep();
            if (state != State::Muted && !mayBlock)
                QCOMPARE(rig.heard(), before + 1);
            if (state != State::Muted)
                QTRY_COMPARE(rig.heard(), before + 1);
        }
        QCOMPARE(rig.worker->state(), state);
        QCOMPARE(int(rig.worker->stats().played), played);
        rig.worker.reset(); // the worker has finished all it was asked for
        QCOMPARE(rig.bells.load(), bells);
        QCOMPARE(rig.script->playCalls.load(), playCalls);
        QCOMPARE(rig.script->openCalls.load(), 1);
        QVERIFY(rig.script->destroyed);
    }

    void aBurstPlaysItsLastKeyOnly()
    {
        Rig rig;
        rig.worker->start();
        QTRY_COMPARE(rig.worker->state(), State::Ready);
        rig.script->holdPlay = true;
        rig.worker->beep();
        QTRY_COMPARE(rig.script->waiting.load(), 1); // the first sound is being played
        for (int i = 0; i < 19; ++i)
            rig.worker->beep(); // returns while the worker is busy
        rig.script->release();
        QTRY_COMPARE(rig.worker->stats().played, 2u);
        rig.worker.reset();
        QCOMPARE(rig.script->playCalls.load(), 2);
        QCOMPARE(rig.bells.load(), 0);
    }

    void aStuckServerIsAnsweredByTheBell()
    {
        Rig rig({0ms, 1h, 1h});
        rig.script->holdOpen = true;
        rig.worker->start();
        QTRY_COMPARE(rig.script->waiting.load(), 1); // connecting, and stuck
        rig.worker->beep();
        rig.worker->beep();
        QCOMPARE(rig.bells.load(), 2); // at once, not once the server answers
        rig.script->release();
        QTRY_COMPARE(rig.worker->state(), State::Ready);
        rig.worker->beep();
        QTRY_COMPARE(rig.worker->stats().played, 1u);
        QCOMPARE(rig.bells.load(), 2);
    }

    void aKeyJustBeforeTheServerStalls()
    {
        // The key comes while the connection is young; the owner asks again
        // once the grace time is up, and the bell answers then, once.
        Rig rig({500ms, 1h, 1h});
        rig.script->holdOpen = true;
        rig.worker->start();
        QTRY_COMPARE(rig.script->waiting.load(), 1);
        rig.worker->beep();
        const auto again = rig.worker->answerIfStillWaiting();
        QCOMPARE(rig.bells.load(), 0); // still within the grace time: asked again before it ends
        QVERIFY(again && *again > 0ms && *again <= 500ms);
        QTest::qWait(550);
        rig.worker->answerIfStillWaiting();
        QVERIFY(!rig.worker->answerIfStillWaiting()); // answered: nothing left to watch
        QCOMPARE(rig.bells.load(), 1);
        rig.script->release();
        QTRY_COMPARE(rig.worker->state(), State::Ready);
        QTest::qWait(20);
        QCOMPARE(rig.worker->stats().played, 0u); // answered already: not played late as well
    }

    void aHungServerDoesNotHoldUpTheEnd()
    {
        Rig rig;
        rig.worker->start();
        QTRY_COMPARE(rig.worker->state(), State::Ready);
        rig.script->holdPlay = true;
        rig.script->plays = {Outcome::Offline};
        rig.worker->beep();
        QTRY_COMPARE(rig.script->waiting.load(), 1); // the server hangs in the play
        rig.worker.reset(); // returns, leaving the stuck worker behind
        QVERIFY(!rig.script->destroyed);
        rig.script->release();
        // Once the call returns, the worker ends and frees its sound; its
        // failure rings no bell for an owner that has gone.
        QTRY_VERIFY(rig.script->destroyed);
        QCOMPARE(rig.bells.load(), 0);
    }

    void theServerIsTriedAgain_data()
    {
        QTest::addColumn<int>("retryMs");
        QTest::addColumn<int>("opens");
        QTest::addColumn<int>("played");
        QTest::newRow("once the retry time is up") << 0 << 2 << 1;
        QTest::newRow("not before") << 3600000 << 1 << 0;
    }

    void theServerIsTriedAgain()
    {
        QFETCH(int, retryMs);
        QFETCH(int, opens);
        QFETCH(int, played);
        Rig rig({1h, 1h, std::chrono::milliseconds(retryMs)});
        rig.script->opens = {Outcome::Offline};
        rig.worker->start();
        QTRY_COMPARE(rig.worker->state(), State::Offline);
        rig.worker->beep(); // the bell, and a look whether the server is back
        QTRY_COMPARE(rig.script->openCalls.load(), opens);
        QTRY_VERIFY(settled(*rig.worker));
        rig.worker->beep();
        QTRY_COMPARE(rig.heard(), 2);
        QCOMPARE(int(rig.worker->stats().played), played);
        rig.worker.reset();
        QCOMPARE(rig.script->openCalls.load(), opens);
    }

    void theFirstBeepStartsTheWorker()
    {
        Rig rig;
        rig.worker->beep();
        QTRY_COMPARE(rig.worker->stats().played, 1u);
        QCOMPARE(rig.script->openCalls.load(), 1);
    }
};

QTEST_GUILESS_MAIN(TestBeepWorker)
#include "tst_beepworker.moc"
