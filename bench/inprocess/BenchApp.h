#pragma once

// What every in-process benchmark starts with: a widget application on the
// offscreen platform, in the program's fonts, and a private data directory.

#include "drill/DrillState.h"
#include "DesktopBeeper.h"
#include "platform/SystemServices.h"
#include "platform/Services.h"
#include "Fonts.h"
#include "Form1.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <vector>

namespace tekkora::bench {

inline void useOffscreenPlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

inline void useProgramFonts()
{
    installFontSubstitutions();
    QApplication::setFont(defaultWindowFont());
}

// Windows and files made lazily by the benchmarks go away here, while the
// application still exists.
inline std::vector<std::function<void()>> &teardown()
{
    static std::vector<std::function<void()>> steps;
    return steps;
}

inline void runTeardown()
{
    for (auto it = teardown().rbegin(); it != teardown().rend(); ++it)
        (*it)();
    teardown().clear();
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    if (!testing::writeAll(path, bytes))
        qFatal("cannot write %s", qPrintable(path));
}

// Digits, never-ending run, upper case: every key press is a question.
inline const QByteArray EndlessDigits = QByteArrayLiteral("[Data]\r\nMode=2 \r\nNum=32767 \r\nCap=1 \r\n");

// The real main window on the real services, shown, with tekora.ini holding
// the given settings in a private directory.
struct RealMainWindow {
    QTemporaryDir dir;
    DrillState state;
    SystemTickCounter ticks;
    DesktopBeeper beeper;
    SystemRandomGenerator random;
    SystemLocalClock clock;
    std::unique_ptr<Form1> form;

    explicit RealMainWindow(const QByteArray &settings)
    {
        writeFile(dir.filePath(QStringLiteral("tekora.ini")), settings);
        form = std::make_unique<Form1>(state, Services{ticks, beeper, random, clock, dir.path()});
        form->setProgramEnder([] {});
    }

    void show()
    {
        form->show();
        beeper.startAtFirstInput();
        QApplication::setActiveWindow(form.get());
        if (!QTest::qWaitForWindowExposed(form.get()))
            qFatal("the main window was never exposed");
    }

    bool running() const { return !form->findChild<QPushButton *>(QStringLiteral("Command1"))->isEnabled(); }

    // Space, as a person presses it: to whatever holds the focus.
    void pressSpace()
    {
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr ? focus : form.get(), Qt::Key_Space);
    }
};

// A main() for Google Benchmark programs that need the application.
#define TEKKORA_BENCHMARK_MAIN()                                                                                     \
    int main(int argc, char **argv)                                                                                   \
    {                                                                                                                 \
        tekkora::bench::useOffscreenPlatform();                                                                       \
        QApplication app(argc, argv);                                                                                 \
        tekkora::bench::useProgramFonts();                                                                            \
        benchmark::Initialize(&argc, argv);                                                                           \
        if (benchmark::ReportUnrecognizedArguments(argc, argv))                                                       \
            return 1;                                                                                                 \
        benchmark::RunSpecifiedBenchmarks();                                                                          \
        benchmark::Shutdown();                                                                                        \
        tekkora::bench::runTeardown();                                                                                \
        return 0;                                                                                                     \
    }

} // namespace tekkora::bench
