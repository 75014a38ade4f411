// Any bytes as Keys.jsonl, read the way the score window reads it: no crash
// and no hang; the same runs, skipped lines and waiting line however the
// bytes are cut; and every run read, written again by the drill's writer,
// reads back as the same run.

#include "drill/DrillState.h"
#include "results/KeysLog.h"
#include "results/KeysLogReader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

using namespace tekkora;

namespace {

bool sameRun(const KeysRuns &a, std::size_t runA, const KeysRuns &b, std::size_t runB)
{
    const KeysRun &x = a.runs[runA], &y = b.runs[runB];
    if (x.utcSeconds != y.utcSeconds || x.offsetSeconds != y.offsetSeconds || x.charSet != y.charSet
        || x.letterCase != y.letterCase || x.questionCount != y.questionCount)
        return false;
    for (std::uint32_t q = 0; q < x.questionCount; ++q) {
        const KeyQuestion &p = a.pool.questions[x.firstQuestion + q], &r = b.pool.questions[y.firstQuestion + q];
        const auto wrongP = a.pool.wrongKeysOf(x.firstQuestion + q), wrongR = b.pool.wrongKeysOf(y.firstQuestion + q);
        if (p.shown != r.shown || p.ms != r.ms || p.ended != r.ended
            || !std::equal(wrongP.begin(), wrongP.end(), wrongR.begin(), wrongR.end()))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));

    KeysLogReader whole;
    KeysRuns runs;
    whole.feed(bytes, runs);

    // Cut into pieces whose lengths come from the input itself.
    KeysLogReader pieces;
    KeysRuns piecewise;
    qsizetype at = 0;
    for (std::size_t i = 0; at < bytes.size(); ++i) {
        const qsizetype length = std::min<qsizetype>(1 + data[i % size] % 97, bytes.size() - at);
        pieces.feed(bytes.sliced(at, length), piecewise);
        at += length;
    }
    if (piecewise.runs.size() != runs.runs.size() || pieces.skipped().kept() != whole.skipped().kept()
        || pieces.skipped().count() != whole.skipped().count() || pieces.lines() != whole.lines()
        || pieces.waiting() != whole.waiting())
        std::abort();

    for (std::size_t r = 0; r < runs.runs.size(); ++r) {
        if (!sameRun(runs, r, piecewise, r))
            std::abort();
        // Written again from what was read (the set's caption and the
        // question pool of this run alone).
        const KeysRun &run = runs.runs[r];
        QuestionPool pool;
        for (std::uint32_t q = run.firstQuestion; q < run.firstQuestion + run.questionCount; ++q) {
            KeyQuestion question = runs.pool.questions[q];
            question.firstWrong = std::uint32_t(pool.wrongKeys.size());
            pool.questions.push_back(question);
            const auto wrong = runs.pool.wrongKeysOf(q);
            pool.wrongKeys.insert(pool.wrongKeys.end(), wrong.begin(), wrong.end());
        }
        const QByteArray line =
            formatKeysRecord({run.localTime(), charSetText(run.charSet), run.letterCase, &pool});
        KeysLogReader again;
        KeysRuns reread;
        again.feed(line, reread);
        if (reread.runs.size() != 1 || again.skipped().count() != 0 || !sameRun(runs, r, reread, 0))
            std::abort();
    }
    return 0;
}
