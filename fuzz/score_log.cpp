// Any bytes as Score.txt, read the way the score window reads it: no crash
// and no hang; the same records, skipped lines and unfinished line however
// the bytes are cut; and every record read is one the drill's formatter
// writes back to a line found in the input.

#include "platform/ShiftJis.h"
#include "results/ScoreLogReader.h"

#include <cstdint>
#include <cstdlib>

using tekkora::ScoreLogReader;
using tekkora::ScoreRecord;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));

    ScoreLogReader whole;
    const QList<ScoreRecord> records = whole.feed(bytes);

    // Cut into pieces whose lengths come from the input itself.
    ScoreLogReader pieces;
    QList<ScoreRecord> piecewise;
    qsizetype at = 0;
    for (std::size_t i = 0; at < bytes.size(); ++i) {
        const qsizetype length = std::min<qsizetype>(1 + data[i % size] % 97, bytes.size() - at);
        piecewise += pieces.feed(bytes.sliced(at, length));
        at += length;
    }

    if (piecewise.size() != records.size() || pieces.skippedLines() != whole.skippedLines()
        || pieces.skipped().kept() != whole.skipped().kept() || pieces.pending().kind != whole.pending().kind
        || pieces.pending().line != whole.pending().line)
        std::abort();
    for (qsizetype i = 0; i < records.size(); ++i) {
        const QString line = tekkora::formatScoreRecord(records[i]);
        if (tekkora::formatScoreRecord(piecewise[i]) != line)
            std::abort();
        const QByteArray written = tekkora::toShiftJis(line).bytes;
        if (!bytes.toByteArray().contains(written))
            std::abort();
    }
    return 0;
}
