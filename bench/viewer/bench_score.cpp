// The score window on a long log: how long it takes to open to its first
// frame, how much memory it then holds, and how soon a run the drill appends
// is on screen; and opened on its keys page with a long per-key log. Prints
// figures; asserts nothing.
//
//   bench_score [runs [key-runs]]  the figures, offscreen (default 100 000
//                                  runs, and 10 000 runs of 50 questions for
//                                  the keys page)
//   bench_score --write DIR runs   only writes DIR/Score.txt, for measuring
//                                  the real program under X (scripts/bench.sh)

#include "ProcessStatus.h"
#include "SampleKeysLog.h"
#include "SampleScoreLog.h"

#include "Fonts.h"
#include "ScoreWindow.h"
#include "results/ScoreLogReader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPaintEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

using namespace tekkora;
using tekkora::bench::statusKib;

bool writeLog(const QString &directory, int runs)
{
    QFile file(directory + QStringLiteral("/Score.txt"));
    const QByteArray bytes = bench::sampleScoreLog(runs);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Counts the paint events of a widget.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

double ms(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// CPU time of the process: on a machine shared with other work, the wall
// clock also counts the time spent waiting for a core.
double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// The keys page: the window opened on it, from its construction (both logs
// read, the per-key figures counted) to the end of the page's first paint.
void openOnTheKeysPage(int runs)
{
    QTemporaryDir dir;
    QFile keys(dir.filePath(KeysFileName));
    const QByteArray bytes = bench::sampleKeysLog(runs);
    if (!writeLog(dir.path(), runs) || !keys.open(QIODevice::WriteOnly) || keys.write(bytes) != bytes.size())
        return;
    keys.close();
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = cpuMs();
    ScoreWindow window(dir.filePath(QStringLiteral("Score.txt")));
    auto *pages = window.findChild<QTabWidget *>();
    pages->setCurrentIndex(pages->count() - 1);
    PaintCounter painted(pages->currentWidget());
    window.show();
    while (painted.paints == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("keys page: %d runs, %lld bytes; open to its first frame: %.1f ms (CPU %.1f ms)  %s\n", runs,
                static_cast<long long>(bytes.size()), ms(timer), cpuMs() - cpuStart, qPrintable(window.reportLine()));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && QByteArray(argv[1]) == "--write")
        return writeLog(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3])) ? 0 : 1;

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    QApplication::setFont(defaultWindowFont());
    const int runs = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int keyRuns = argc > 2 ? std::atoi(argv[2]) : 10000;

    QTemporaryDir dir;
    if (!writeLog(dir.path(), runs))
        return 1;
    const QString path = dir.filePath(QStringLiteral("Score.txt"));
    std::printf("log: %d runs, %lld bytes\n", runs, static_cast<long long>(QFileInfo(path).size()));

    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = cpuMs();
        ScoreLogReader reader;
        qsizetype records = 0;
        // In slices of a mebibyte, as the window reads.
        for (qsizetype at = 0; at < bytes.size(); at += 1 << 20)
            records += reader.feed(QByteArrayView(bytes).sliced(at, std::min<qsizetype>(1 << 20, bytes.size() - at))).size();
        std::printf("reader alone: %lld records in %.1f ms (CPU %.1f ms)\n", static_cast<long long>(records),
                    ms(timer), cpuMs() - cpuStart);
    }
    const long rssBefore = statusKib("VmRSS");

    // Open: the window built, the log read, shown, and its first frame
    // painted (the paint of the window and of everything in it).
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = cpuMs();
    ScoreWindow window(path);
    PaintCounter painted(&window);
    window.show();
    while (painted.paints == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double openMs = ms(timer);
    std::printf("open to first frame: %.1f ms (CPU %.1f ms)  %s\n", openMs, cpuMs() - cpuStart,
                qPrintable(window.reportLine()));
    std::printf("memory after open: VmRSS %ld KiB (%ld KiB before the window), VmHWM %ld KiB\n", statusKib("VmRSS"),
                rssBefore, statusKib("VmHWM"));

    // Append: the drill's own append, then the watcher's notice, the read
    // of the new line, the figures and charts, and the repaint.
    QRandomGenerator random(99);
    QDateTime clock(QDate(2026, 1, 1), QTime(20, 0));
    const int appendCount = qEnvironmentVariableIntValue("BENCH_APPENDS") > 0 ? qEnvironmentVariableIntValue("BENCH_APPENDS") : 30;
    std::vector<double> samples;
    std::vector<double> cpuSamples;
    for (int i = 0; i < appendCount; ++i) {
        const QString before = window.reportLine();
        const int paintsBefore = painted.paints;
        QElapsedTimer append;
        append.start();
        const double cpuBefore = cpuMs();
        if (!AppendScoreRecord(bench::sampleRun(random, clock, runs, runs), dir.path()).ok())
            return 1;
        while (window.reportLine() == before || painted.paints == paintsBefore)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        samples.push_back(ms(append));
        cpuSamples.push_back(cpuMs() - cpuBefore);
    }
    std::printf("append one run to on screen: median %.1f ms, max %.1f ms; CPU median %.1f ms (%zu appends)\n",
                median(samples), *std::max_element(samples.begin(), samples.end()), median(cpuSamples),
                samples.size());
    std::printf("memory at the end: VmRSS %ld KiB, VmHWM %ld KiB\n", statusKib("VmRSS"), statusKib("VmHWM"));
    openOnTheKeysPage(keyRuns);
    return 0;
}
