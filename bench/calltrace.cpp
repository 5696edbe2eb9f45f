// Registration cost: one procedure entry and two arguments on a full trace, beside the
// least a trace of them costs: the same three texts, unformatted, into a ring of 40.
#include "base/ErrPtnr.h"
#include "bench_support.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <deque>

namespace {

using Clock = std::chrono::steady_clock;
using benchsupport::seconds;

constexpr int Aufrufe = 1000;  // per iteration, each timed as one batch

// The three texts kept as they come, newest first, the oldest dropped beyond 40 entries.
void plainRing(std::deque<QString>& ring, const QString& declaration, const QString& datei, int32_t zeile) {
    for (const QString& t : {declaration, datei, QString::number(zeile)}) {
        ring.push_front(t);
        if (ring.size() > 40) ring.pop_back();
    }
}

// "per_call" is the tracer's time per registration, "plain_per_call" the plain ring's, and
// "x_plain" the one over the other, both taken in turn in each iteration.
void BM_RegisterProcedureWithTwoArguments(benchmark::State& state) {
    const QString declaration = QStringLiteral("[frmMain] Private Sub Naechstes(Zeile As Long, Datei As String)");
    const QString a = QStringLiteral("Zeile"), b = QStringLiteral("Datei");
    const QString file = QStringLiteral("/home/kiosk/Musik/Interpret - Titel.mp3");
    for (int i = 0; i < 50; ++i) ErrPtnr::CallStack(declaration);  // full ring
    std::deque<QString> ring;
    int32_t row = 1;
    double tracer = 0, plain = 0;
    for (auto _ : state) {
        Clock::time_point t0 = Clock::now();
        for (int i = 0; i < Aufrufe; ++i) plainRing(ring, declaration, file, ++row);
        plain += seconds(Clock::now() - t0);
        t0 = Clock::now();
        for (int i = 0; i < Aufrufe; ++i) {
            ErrPtnr::CallStack(declaration);
            ErrPtnr::CallStackParam(b, file);
            ErrPtnr::CallStackParam(a, ++row);
        }
        const double t = seconds(Clock::now() - t0);
        state.SetIterationTime(t);
        tracer += t;
    }
    benchmark::DoNotOptimize(ErrPtnr::ring().size());
    benchmark::DoNotOptimize(ring.size());
    const double calls = static_cast<double>(Aufrufe) * static_cast<double>(state.iterations());
    state.counters["per_call"] = benchmark::Counter(calls, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["plain_per_call"] = plain / calls;
    state.counters["x_plain"] = tracer / plain;
}
BENCHMARK(BM_RegisterProcedureWithTwoArguments)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
