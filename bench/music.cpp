// One tick of the play loop with 100 queued songs over an archive of 50,000 rows:
// the time bar, the end test and, once a minute, the start times of the whole playlist;
// and the reading of the lengths of 1,000 archive songs, beside a bare decoder's.
#include "bench_support.h"
#include "catalogue/modPlayer.h"
#include "kiosk/frmMain.h"
#include "kiosk/grid/FlexGrid.h"
#include "platform/clock.h"
#include "platform/mixer.h"
#include "platform/screen.h"
#include "platform/vbtimer.h"
#include "platform/virtualtime.h"
#include "support/testenv.h"
#include "support/testmedia.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

constexpr int ArchivZeilen = 50000;
constexpr int PlaylistZeilen = 100;

frmMain& screen() {
    static frmMain& m = [] () -> frmMain& {
        frmMain& f = frmMain::instance();
        f.Timer1->setEnabled(false);
        f.FadingSekunden = 10;
        const QString dir = testenv::freshFolder(QStringLiteral("bench_music"));
        QStringList files;
        for (int i = 0; i < 8; ++i)
            files << testmedia::writeSilentMp3(dir + QStringLiteral("/s%1.mp3").arg(i), 600000);
        kioskgrid::FlexGrid& g1 = *f.MSFlexGrid1;
        g1.setRows(ArchivZeilen + 1);
        for (int r = 1; r <= ArchivZeilen; ++r) {
            g1.setTextMatrix(r, 0, QStringLiteral("Titel %1").arg(r));
            g1.setTextMatrix(r, 1, QStringLiteral("Interpret %1").arg(r % 500));
            g1.setTextMatrix(r, 3, QStringLiteral("03:20"));
            g1.setTextMatrix(r, 4, dir + QStringLiteral("/x%1.mp3").arg(r));
        }
        kioskgrid::FlexGrid& g2 = *f.MSFlexGrid2;
        for (int r = 1; r <= PlaylistZeilen; ++r) {
            g2.AddItem(QStringLiteral("Titel %1").arg(r));
            g2.setTextMatrix(r, 4, r == 1 ? files[0] : dir + QStringLiteral("/p%1.mp3").arg(r));
            g2.setTextMatrix(r, 5, QStringLiteral("03:20"));
        }
        // The first tick starts row 1; the song is long enough to play through the whole benchmark.
        f.Timer1_Timer();
        return f;
    }();
    return m;
}

using Clock = std::chrono::steady_clock;
using benchsupport::seconds;

// No baseline: nothing less does a tick's work. Its figure stands against the 250 ms in
// which the next tick comes: "share_of_interval" is the part of them it takes.
void BM_Tick(benchmark::State& state) {
    frmMain& m = screen();
    for (auto _ : state) {
        m.LetzteMinute = platform::now();
        m.Timer1_Timer();
    }
    benchmark::DoNotOptimize(PlayerPosition(m.AktPlayer));
    state.counters["share_of_interval"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 0.250,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetLabel("no baseline: set against the 250 ms interval");
}
BENCHMARK(BM_Tick)->Unit(benchmark::kMicrosecond);

// The tick at the turn of a minute, with the start times of all 100 rows; "tick_us" is a
// plain tick (BM_Tick) in the same iteration, "x_tick" this tick's time over it.
void BM_TickWithStartTimes(benchmark::State& state) {
    frmMain& m = screen();
    double minute = 0, plain = 0;
    for (auto _ : state) {
        Clock::time_point t0 = Clock::now();
        m.LetzteMinute = platform::now();
        m.Timer1_Timer();
        plain += seconds(Clock::now() - t0);
        t0 = Clock::now();
        m.LetzteMinute = platform::now().addSecs(-60);
        m.Timer1_Timer();
        const double t = seconds(Clock::now() - t0);
        state.SetIterationTime(t);
        minute += t;
    }
    benchmark::DoNotOptimize(m.MSFlexGrid2->TextMatrix(PlaylistZeilen, 3));
    state.counters["tick_us"] = 1e6 * plain / static_cast<double>(state.iterations());
    state.counters["x_tick"] = minute / plain;
}
BENCHMARK(BM_TickWithStartTimes)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Reading the lengths of 1,000 archive songs, as after the hand-over. The probe's waits run on
// virtual time, so the figure is the CPU the reading itself costs per song (goal: below 2 ms).
constexpr int LaengenLieder = 1000;

const QStringList& lengthSongs() {
    static const QStringList files = [] {
        const QString dir = testenv::freshFolder(QStringLiteral("bench_lengths"));
        QStringList v;
        testmedia::SilentOptions opt;
        opt.bitrateKbps = 32;  // a thousand songs of about three minutes stay below a gigabyte
        for (int i = 0; i < LaengenLieder; ++i)
            v << testmedia::writeSilentMp3(dir + QStringLiteral("/l%1.mp3").arg(i), 150000 + (i % 61) * 1000, opt);
        return v;
    }();
    return files;
}

// "bare_per_song" is libmpg123 alone asked for the same files' lengths in the same iteration
// (bareOpenAndAsk), "x_bare" the reading's time over it.
void BM_SongLengths(benchmark::State& state) {
    frmMain& m = frmMain::instance();
    m.Timer1->setEnabled(false);  // the play loop's ticks inside the waits are not the reading's cost
    const QStringList& files = lengthSongs();
    // Kept to the end of the run: timers scheduled on it must not outlive it.
    static platform::VirtualTime* vt = new platform::VirtualTime();
    kioskgrid::FlexGrid& g1 = *m.MSFlexGrid1;
    uint64_t gewartet = 0;
    double lesen = 0, bare = 0;
    for (auto _ : state) {
        state.PauseTiming();
        g1.setRows(LaengenLieder + 1);
        for (int r = 1; r <= LaengenLieder; ++r) {
            g1.setTextMatrix(r, 0, QStringLiteral("Titel %1").arg(r));
            g1.setTextMatrix(r, 3, QString());
            g1.setTextMatrix(r, 4, files[r - 1]);
        }
        Clock::time_point t0 = Clock::now();
        int64_t summe = 0;
        for (const QString& f : files) summe += benchsupport::bareOpenAndAsk(f);
        benchmark::DoNotOptimize(summe);
        bare += seconds(Clock::now() - t0);
        const uint64_t vorher = vt->elapsed();
        t0 = Clock::now();
        state.ResumeTiming();
        m.ZeitenEinlesen(false);
        state.PauseTiming();
        lesen += seconds(Clock::now() - t0);
        gewartet += vt->elapsed() - vorher;
        for (int r = 1; r <= LaengenLieder; ++r) {
            const int s = 150 + (r - 1) % 61;
            const QString soll = QStringLiteral("%1:%2").arg(s / 60, 2, 10, QLatin1Char('0')).arg(s % 60, 2, 10, QLatin1Char('0'));
            if (g1.TextMatrix(r, 3) != soll) {
                state.SkipWithError("a song length was read wrongly");
                break;
            }
        }
        state.ResumeTiming();
    }
    const double lieder = static_cast<double>(LaengenLieder) * static_cast<double>(state.iterations());
    state.counters["cpu_per_song"] =
        benchmark::Counter(lieder, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["waited_ms_per_song"] = benchmark::Counter(static_cast<double>(gewartet) / lieder);
    state.counters["bare_per_song"] = bare / lieder;
    state.counters["x_bare"] = lesen / bare;
}
BENCHMARK(BM_SongLengths)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return benchsupport::runKioskBenchmarks(argc, argv,
                                            [] { platform::Mixer::instance().select(platform::AudioOutput::Silent); });
}
