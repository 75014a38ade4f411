#pragma once

// A score log as a player's months of practice would leave it, written by
// the drill's own record writer: runs in every character set, mostly 10, 30
// and 50 questions with now and then a long unlimited one, a few minutes
// apart in evening sessions, getting faster with noise, and one run left
// idle. The same seed gives the same bytes.

#include "drill/DrillState.h"
#include "platform/ShiftJis.h"
#include "results/ScoreLog.h"
#include "support/ExampleRecord.h"

#include <QByteArray>
#include <QRandomGenerator>

namespace tekkora::bench {

inline ScoreRecord sampleRun(QRandomGenerator &random, QDateTime &clock, int index, int runs)
{
    const std::uint8_t charSet = std::uint8_t(1 + random.bounded(3));
    static constexpr int Limits[] = {10, 30, 30, 50, 50};
    int questions = Limits[random.bounded(5)];
    if (random.bounded(40) == 0)
        questions = 200 + int(random.bounded(900));
    const int misses = std::min(questions, int(random.bounded(questions / 8 + 2)));
    // Seconds per key at the start: digits are quickest, mixed slowest.
    const double start = charSet == charset::Digits ? 0.55 : charSet == charset::Letters ? 0.75 : 0.85;
    double secondsPerKey = start * (1.0 - 0.35 * index / runs) * (0.85 + 0.3 * random.generateDouble());
    // One run three quarters in, left idle a while: 2.5 seconds a key.
    if (index == runs * 3 / 4)
        secondsPerKey = 2.5;

    clock = clock.addSecs(60 * (2 + random.bounded(5)));
    if (random.bounded(8) == 0)
        clock = QDateTime(clock.date().addDays(1), QTime(19, int(random.bounded(60))));

    return testing::drillRecord(charSet, questions, misses, secondsPerKey * questions, clock);
}

// The header and `runs` record lines, in CP932 with CR LF.
inline QByteArray sampleScoreLog(int runs, quint32 seed = 14)
{
    QRandomGenerator random(seed);
    QDateTime clock(QDate(2025, 4, 1), QTime(19, 0));
    QByteArray bytes = toShiftJis(scoreLogHeader()).bytes;
    bytes.reserve(bytes.size() + qsizetype(runs) * 80);
    for (int i = 0; i < runs; ++i) {
        bytes += toShiftJis(formatScoreRecord(sampleRun(random, clock, i, runs)) + QStringLiteral("\r\n")).bytes;
    }
    return bytes;
}

} // namespace tekkora::bench
