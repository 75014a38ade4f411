#pragma once

// A per-key log as months of practice would leave it, recorded and written
// by the drill's own recorder and writer: runs in every character set of
// 50 questions shown (now and then the last ended by Esc), each character with a
// speed of its own that improves with noise, a wrong key now and then
// (mostly a neighbour of the right one, sometimes Shift or Space). The same
// seed gives the same bytes.

#include "drill/DrillState.h"
#include "drill/RunRecording.h"
#include "results/KeysLog.h"

#include <QByteArray>
#include <QDateTime>
#include <QRandomGenerator>

namespace tekkora::bench {

inline QByteArray sampleKeysRun(QRandomGenerator &random, QDateTime &clock, int index, int runs)
{
    const std::uint8_t charSet = std::uint8_t(1 + random.bounded(3));
    const LetterCase letterCase = random.bounded(4) == 0 ? LetterCase::Lower : LetterCase::Upper;
    const bool escaped = random.bounded(20) == 0;
    const int questions = 50;
    clock = clock.addSecs(60 * (2 + random.bounded(5)));
    if (random.bounded(8) == 0)
        clock = QDateTime(clock.date().addDays(1), QTime(19, int(random.bounded(60))));

    RunRecording recording;
    std::int32_t tick = std::int32_t(random.generate());
    recording.start(std::int16_t(questions), letterCase, tick);
    const double practice = 1.0 - 0.35 * index / runs;
    for (int q = 0; q < questions; ++q) {
        const int first = charSet == charset::Digits ? 26 : 0;
        const int last = charSet == charset::Letters ? 25 : 35;
        const int character = first + int(random.bounded(last - first + 1));
        const std::int16_t code = std::int16_t(character < 26 ? 'A' + character : '0' + character - 26);
        recording.shown(code);
        if (random.bounded(14) == 0) {
            recording.wrongKey(random.bounded(5) == 0 ? std::int16_t(16 + 16 * random.bounded(2))
                                                      : std::int16_t(code < 'Z' ? code + 1 : code - 1));
        }
        if (escaped && q == questions - 1) {
            recording.ended();
            break;
        }
        // Each character its own speed: 350 to 900 ms at first.
        const double ms = (350 + 15.0 * character) * practice * (0.7 + 0.6 * random.generateDouble());
        tick += std::int32_t(ms);
        recording.answered(tick);
    }
    return formatKeysRecord({clock, charSetText(charSet), letterCase, &recording.questions()});
}

inline QByteArray sampleKeysLog(int runs, quint32 seed = 20)
{
    QRandomGenerator random(seed);
    QDateTime clock(QDate(2025, 4, 1), QTime(19, 0));
    QByteArray bytes;
    bytes.reserve(qsizetype(runs) * 1100);
    for (int i = 0; i < runs; ++i)
        bytes += sampleKeysRun(random, clock, i, runs);
    return bytes;
}

} // namespace tekkora::bench
