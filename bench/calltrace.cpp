// Registration cost: one procedure entry and two arguments on a full trace.
#include "base/ErrPtnr.h"

#include <benchmark/benchmark.h>

static void BM_RegisterProcedureWithTwoArguments(benchmark::State& state) {
    const QString declaration = QStringLiteral("[frmMain] Private Sub Naechstes(Zeile As Long, Datei As String)");
    const QString a = QStringLiteral("Zeile"), b = QStringLiteral("Datei");
    const QString file = QStringLiteral("/home/kiosk/Musik/Interpret - Titel.mp3");
    for (int i = 0; i < 50; ++i) ErrPtnr::CallStack(declaration);  // full ring
    int32_t row = 1;
    for (auto _ : state) {
        ErrPtnr::CallStack(declaration);
        ErrPtnr::CallStackParam(b, file);
        ErrPtnr::CallStackParam(a, ++row);
    }
    benchmark::DoNotOptimize(ErrPtnr::ring().size());
}
BENCHMARK(BM_RegisterProcedureWithTwoArguments);

BENCHMARK_MAIN();
