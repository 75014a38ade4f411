// The keys page's data on a long per-key log: how long reading Keys.jsonl
// and computing the per-key figures take, what the runs then hold in memory,
// and how long one appended run takes to be counted; and what the drill's
// weak characters' draw costs a run's start. Prints figures; asserts
// nothing. The page's own drawing is measured with the score window.
//
//   bench_keys [runs]             the figures (default 10 000 runs)
//   bench_keys --write DIR runs   only writes DIR/Keys.jsonl

#include "ProcessStatus.h"
#include "SampleKeysLog.h"

#include "KeyStatistics.h"
#include "drill/WeakDraw.h"
#include "platform/AppendOnlyFile.h"
#include "results/KeysLogFile.h"
#include "results/KeysLogTail.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

using namespace tekkora;
using tekkora::bench::statusKib;

bool writeLog(const QString &directory, int runs)
{
    QFile file(directory + QLatin1Char('/') + KeysFileName);
    const QByteArray bytes = bench::sampleKeysLog(runs);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Wall clock and CPU time of one step.
struct Timed {
    QElapsedTimer wall;
    double cpuStart = cpuMs();
    Timed() { wall.start(); }
    void print(const char *what) const
    {
        std::printf("%s: %.1f ms (CPU %.1f ms)\n", what, double(wall.nsecsElapsed()) / 1e6, cpuMs() - cpuStart);
    }
};

double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--write")
        return writeLog(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3])) ? 0 : 1;
    const int runs = argc > 1 ? std::atoi(argv[1]) : 10000;

    QTemporaryDir dir;
    if (!writeLog(dir.path(), runs))
        return 1;
    const QString path = dir.filePath(KeysFileName);
    const long rssBefore = statusKib("VmRSS");

    const QDateTime now = QDateTime::currentDateTime();
    KeysLogFile file(path);
    KeyStatistics statistics;
    {
        const Timed opening;
        {
            const Timed reading;
            file.readAppended();
            reading.print("keys reader alone, in slices of 1 MiB");
        }
        const Timed counting;
        statistics.rebuild(file.runs(), {}, now);
        counting.print("per-key figures, every run");
        opening.print("read and counted together");
    }
    std::printf("keys log: %zu runs, %zu questions, %lld bytes, %lld lines skipped\n", file.runs().runs.size(),
                file.runs().pool.questions.size(), static_cast<long long>(QFileInfo(path).size()),
                static_cast<long long>(file.reader().skipped().count()));
    std::printf("memory of the runs read: VmRSS %ld KiB more\n", statusKib("VmRSS") - rssBefore);

    {
        const Timed filters;
        for (RunSet set : {RunSet::Every, RunSet::Letters, RunSet::Digits, RunSet::Mixed}) {
            for (KeyPeriod period : {KeyPeriod::All, KeyPeriod::Last30Days, KeyPeriod::Last100Runs})
                statistics.rebuild(file.runs(), {set, period}, now);
        }
        filters.print("all 12 filters, one after the other");
    }

    // A run's start with the weak characters' draw: the set's last 100 runs
    // read from the log's end and weighed; and the most it can cost, a set
    // with no run in the log, every line's set looked at.
    for (const bool noRun : {false, true}) {
        std::vector<double> starts;
        for (int i = 0; i < 21; ++i) {
            QElapsedTimer start;
            start.start();
            if (noRun ? !readLastKeysRuns(path, 0, WeakDrawRuns).runs.empty()
                      : !WeakDraw::fromLog(dir.path(), charset::Digits).weighted())
                return 1; // not the work meant
            starts.push_back(double(start.nsecsElapsed()) / 1e6);
        }
        std::printf("weak draw at a run's start, %s: median %.2f ms, max %.2f ms (21 starts)\n",
                    noRun ? "a set with no run in the log" : "digits", median(starts),
                    *std::max_element(starts.begin(), starts.end()));
    }

    // One run appended by the drill, read and counted, every run counting.
    statistics.rebuild(file.runs(), {}, now);
    QRandomGenerator random(7);
    QDateTime clock = QDateTime::currentDateTime();
    std::vector<double> samples;
    for (int i = 0; i < 30; ++i) {
        const QByteArray line = bench::sampleKeysRun(random, clock, runs, runs);
        QElapsedTimer append;
        append.start();
        if (!appendToLog(path, QByteArray(), line).ok())
            return 1;
        const KeysLogFile::Update update = file.readAppended();
        statistics.append(file.runs(), update.firstNewRun, now);
        samples.push_back(double(append.nsecsElapsed()) / 1e6);
    }
    std::printf("append one run, read and counted: median %.2f ms, max %.2f ms (30 appends)\n", median(samples),
                *std::max_element(samples.begin(), samples.end()));
    return 0;
}
