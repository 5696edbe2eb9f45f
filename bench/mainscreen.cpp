// Filling the main screen's archive row by row, as the scan does, at 5,000 and 50,000 songs.
#include "bench_support.h"
#include "kiosk/frmMain.h"
#include "kiosk/grid/FlexGrid.h"
#include "platform/screen.h"
#include "support/testenv.h"
#include "support/testmedia.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

// A few real tagged files; the rows cycle through them (each row reads its file's tag).
const std::vector<QString>& files() {
    static std::vector<QString> f = [] {
        std::vector<QString> v;
        const QString dir = testenv::freshFolder(QStringLiteral("bench_songs"));
        for (int i = 0; i < 16; ++i) {
            testmedia::Id3v1 tag;
            tag.rawTitle = QStringLiteral("Titel %1").arg(i).toLatin1().leftJustified(30, ' ');
            tag.rawArtist = QStringLiteral("Interpret %1").arg(i % 5).toLatin1().leftJustified(30, ' ');
            tag.genre = static_cast<uint8_t>(i);
            v.push_back(testmedia::writeSilentMp3(dir + QStringLiteral("/s%1.mp3").arg(i), 1000, tag));
        }
        return v;
    }();
    return f;
}

void addRows(frmMain& m, int from, int to) {
    const std::vector<QString>& f = files();
    for (int i = from; i < to; ++i) m.EineZeileInsArchiv(f[static_cast<size_t>(i) % f.size()], 0);
}

// Time per row of the last 1,000 rows added to an archive of n rows.
void BM_RowAtArchiveSize(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    constexpr int Measured = 1000;
    frmMain& m = frmMain::instance();
    for (auto _ : state) {
        state.PauseTiming();
        m.TabelleLeeren(m.MSFlexGrid1);
        addRows(m, 0, n - Measured);
        state.ResumeTiming();
        addRows(m, n - Measured, n);
        benchmark::DoNotOptimize(m.MSFlexGrid1->Rows());
    }
    state.counters["per_row"] = benchmark::Counter(static_cast<double>(Measured) * state.iterations(),
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RowAtArchiveSize)->Arg(5000)->Arg(50000)->Iterations(3)->Unit(benchmark::kMillisecond);

// The whole fill, averaged per row.
void BM_FillWholeArchive(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    frmMain& m = frmMain::instance();
    for (auto _ : state) {
        state.PauseTiming();
        m.TabelleLeeren(m.MSFlexGrid1);
        state.ResumeTiming();
        addRows(m, 0, n);
        benchmark::DoNotOptimize(m.MSFlexGrid1->Rows());
    }
    state.counters["per_row"] = benchmark::Counter(static_cast<double>(n) * state.iterations(),
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FillWholeArchive)->Arg(5000)->Arg(50000)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return benchsupport::runKioskBenchmarks(argc, argv); }
