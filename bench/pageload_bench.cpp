// Loading a page of 999 buttons with their icons, as a page switch does.
#include "core/filezelnori.h"
#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/icons.h"
#include "support/testenv.h"
#include <QDir>
#include <benchmark/benchmark.h>

namespace {

void BM_LoadPageOf999Buttons(benchmark::State& state) {
    testenv::Env env;
    plat::installShellIconLibrary();
    const QString targets = env.host("C:\\DATA");
    QDir().mkpath(targets);
    QStringList page = {" 998", "たくさん"};
    for (int i = 0; i < 999; ++i) {
        const QString name = QStringLiteral("file%1.txt").arg(i);
        testenv::writeFile(targets + "/" + name, "x");
        page << "C:\\DATA\\" + name << "C:\\WINDOWS\\system\\shell32.dll" << name
             << (i % 3 == 0 ? " 3" : " 0");
    }
    plat::writeTextFile("C:\\WINDOWS\\znP2.ini", page);
    plat::writeTextFile("C:\\WINDOWS\\znP1.ini", {"999", "空"});
    for (auto _ : state) {
        core::FileZelnori w;
        w.wdir = plat::GetWindowsDirectory();
        w.pageCount = 2;
        w.curPage = 2;
        w.ReadPage(2);
        benchmark::DoNotOptimize(w.btnCount);
        state.PauseTiming();
        w.clearPanel();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadPageOf999Buttons)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
