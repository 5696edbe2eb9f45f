// The all-rows length pass against opening each file bare with libmpg123 and
// asking its length, and the CPU time of a wait.
// MELOTRA_BENCH_SONGS=<folder> measures a tree of real MP3s (for example 2,000
// five-minute songs); without it a few short songs are encoded on the spot.
#include "bench_support.h"
#include "base/modStandard.h"
#include "catalogue/modPlayer.h"
#include "kiosk/frmMain.h"
#include "kiosk/grid/FlexGrid.h"
#include "platform/mixer.h"
#include "platform/screen.h"
#include "support/testenv.h"
#include "support/testmedia.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <mpg123.h>
#include <vector>

namespace {

const std::vector<QString>& songs() {
    static const std::vector<QString> list = [] {
        std::vector<QString> v;
        QString root = qEnvironmentVariable("MELOTRA_BENCH_SONGS");
        if (root.isEmpty()) {
            root = testenv::freshFolder(QStringLiteral("bench_lengths"));
            for (int i = 0; i < 8; ++i)
                testmedia::writeToneMp3(root + QStringLiteral("/s%1.mp3").arg(i), 3000 + 250 * i, 330 + 40 * i, 8000);
        }
        QDirIterator it(root, {QStringLiteral("*.mp3")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) v.push_back(it.next());
        std::sort(v.begin(), v.end());
        return v;
    }();
    return list;
}

// The least a length can cost: open, ask, close.
int64_t bareOpenAndAsk(const QString& path) {
    mpg123_handle* h = mpg123_new(nullptr, nullptr);
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    int64_t n = -1;
    if (mpg123_open(h, QFile::encodeName(path).constData()) == MPG123_OK) n = mpg123_length(h);
    mpg123_delete(h);
    return n;
}

using benchsupport::processCpu;
using benchsupport::seconds;

void BM_BareOpenAndAsk(benchmark::State& state) {
    mpg123_init();
    int64_t sum = 0;
    for (auto _ : state)
        for (const QString& f : songs()) sum += bareOpenAndAsk(f);
    benchmark::DoNotOptimize(sum);
    state.counters["songs"] = double(songs().size());
}
BENCHMARK(BM_BareOpenAndAsk)->Unit(benchmark::kMillisecond)->UseRealTime();

// The probe alone, file by file.
void BM_LiedLaengeErmitteln(benchmark::State& state) {
    platform::TestAudioOutput out;
    int64_t sum = 0;
    for (auto _ : state)
        for (const QString& f : songs()) sum += LiedLaengeErmitteln(f);
    benchmark::DoNotOptimize(sum);
    state.counters["songs"] = double(songs().size());
}
BENCHMARK(BM_LiedLaengeErmitteln)->Unit(benchmark::kMillisecond)->UseRealTime();

// ZeitenEinlesen over an archive of all songs; x_bare is its time per song over the
// bare baseline's, both taken in the same iteration on the same files.
void BM_LengthPassAllRows(benchmark::State& state) {
    platform::TestAudioOutput out;
    mpg123_init();
    frmMain& m = frmMain::instance();
    double pass = 0, bare = 0, cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        m.TabelleLeeren(m.MSFlexGrid1);
        for (const QString& f : songs()) m.EineZeileInsArchiv(f, 0);
        auto t0 = std::chrono::steady_clock::now();
        int64_t sum = 0;
        for (const QString& f : songs()) sum += bareOpenAndAsk(f);
        bare += seconds(std::chrono::steady_clock::now() - t0);
        benchmark::DoNotOptimize(sum);
        state.ResumeTiming();
        t0 = std::chrono::steady_clock::now();
        const double c0 = processCpu();
        m.ZeitenEinlesen(false);
        cpu += processCpu() - c0;
        pass += seconds(std::chrono::steady_clock::now() - t0);
        if (m.MSFlexGrid1->TextMatrix(m.MSFlexGrid1->Rows() - 1, 3).isEmpty()) state.SkipWithError("length missing");
    }
    const double n = double(songs().size()) * double(state.iterations());
    state.counters["songs"] = double(songs().size());
    state.counters["per_song_ms"] = 1000.0 * pass / n;
    state.counters["bare_per_song_ms"] = 1000.0 * bare / n;
    state.counters["x_bare"] = pass / bare;
    // ZeitenEinlesen starts with a fixed wait of 100 ms: the part that grows with the songs.
    state.counters["per_song_after_wait_ms"] = 1000.0 * (pass - 0.1 * double(state.iterations())) / n;
    state.counters["x_bare_after_wait"] = (pass - 0.1 * double(state.iterations())) / bare;
    state.counters["cpu_s"] = cpu / double(state.iterations());
}
BENCHMARK(BM_LengthPassAllRows)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// CPU time of MySleep(100): near zero when it sleeps between events.
void BM_MySleep100(benchmark::State& state) {
    for (auto _ : state) MySleep(100);
}
BENCHMARK(BM_MySleep100)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(10);

}  // namespace

int main(int argc, char** argv) { return benchsupport::runKioskBenchmarks(argc, argv); }
