// Loading and saving the options: Form_Load and Form_Unload of the main
// window's procedures on a real tekora.ini, with controls that only record.

#include "BenchApp.h"

#include "support/FakeForm1Controls.h"
#include "support/FakePlatform.h"

#include "drill/Form1Procedures.h"

#include <QDir>

namespace tekkora::bench {
namespace {

struct Settings {
    QTemporaryDir dir;
    testing::FakePlatform platform;
    testing::FakeForm1Controls controls;
    DrillState state;
    Form1Procedures procedures{state, platform.services(dir.path()), controls};
    QString path() const { return QDir(dir.path()).filePath(QStringLiteral("tekora.ini")); }
};

void BM_FormLoad(benchmark::State &state)
{
    Settings s;
    if (state.range(0) != 0)
        writeFile(s.path(), EndlessDigits);
    for (auto _ : state)
        s.procedures.Form_Load();
    state.SetLabel(state.range(0) != 0 ? "tekora.ini present" : "no tekora.ini");
}
BENCHMARK(BM_FormLoad)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_FormUnload(benchmark::State &state)
{
    Settings s;
    writeFile(s.path(), EndlessDigits);
    s.procedures.Form_Load();
    for (auto _ : state)
        s.procedures.Form_Unload();
    if (!s.controls.errors.isEmpty())
        state.SkipWithError(qPrintable(s.controls.errors.first()));
}
BENCHMARK(BM_FormUnload)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tekkora::bench

TEKKORA_BENCHMARK_MAIN()
