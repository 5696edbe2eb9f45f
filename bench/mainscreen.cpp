// Filling the main screen's archive row by row, as the scan does, at 5,000 and 50,000 songs,
// beside the first rows of an empty archive and beside the tag reads alone.
#include "bench_support.h"
#include "catalogue/modMP3Tags.h"
#include "kiosk/frmMain.h"
#include "kiosk/grid/FlexGrid.h"
#include "platform/screen.h"
#include "support/testenv.h"
#include "support/testmedia.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using benchsupport::seconds;

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

// Adds rows from..to-1; returns the seconds it took.
double addRows(frmMain& m, int from, int to) {
    const std::vector<QString>& f = files();
    const Clock::time_point t0 = Clock::now();
    for (int i = from; i < to; ++i) m.EineZeileInsArchiv(f[static_cast<size_t>(i) % f.size()], 0);
    return seconds(Clock::now() - t0);
}

constexpr int Measured = 1000;

// Time per row of the last 1,000 rows added to an archive of n rows; "first_per_row" is the
// time per row of the first 1,000 rows of the same fill, "x_first" the one over the other
// (near 1: a row costs the same in a full archive as in an empty one).
void BM_RowAtArchiveSize(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    frmMain& m = frmMain::instance();
    double last = 0, first = 0;
    for (auto _ : state) {
        m.TabelleLeeren(m.MSFlexGrid1);
        first += addRows(m, 0, Measured);
        addRows(m, Measured, n - Measured);
        const double t = addRows(m, n - Measured, n);
        state.SetIterationTime(t);
        last += t;
        benchmark::DoNotOptimize(m.MSFlexGrid1->Rows());
    }
    const double rows = static_cast<double>(Measured) * static_cast<double>(state.iterations());
    state.counters["per_row"] = benchmark::Counter(rows, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["first_per_row"] = first / rows;
    state.counters["x_first"] = last / first;
}
BENCHMARK(BM_RowAtArchiveSize)->Arg(5000)->Arg(50000)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// The whole fill, averaged per row; "tags_per_row" is reading the same files' tags alone,
// in the same iteration, and "x_tags" the fill's time over that.
void BM_FillWholeArchive(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<QString>& f = files();
    frmMain& m = frmMain::instance();
    double fill = 0, tags = 0;
    for (auto _ : state) {
        const Clock::time_point t0 = Clock::now();
        int64_t chars = 0;
        for (int i = 0; i < n; ++i) chars += ReadSongTagsOrRaise(f[static_cast<size_t>(i) % f.size()]).title.size();
        benchmark::DoNotOptimize(chars);
        tags += seconds(Clock::now() - t0);
        m.TabelleLeeren(m.MSFlexGrid1);
        const double t = addRows(m, 0, n);
        state.SetIterationTime(t);
        fill += t;
        benchmark::DoNotOptimize(m.MSFlexGrid1->Rows());
    }
    const double rows = static_cast<double>(n) * static_cast<double>(state.iterations());
    state.counters["per_row"] = benchmark::Counter(rows, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["tags_per_row"] = tags / rows;
    state.counters["x_tags"] = fill / tags;
}
BENCHMARK(BM_FillWholeArchive)->Arg(5000)->Arg(50000)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return benchsupport::runKioskBenchmarks(argc, argv); }
