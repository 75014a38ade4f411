#include "ScoreLogReader.h"

#include "ScoreRecordBytes.h"

namespace tekkora {

namespace {

// The header's title and column lines as the drill writes them.
struct HeaderLines {
    QByteArray title;
    QByteArray columns;
};

const HeaderLines &headerLines()
{
    static const HeaderLines lines = [] {
        const QList<QByteArray> written = toShiftJis(scoreLogHeader()).bytes.split('\n');
        return HeaderLines{written.value(0).chopped(1), written.value(2).chopped(1)};
    }();
    return lines;
}

bool isPassedOver(QByteArrayView line)
{
    // Lengths first: most lines are records, of other lengths.
    const HeaderLines &header = headerLines();
    return line.isEmpty() || (line.size() == header.title.size() && line == header.title)
           || (line.size() == header.columns.size() && line == header.columns);
}

} // namespace

ScoreLogReader::LineKind ScoreLogReader::classify(QByteArrayView line, ScoreRecord &record, SkipReason &reason) const
{
    if (isPassedOver(line))
        return LineKind::Passed;
    std::optional<ScoreRecord> parsed = parseScoreRecordBytes(line);
    if (!parsed) {
        // Decoded only to say why, which takes a converter.
        reason = decoder_.decode(line) ? SkipReason::NotARecord : SkipReason::NotShiftJis;
        return LineKind::Skipped;
    }
    record = std::move(*parsed);
    return LineKind::Record;
}

QList<ScoreRecord> ScoreLogReader::feed(QByteArrayView bytes)
{
    QList<ScoreRecord> records;
    feed(bytes, [&records](ScoreRecord &&record) { records.append(std::move(record)); });
    return records;
}

void ScoreLogReader::feed(QByteArrayView bytes, const RecordSink &sink)
{
    lines_.feed(
        bytes,
        [&](QByteArrayView line) {
            if (line.endsWith('\r'))
                line.chop(1);
            ScoreRecord record;
            SkipReason reason{};
            switch (classify(line, record, reason)) {
            case LineKind::Record: sink(std::move(record)); break;
            case LineKind::Passed: break;
            case LineKind::Skipped: skipped_.add(lines_.lines(), reason); break;
            }
        },
        [&] { skipped_.add(lines_.lines(), SkipReason::TooLong); });
}

ScoreLogReader::Pending ScoreLogReader::pending() const
{
    Pending result;
    result.line = lines_.lines() + 1;
    if (lines_.overlong()) {
        result.kind = Pending::Skipped;
        result.reason = SkipReason::TooLong;
        return result;
    }
    QByteArrayView line = lines_.unfinished();
    if (line.isEmpty())
        return result;
    if (line.endsWith('\r'))
        line.chop(1);
    switch (classify(line, result.record, result.reason)) {
    case LineKind::Record: result.kind = Pending::Record; break;
    case LineKind::Passed: result.kind = Pending::Passed; break;
    case LineKind::Skipped: result.kind = Pending::Skipped; break;
    }
    return result;
}

void ScoreLogReader::reset()
{
    lines_.reset();
    skipped_.clear();
}

} // namespace tekkora
