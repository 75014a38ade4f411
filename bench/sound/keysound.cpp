// Key to sound: the real program under Xvfb with a private PulseAudio whose
// null sink is recorded. The program connects to the server at the key
// that starts the run; the first wrong key, 100 ms after it (a quick
// player), shows whether that connection is ready in time. Then, in the
// same digits run, keypad digits (never an answer)
// are pressed as raw keys, each after the last sound has ended and after a
// pause of irregular length; each key's delay is from its press to the
// start of its sound in the recording. Then a burst of keys 30 ms apart:
// how long the sound goes on after the last of them, and whether the cut
// sounds ever overlap (their peak against a single beep's).
//
//   bench_keysound TEKKORA_EXECUTABLE [wrong keys, default 30]
//
// Prints key=value lines; exit status 0 when every figure was measured.

#include "MonitorRecorder.h"
#include "PulseSession.h"
#include "SessionTools.h"
#include "X11Session.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace tekkora::testing;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int BurstKeys = 20;
constexpr int BurstGapMs = 30;
constexpr int FirstKeyAfterStartMs = 100;

int fail(const char *what)
{
    std::fprintf(stderr, "bench_keysound: %s\n", what);
    return 1;
}

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return fail("usage: bench_keysound TEKKORA_EXECUTABLE [wrong keys]");
    const QString executable = QString::fromLocal8Bit(argv[1]);
    const int wrongKeys = argc > 2 ? std::max(1, std::atoi(argv[2])) : 30;

    X11Session x;
    PulseSession pulse;
    if (!x.missingTool().isEmpty() || !pulse.missingTool().isEmpty())
        return fail("Xvfb and pulseaudio are needed");
    if (!x.start() || !pulse.start())
        return fail("cannot start Xvfb or pulseaudio");
    MonitorRecorder recorder(pulse);
    if (!recorder.start())
        return fail("cannot record the null sink");
    QFile settings(x.programDirectory() + QStringLiteral("/tekora.ini"));
    if (!settings.open(QIODevice::WriteOnly) || settings.write("[Data]\r\nMode=2 \r\nNum=32767 \r\nCap=1 \r\n") < 0)
        return fail("cannot write tekora.ini");
    settings.close();
    if (!x.launch(executable, pulse.clientEnvironment()))
        return fail("cannot start the program");
    const XWindow window = x.waitForWindow(QStringLiteral("Tekkora!"));
    if (window == 0 || !x.waitForFocus(window) || !waitUntil([&] { return recorder.isSettled(); }, 10000))
        return fail("no main window, or no recording");
    x.pressKey(x.keycodeOf("space"));
    QTest::qWait(FirstKeyAfterStartMs);
    const Clock::time_point firstKey = Clock::now();
    x.pressKey(x.keycodeOf("KP_9"));
    if (!waitUntil([&] { return recorder.soundCount() == 1 && recorder.isQuiet(); }, 5000))
        return fail("the first wrong key was not heard");
    QTest::qWait(200);

    const char *keypad[] = {"KP_0", "KP_1", "KP_2", "KP_3", "KP_4", "KP_5", "KP_6", "KP_7", "KP_8", "KP_9"};
    std::vector<Clock::time_point> keys;
    for (int i = 0; i < wrongKeys; ++i) {
        const int before = recorder.soundCount();
        keys.push_back(Clock::now());
        x.pressKey(x.keycodeOf(keypad[i % 10]));
        if (!waitUntil([&] { return recorder.soundCount() > before && recorder.isQuiet(); }, 5000))
            return fail("a wrong key was not heard");
        QTest::qWait(50 + int(QRandomGenerator::global()->bounded(100)));
    }
    const QList<MonitorRecorder::Sound> single = recorder.sounds();

    Clock::time_point lastKey;
    for (int i = 0; i < BurstKeys; ++i) {
        lastKey = Clock::now();
        x.pressKey(x.keycodeOf(keypad[i % 10]));
        QTest::qWait(BurstGapMs);
    }
    waitUntil([&] { return recorder.isQuiet(); }, 5000);
    const QList<MonitorRecorder::Sound> all = recorder.sounds();
    recorder.stop();

    if (single.size() != qsizetype(keys.size()) + 1 || all.size() <= single.size())
        return fail("the sounds do not match the keys");
    std::vector<double> delays;
    int singlePeak = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        delays.push_back(ms(single[qsizetype(i) + 1].start - keys[i]));
        singlePeak = std::max(singlePeak, single[qsizetype(i) + 1].peak);
    }
    std::sort(delays.begin(), delays.end());
    int burstPeak = 0;
    for (qsizetype i = single.size(); i < all.size(); ++i)
        burstPeak = std::max(burstPeak, all[i].peak);
    std::printf("first_key_after_start_ms=%d\nfirst_key_sound_ms=%.1f\n", FirstKeyAfterStartMs,
                ms(single.first().start - firstKey));
    std::printf("key_sound_n=%zu\nkey_sound_median_ms=%.1f\nkey_sound_max_ms=%.1f\n", delays.size(),
                delays[delays.size() / 2], delays.back());
    std::printf("burst_keys=%d\nburst_gap_ms=%d\nburst_sounds=%lld\nburst_sounding_after_last_key_ms=%.0f\n"
                "burst_peak_to_single_peak=%.2f\nx_bells=%d\n",
                BurstKeys, BurstGapMs, static_cast<long long>(all.size() - single.size()), ms(all.last().end - lastKey),
                double(burstPeak) / std::max(singlePeak, 1), x.bellCount());
    return 0;
}
