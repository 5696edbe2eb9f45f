// The all-rows length pass against opening each file bare with libmpg123 and
// asking its length, and the CPU time of a wait. Besides: the pass over 5,000 songs
// with 30 files that do not decode against the same 5,000 alone, and over 2,000
// five-minute songs without an Info header against the same songs with one.
// MELOTRA_BENCH_SONGS=<folder> measures a tree of real MP3s (for example 2,000
// five-minute songs); without it a few short songs are encoded on the spot.
#include "bench_support.h"
#include "base/modStandard.h"
#include "catalogue/modPlayer.h"
#include "kiosk/frmMain.h"
#include "kiosk/grid/FlexGrid.h"
#include "platform/mixer.h"
#include "platform/screen.h"
#include "platform/sound.h"
#include "support/testenv.h"
#include "support/testmedia.h"

#include <QApplication>
#include <QDirIterator>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <functional>
#include <thread>
#include <utility>
#include <cmath>
#include <unistd.h>
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

using benchsupport::bareOpenAndAsk;

using benchsupport::processCpu;
using benchsupport::seconds;

void BM_BareOpenAndAsk(benchmark::State& state) {
    mpg123_init();
    int64_t sum = 0;
    for (auto _ : state)
        for (const QString& f : songs()) sum += bareOpenAndAsk(f);
    benchmark::DoNotOptimize(sum);
    state.counters["songs"] = double(songs().size());
    // It is the floor the probes below are measured against.
    state.SetLabel("baseline itself: libmpg123 alone, no ratio");
}
BENCHMARK(BM_BareOpenAndAsk)->Unit(benchmark::kMillisecond)->UseRealTime();

// The probe alone, file by file; x_bare: its time over the bare open's on the same files in
// the same iteration.
void BM_LiedLaengeErmitteln(benchmark::State& state) {
    platform::TestAudioOutput out;
    int64_t sum = 0;
    double probe = 0, bare = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto t0 = std::chrono::steady_clock::now();
        for (const QString& f : songs()) sum += bareOpenAndAsk(f);
        bare += seconds(std::chrono::steady_clock::now() - t0);
        state.ResumeTiming();
        t0 = std::chrono::steady_clock::now();
        for (const QString& f : songs()) sum += LiedLaengeErmitteln(f);
        probe += seconds(std::chrono::steady_clock::now() - t0);
    }
    benchmark::DoNotOptimize(sum);
    state.counters["songs"] = double(songs().size());
    state.counters["x_bare"] = probe / bare;
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

// An archive of many songs made from a few files by hard links: `distinct` files
// made by `make`, each linked until there are `count` names.
std::vector<QString> linkedSongs(const QString& name, int count, int distinct,
                                 const std::function<QByteArray(int)>& make) {
    const QString root = testenv::freshFolder(name);
    std::vector<QString> originals;
    for (int i = 0; i < distinct; ++i)
        originals.push_back(testmedia::writeBytes(root + QStringLiteral("/o%1.mp3").arg(i), make(i)));
    std::vector<QString> v;
    for (int i = 0; i < count; ++i) {
        const QString p = root + QStringLiteral("/%1/s%2.mp3").arg(i / 1000).arg(i);
        QDir().mkpath(root + QStringLiteral("/%1").arg(i / 1000));
        if (::link(QFile::encodeName(originals[size_t(i % distinct)]).constData(), QFile::encodeName(p).constData()) != 0)
            return {};
        v.push_back(p);
    }
    return v;
}

// One all-rows pass over an archive of files; its seconds.
double lengthPass(const std::vector<QString>& files) {
    frmMain& m = frmMain::instance();
    m.TabelleLeeren(m.MSFlexGrid1);
    for (const QString& f : files) m.EineZeileInsArchiv(f, 0);
    const auto t0 = std::chrono::steady_clock::now();
    m.ZeitenEinlesen(false);
    return seconds(std::chrono::steady_clock::now() - t0);
}

// A pass over the baseline and one over the measured files in each iteration; the
// mean seconds of each.
std::pair<double, double> sideBySide(benchmark::State& state, const std::vector<QString>& baseline,
                                     const std::vector<QString>& measured) {
    double a = 0, b = 0;
    for (auto _ : state) {
        a += lengthPass(baseline);
        b += lengthPass(measured);
    }
    const double n = double(state.iterations());
    return {a / n, b / n};
}

// 5,000 songs of three minutes with and without 30 files named .mp3 that are no
// songs (other formats renamed, noise, empty files) among them.
void BM_LengthPassWithBrokenFiles(benchmark::State& state) {
    platform::TestAudioOutput out;
    static const std::vector<QString> good = linkedSongs(QStringLiteral("bench_good"), 5000, 25, [](int i) {
        return testmedia::silentMp3Bytes(180000 + 1000 * i);
    });
    static const std::vector<QString> broken = [] {
        using testmedia::Foreign;
        const QString root = testenv::freshFolder(QStringLiteral("bench_broken"));
        const Foreign kinds[] = {Foreign::Wav, Foreign::Flac, Foreign::Ogg, Foreign::AacAdts, Foreign::Mp4};
        std::vector<QString> v;
        for (int i = 0; i < 30; ++i) {
            const QByteArray b = i % 6 == 5 ? QByteArray() : testmedia::foreignAudioBytes(kinds[i % 6], 3000000);
            v.push_back(testmedia::writeBytes(root + QStringLiteral("/kaputt%1.mp3").arg(i), b));
        }
        return v;
    }();
    if (good.empty()) return state.SkipWithError("no hard links here");
    std::vector<QString> mixed = good;
    for (size_t i = 0; i < broken.size(); ++i) mixed.insert(mixed.begin() + ptrdiff_t(i * 160 + 80), broken[i]);
    const auto [alone, with] = sideBySide(state, good, mixed);
    state.counters["good_alone_s"] = alone;
    state.counters["with_broken_s"] = with;
    state.counters["added_s"] = with - alone;
    state.counters["per_broken_ms"] = 1000.0 * (with - alone) / double(broken.size());
    state.counters["x_alone"] = with / alone;
}
BENCHMARK(BM_LengthPassWithBrokenFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// 2,000 five-minute songs of plain frames, as encoders without the Info header write
// them, against the same songs with it. x_info: the pass without header over the pass
// with it; the frames of a song without header are looked at every few seconds, and
// this stays within 3. max_error_ms: the largest difference between a length at open
// and a full decode of the song.
void BM_LengthPassWithoutInfoHeader(benchmark::State& state) {
    platform::TestAudioOutput out;
    const auto length = [](int i) { return int32_t(300000 + 7919 * i % 20000); };
    static const std::vector<QString> info = linkedSongs(QStringLiteral("bench_info"), 2000, 20, [&](int i) {
        return testmedia::silentMp3Bytes(length(i), 128, true);
    });
    static const std::vector<QString> plain = linkedSongs(QStringLiteral("bench_plain"), 2000, 20, [&](int i) {
        return testmedia::silentMp3Bytes(length(i), 128, false);
    });
    if (info.empty() || plain.empty()) return state.SkipWithError("no hard links here");
    const auto [withInfo, without] = sideBySide(state, info, plain);
    state.counters["with_info_s"] = withInfo;
    state.counters["without_s"] = without;
    state.counters["x_info"] = without / withInfo;
    state.counters["per_song_without_ms"] = 1000.0 * without / double(plain.size());
    // Each distinct song once more, its length at open against decoding every sample.
    double worst = 0;
    platform::SoundChannel c;
    for (size_t i = 0; i < 20; ++i) {
        c.setFileName(plain[i]);
        c.command(QStringLiteral("open"));
        const double decoded = double(platform::msForFrames(testmedia::decodedFrames(plain[i])));
        worst = std::max(worst, std::abs(double(c.length()) - decoded));
    }
    state.counters["max_error_ms"] = worst;
}
BENCHMARK(BM_LengthPassWithoutInfoHeader)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// CPU time of MySleep(100): near zero when it sleeps between events, beside the CPU
// time of a plain sleep of 100 ms in the same iteration. Both are fractions of a
// millisecond, so the ratio swings; x_wait, the CPU share of the 100 ms waited, is the
// figure to watch.
void BM_MySleep100(benchmark::State& state) {
    double plain = 0, mine = 0;
    for (auto _ : state) {
        state.PauseTiming();
        double c0 = processCpu();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        plain += processCpu() - c0;
        state.ResumeTiming();
        c0 = processCpu();
        MySleep(100);
        mine += processCpu() - c0;
    }
    const double n = double(state.iterations());
    state.counters["cpu_ms"] = 1000.0 * mine / n;
    state.counters["plain_sleep_cpu_ms"] = 1000.0 * plain / n;
    if (plain > 0) state.counters["x_plain"] = mine / plain;
    state.counters["x_wait"] = mine / (0.1 * n);
}
BENCHMARK(BM_MySleep100)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(10);

}  // namespace

int main(int argc, char** argv) { return benchsupport::runKioskBenchmarks(argc, argv); }
