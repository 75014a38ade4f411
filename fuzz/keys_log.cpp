// Any bytes as Keys.jsonl, read the way the score window reads it: no crash
// and no hang; the same runs, skipped lines and waiting line however the
// bytes are cut; every run read, written again by the drill's writer,
// reads back as the same run; and read backwards from the end, each set's
// runs are those read forwards.

#include "drill/DrillState.h"
#include "results/KeysLog.h"
#include "results/KeysLogReader.h"
#include "results/KeysLogTail.h"

#include <cstdint>
#include <cstdlib>

using namespace tekkora;

namespace {

// The writer writes every field of a run, so equal lines are equal runs.
QByteArray written(const KeysRuns &runs, std::size_t index)
{
    const KeysRun &run = runs.runs[index];
    return formatKeysRecord({run.localTime(), charSetText(run.charSet), run.letterCase, &runs.pool,
                             run.firstQuestion, run.questionCount, run.weakDraw});
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
        const QByteArray line = written(runs, r);
        if (written(piecewise, r) != line)
            std::abort();
        KeysLogReader again;
        KeysRuns reread;
        again.feed(line, reread);
        if (reread.runs.size() != 1 || again.skipped().count() != 0 || written(reread, 0) != line)
            std::abort();
    }

    const qsizetype chunk = 1 + (size > 0 ? data[size - 1] : 0) % 61;
    for (std::uint8_t set = 1; set <= 3; ++set) {
        KeysLogTail tail(set, std::size_t(-1));
        for (qsizetype at = bytes.size(); at > 0; at -= std::min(chunk, at))
            tail.feedBefore(bytes.sliced(at - std::min(chunk, at), std::min(chunk, at)));
        tail.finish();
        std::size_t found = 0;
        for (std::size_t r = runs.runs.size(); r-- > 0;) {
            if (runs.runs[r].charSet == set
                && (found >= tail.runs().runs.size() || written(tail.runs(), found++) != written(runs, r)))
                std::abort();
        }
        if (found != tail.runs().runs.size())
            std::abort();
    }
    return 0;
}
