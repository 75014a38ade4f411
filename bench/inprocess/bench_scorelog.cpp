// Appending one run to the score log, on an empty log and on one of 100 000
// lines: the append must not read, scan or rewrite what is already there.
// And the per-key log's line the results window appends beside it.

#include "BenchApp.h"

#include "platform/ShiftJis.h"
#include "results/KeysLog.h"
#include "results/ScoreLog.h"
#include "support/ExampleRecord.h"

#include <QDir>

namespace tekkora::bench {
namespace {

// A log holding the header and the given number of records.
void prepareLog(const QString &directory, int lines)
{
    QByteArray bytes = toShiftJis(scoreLogHeader()).bytes;
    const QByteArray line = toShiftJis(formatScoreRecord(testing::exampleRecord()) + QStringLiteral("\r\n")).bytes;
    bytes.reserve(bytes.size() + line.size() * lines);
    for (int i = 0; i < lines; ++i)
        bytes += line;
    writeFile(QDir(directory).filePath(ScoreFileName), bytes);
}

// The log grows by the timed appends only: 2000 of them, next to 100 000
// lines or next to none.
void BM_AppendScoreRecord(benchmark::State &state)
{
    QTemporaryDir dir;
    const int lines = int(state.range(0));
    prepareLog(dir.path(), lines);
    const ScoreRecord record = testing::exampleRecord();
    for (auto _ : state) {
        const FileResult result = AppendScoreRecord(record, dir.path());
        if (!result.ok()) {
            state.SkipWithError(qPrintable(result.error));
            break;
        }
    }
    state.counters["lines_before"] = lines;
}
BENCHMARK(BM_AppendScoreRecord)->Arg(0)->Arg(100000)->Iterations(2000)->Repetitions(5)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

// A 50-question run with a few wrong keys, as the results window appends it
// after the score record.
void BM_AppendKeysRecord(benchmark::State &state)
{
    QTemporaryDir dir;
    RunRecording recording;
    std::int32_t tick = 0;
    recording.start(50, LetterCase::Upper, tick);
    for (int q = 0; q < 50; ++q) {
        recording.shown(std::int16_t('A' + q % 26));
        if (q % 10 == 0)
            recording.wrongKey(16);
        recording.answered(tick += 500);
    }
    const KeysRecord record{QDateTime::currentDateTime(), QStringLiteral("英字"), LetterCase::Upper,
                            &recording.questions()};
    for (auto _ : state) {
        const FileResult result = AppendKeysRecord(record, dir.path());
        if (!result.ok()) {
            state.SkipWithError(qPrintable(result.error));
            break;
        }
    }
}
BENCHMARK(BM_AppendKeysRecord)->Iterations(2000)->Repetitions(5)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

// The text of one record, without the file.
void BM_FormatScoreRecord(benchmark::State &state)
{
    const ScoreRecord record = testing::exampleRecord();
    for (auto _ : state)
        benchmark::DoNotOptimize(toShiftJis(formatScoreRecord(record) + QStringLiteral("\r\n")));
}
BENCHMARK(BM_FormatScoreRecord)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tekkora::bench

TEKKORA_BENCHMARK_MAIN()
