// 500 short runs one after another, each with its real results window,
// closed by its OK button from a timer: the resident set before and after,
// and how many results windows and widgets are still alive. Every results
// window must be destroyed when it closes, so nothing may grow.
//
//   bench_runs [runs] [questions per run]

#include "BenchApp.h"
#include "ProcessStatus.h"

#include "drill/DrillState.h"
#include "platform/Services.h"
#include "Form1.h"
#include "Form2.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <malloc.h>
#include <memory>

namespace tekkora::bench {
namespace {

// Bytes the heap has handed out and not got back: a leak shows here even
// when freed pages keep the resident set where it was.
long heapInUseKib()
{
    return long(mallinfo2().uordblks / 1024);
}

int liveResultsWindows()
{
    int count = 0;
    for (QWidget *widget : QApplication::allWidgets())
        if (qobject_cast<Form2 *>(widget) != nullptr)
            ++count;
    return count;
}

// Presses OK on the results window once it is up.
void pressOkWhenShown()
{
    QTimer::singleShot(0, [] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *form2 = qobject_cast<Form2 *>(modal);
        if (form2 == nullptr) {
            pressOkWhenShown();
            return;
        }
        form2->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    });
}

struct Rig : RealMainWindow {
    explicit Rig(int questions)
        : RealMainWindow(QStringLiteral("[Data]\r\nMode=2 \r\nNum=%1 \r\nCap=1 \r\n").arg(questions).toLatin1())
    {
        show();
    }

    // One run: Space, the right keys, the results window, OK.
    void playRun()
    {
        pressSpace();
        while (running()) {
            if (state.QuestionCount == state.QuestionLimit)
                pressOkWhenShown();
            QTest::keyClick(form.get(), Qt::Key(state.TargetKey));
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
};

} // namespace
} // namespace tekkora::bench

int main(int argc, char **argv)
{
    using namespace tekkora::bench;
    useOffscreenPlatform();
    QApplication app(argc, argv);
    useProgramFonts();
    const int runs = argc > 1 ? std::atoi(argv[1]) : 500;
    const int questions = argc > 2 ? std::atoi(argv[2]) : 10;

    Rig rig(questions);
    // Warm-up: the first results windows load fonts and fill caches for good.
    constexpr int WarmUp = 100;
    for (int i = 0; i < WarmUp; ++i)
        rig.playRun();

    // The table's header goes out first: the first printf maps its own code
    // and buffer, which is no growth of the drill's.
    std::printf("%-8s %10s %10s %10s %8s %14s\n", "runs", "VmRSS KiB", "VmHWM KiB", "heap KiB", "widgets",
                "live results");
    auto printRow = [](int run) {
        std::printf("%-8d %10ld %10ld %10ld %8lld %14d\n", run, statusKib("VmRSS"), statusKib("VmHWM"),
                    heapInUseKib(), static_cast<long long>(QApplication::allWidgets().size()),
                    liveResultsWindows());
        std::fflush(stdout);
    };
    printRow(-WarmUp);

    const long rssBefore = statusKib("VmRSS");
    const long heapBefore = heapInUseKib();
    const qsizetype widgetsBefore = QApplication::allWidgets().size();
    printRow(0);

    QElapsedTimer timer;
    timer.start();
    for (int i = 1; i <= runs; ++i) {
        rig.playRun();
        if (i % 100 == 0 || i == runs)
            printRow(i);
    }
    const double perRunMs = double(timer.nsecsElapsed()) / 1e6 / runs;

    const long rssAfter = statusKib("VmRSS");
    const long heapAfter = heapInUseKib();
    const qsizetype widgetsAfter = QApplication::allWidgets().size();
    std::printf("runs=%d questions_per_run=%d ms_per_run=%.2f\n", runs, questions, perRunMs);
    std::printf("rss_before_kib=%ld rss_after_kib=%ld rss_growth_kib=%ld\n", rssBefore, rssAfter, rssAfter - rssBefore);
    std::printf("heap_before_kib=%ld heap_after_kib=%ld heap_growth_kib=%ld\n", heapBefore, heapAfter,
                heapAfter - heapBefore);
    // Each results window appends its run: the log proves the windows loaded.
    QFile log(rig.dir.filePath(QStringLiteral("Score.txt")));
    const qsizetype logged = log.open(QIODevice::ReadOnly) ? log.readAll().count("\r\n") - 3 : -1;
    std::printf("runs_logged=%lld\n", static_cast<long long>(logged));
    std::printf("widgets_before=%lld widgets_after=%lld live_results_windows=%d\n",
                static_cast<long long>(widgetsBefore), static_cast<long long>(widgetsAfter), liveResultsWindows());
    return 0;
}
