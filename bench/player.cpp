// Opening a long song (its exact length known at open), decoding and mixing two
// channels against the test output, and the CPU a playing song costs.
#include "bench_support.h"
#include "base/modStandard.h"
#include "catalogue/modPlayer.h"
#include "platform/mixer.h"
#include "platform/sound.h"
#include "support/testmedia.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <ctime>
#include <functional>
#include <benchmark/benchmark.h>

namespace {

QTemporaryDir& folder() {
    static QTemporaryDir d;
    return d;
}

QString media(const QString& name, const std::function<QString(const QString&)>& make) {
    const QString p = folder().path() + "/" + name;
    return QFileInfo::exists(p) ? p : make(p);
}

using benchsupport::bareOpenAndAsk;

// The channel's open of a five-minute song at 320 kbit/s, with its Info header
// (argument 1) or without (0); x_bare: its time over the bare open's, both taken in
// each iteration on the same file.
void BM_OpenFiveMinutes320(benchmark::State& state) {
    const bool header = state.range(0) != 0;
    const QString f = media(header ? "five.mp3" : "five-plain.mp3", [header](const QString& p) {
        testmedia::SilentOptions o;
        o.bitrateKbps = 320;
        o.gaplessHeader = header;
        return testmedia::writeSilentMp3(p, 300000, o);
    });
    platform::TestAudioOutput out;
    platform::SoundChannel c;
    c.setFileName(f);
    double channel = 0, bare = 0;
    int64_t sum = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        c.command("open");
        benchmark::DoNotOptimize(c.length());
        channel += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.PauseTiming();
        t0 = std::chrono::steady_clock::now();
        sum += bareOpenAndAsk(f);
        bare += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(sum);
    state.counters["length_ms"] = c.length();
    state.counters["bare_us"] = 1e6 * bare / double(state.iterations());
    state.counters["x_bare"] = channel / bare;
}
BENCHMARK(BM_OpenFiveMinutes320)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// Two tone songs played at once; counter "x_realtime" = seconds of audio per second of CPU.
void BM_MixTwoChannels(benchmark::State& state) {
    const QString a = media("a.mp3", [](const QString& p) { return testmedia::writeToneMp3(p, 60000, 440, 12000, 320); });
    const QString b = media("b.mp3", [](const QString& p) { return testmedia::writeToneMp3(p, 60000, 660, 12000, 320); });
    platform::TestAudioOutput out;
    int64_t audioMs = 0;
    for (auto _ : state) {
        PlayerOeffnen(0, a);
        PlayerOeffnen(1, b);
        PlayerAbspielen(0);
        PlayerAbspielen(1);
        for (int i = 0; i < 240; ++i) benchmark::DoNotOptimize(out.pull(250));
        audioMs += 60000;
    }
    state.counters["x_realtime"] =
        benchmark::Counter(double(audioMs) / 1000.0, benchmark::Counter::kIsRate);
    frmPlayer::unload();
}
BENCHMARK(BM_MixTwoChannels)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// A song playing on the sound device while the user interface waits for events:
// counter "cpu_share" = process CPU time over wall time (0.02 = 2 % of a core).
void BM_PlayingWhileNobodyTouches(benchmark::State& state) {
    const QString a = media("a.mp3", [](const QString& p) { return testmedia::writeToneMp3(p, 60000, 440, 12000, 320); });
    platform::Mixer::instance().select(platform::AudioOutput::Device);
    PlayerOeffnen(0, a);
    PlayerAbspielen(0);
    const auto t0 = std::chrono::steady_clock::now();
    const std::clock_t c0 = std::clock();
    for (auto _ : state) MySleep(1000);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    state.counters["cpu_share"] = double(std::clock() - c0) / CLOCKS_PER_SEC / wall;
    state.counters["played_ms"] = PlayerPosition(0);
    frmPlayer::unload();
    platform::Mixer::instance().select(platform::AudioOutput::Silent);
}
BENCHMARK(BM_PlayingWhileNobodyTouches)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
