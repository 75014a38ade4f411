// The cost of one key press in the main window, on the offscreen platform
// with the real services: the right key (Form_KeyDown -> Main -> caption),
// the right key with its repaint, and the wrong key (count and beep), the
// beep once with whatever sound server the environment names (none: the
// window system's bell) and once with a private PulseAudio playing it; and
// the key translation alone for events with XKB codes, which the offscreen
// platform's events lack. The floor's label, driven the same way, is the
// reference.

#include "BenchApp.h"

#include "BeepWorker.h"
#ifdef TEKKORA_BENCH_SOUND_SERVER
#include "PulseSession.h"
#include "SessionTools.h"
#endif

#include "drill/DrillState.h"
#include "platform/Services.h"
#include "Form1.h"
#include "KeyCodes.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <map>
#include <memory>

namespace tekkora::bench {
namespace {

// The main window in a never-ending digits run.
struct Drill : RealMainWindow {
    Drill() : RealMainWindow(EndlessDigits)
    {
        // An unlimited run still ends at 32767 questions; then just start again.
        form->setResultsPresenter([] {});
        show();
        start();
    }

    void start()
    {
        pressSpace();
        settle();
    }

    void rightKey() { QTest::keyPress(form.get(), Qt::Key(state.TargetKey)); }
    void wrongKey() { QTest::keyPress(form.get(), Qt::Key_Q); }

    static void settle() { QCoreApplication::sendPostedEvents(); }
};

Drill &drill()
{
    static Drill *instance = [] {
        auto *d = new Drill;
        teardown().push_back([d] { delete d; });
        return d;
    }();
    return *instance;
}

// The floor's label: the next digit on the right key, a beep on any other.
class FloorLabel final : public QLabel {
public:
    FloorLabel()
    {
        QFont font = japaneseFont(36);
        setFont(font);
        setAlignment(Qt::AlignCenter);
        setFixedSize(170, 156);
        setFocusPolicy(Qt::StrongFocus);
        next();
    }
    int current = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_0 + current)
            next();
        else
            QApplication::beep();
    }

private:
    void next()
    {
        current = (current + 7) % 10;
        setText(QString(QChar(u'0' + current)));
    }
};

FloorLabel &floorLabel()
{
    static FloorLabel *label = [] {
        auto *l = new FloorLabel;
        teardown().push_back([l] { delete l; });
        l->show();
        if (!QTest::qWaitForWindowExposed(l))
            qFatal("the floor was never exposed");
        return l;
    }();
    return *label;
}

// Counts what one key sets off: paint events per widget, layout requests,
// moves and resizes.
class EventCounter final : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Paint: ++paints[watched->objectName()]; ++paintTotal; break;
        case QEvent::LayoutRequest: ++layoutRequests; break;
        case QEvent::Resize:
        case QEvent::Move: ++geometryChanges; break;
        default: break;
        }
        return false;
    }
    std::map<QString, int> paints;
    int paintTotal = 0;
    int layoutRequests = 0;
    int geometryChanges = 0;
};

void keepRunning(benchmark::State &state, Drill &d)
{
    if (!d.running()) {
        state.PauseTiming();
        d.start();
        state.ResumeTiming();
    }
}

void BM_RightKey(benchmark::State &state)
{
    Drill &d = drill();
    for (auto _ : state) {
        keepRunning(state, d);
        d.rightKey();
    }
    Drill::settle();
}
BENCHMARK(BM_RightKey);

void BM_RightKeyAndRepaint(benchmark::State &state)
{
    Drill &d = drill();
    Drill::settle();
    {
        // Not timed: what one key repaints.
        EventCounter counter;
        qApp->installEventFilter(&counter);
        constexpr int Keys = 100;
        for (int i = 0; i < Keys; ++i) {
            keepRunning(state, d);
            d.rightKey();
            Drill::settle();
        }
        qApp->removeEventFilter(&counter);
        state.counters["paints_per_key"] = double(counter.paintTotal) / Keys;
        state.counters["label1_paints_per_key"] = double(counter.paints[QStringLiteral("Label1")]) / Keys;
        state.counters["layout_requests_per_key"] = double(counter.layoutRequests) / Keys;
        state.counters["moves_resizes_per_key"] = double(counter.geometryChanges) / Keys;
    }
    for (auto _ : state) {
        keepRunning(state, d);
        d.rightKey();
        Drill::settle();
    }
}
BENCHMARK(BM_RightKeyAndRepaint);

void BM_WrongKey(benchmark::State &state)
{
    Drill &d = drill();
    Drill::settle();
    EventCounter counter;
    qApp->installEventFilter(&counter);
    for (int i = 0; i < 100; ++i) {
        d.wrongKey();
        Drill::settle();
    }
    qApp->removeEventFilter(&counter);
    state.counters["paints_per_key"] = counter.paintTotal / 100.0;
    for (auto _ : state) {
        d.wrongKey();
        Drill::settle();
    }
}
BENCHMARK(BM_WrongKey);

// The translation alone, as the X11 and Wayland plug-ins' events reach it:
// a main-row digit typed with Shift ("@" on keycode 11) and a letter, with
// the answers of a US layout's keys.
void BM_TranslateXkbKey(benchmark::State &state)
{
    const QKeyEvent digit(QEvent::KeyPress, Qt::Key_At, Qt::ShiftModifier, 11, 0x40, 1, QStringLiteral("@"));
    const QKeyEvent letter(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, 24, 0x71, 0, QStringLiteral("q"));
    const NativeKeys native = nativeKeysFor(u"xcb");
    KeycodeAnswers answers{};
    answers[11] = '2';
    answers[24] = 'Q';
    for (auto _ : state) {
        benchmark::DoNotOptimize(keyCodeFor(keyPressOf(digit), native, &answers));
        benchmark::DoNotOptimize(keyCodeFor(keyPressOf(letter), native, &answers));
    }
}
BENCHMARK(BM_TranslateXkbKey);

#ifdef TEKKORA_BENCH_SOUND_SERVER
// A second main window whose beeper plays through a private PulseAudio.
Drill *soundDrill()
{
    static Drill *instance = []() -> Drill * {
        auto *pulse = new testing::PulseSession;
        teardown().push_back([pulse] { delete pulse; });
        if (!pulse->missingTool().isEmpty() || !pulse->start())
            return nullptr;
        pulse->useInThisProcess();
        auto *d = new Drill;
        teardown().push_back([d] { delete d; });
        if (!testing::waitUntil([d] { return d->beeper.worker()->state() == BeepWorker::State::Ready; }, 10000))
            return nullptr;
        return d;
    }();
    return instance;
}

void BM_WrongKeyWithSoundServer(benchmark::State &state)
{
    Drill *d = soundDrill();
    if (d == nullptr) {
        state.SkipWithError("no private PulseAudio");
        return;
    }
    Drill::settle();
    const auto before = d->beeper.worker()->stats();
    for (auto _ : state) {
        d->wrongKey();
        Drill::settle();
    }
    const auto after = d->beeper.worker()->stats();
    state.counters["played"] = double(after.played - before.played);
    state.counters["coalesced"] = double(after.coalesced - before.coalesced);
    state.counters["bells"] = double(after.fallbacks - before.fallbacks);
}
BENCHMARK(BM_WrongKeyWithSoundServer);
#endif

void BM_FloorRightKey(benchmark::State &state)
{
    FloorLabel &label = floorLabel();
    for (auto _ : state)
        QTest::keyPress(&label, Qt::Key(Qt::Key_0 + label.current));
    Drill::settle();
}
BENCHMARK(BM_FloorRightKey);

void BM_FloorRightKeyAndRepaint(benchmark::State &state)
{
    FloorLabel &label = floorLabel();
    for (auto _ : state) {
        QTest::keyPress(&label, Qt::Key(Qt::Key_0 + label.current));
        Drill::settle();
    }
}
BENCHMARK(BM_FloorRightKeyAndRepaint);

} // namespace
} // namespace tekkora::bench

TEKKORA_BENCHMARK_MAIN()
