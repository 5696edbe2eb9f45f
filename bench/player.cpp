// Opening a long song (its exact length known at open), decoding and mixing two
// channels against the test output, and the CPU a playing song costs, each beside the
// same done by libmpg123 alone or with nothing playing.
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
#include <functional>
#include <vector>
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

// The least decoding two songs costs: libmpg123 alone reads both to their ends, into one
// buffer, without mixing. Returns the process CPU seconds it took.
double bareDecode(const QString& a, const QString& b) {
    static mpg123_handle* h = [] {
        mpg123_init();
        mpg123_handle* k = mpg123_new(nullptr, nullptr);
        mpg123_param(k, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
        return k;
    }();
    const double c0 = benchsupport::processCpu();
    std::vector<unsigned char> buf(64 * 1024);
    for (const QString& f : {a, b}) {
        if (mpg123_open(h, QFile::encodeName(f).constData()) != MPG123_OK) continue;
        size_t done = 0;
        int rc = MPG123_OK;
        while (rc == MPG123_OK || rc == MPG123_NEW_FORMAT) {
            rc = mpg123_read(h, buf.data(), buf.size(), &done);
            benchmark::DoNotOptimize(buf.data());
        }
        mpg123_close(h);
    }
    return benchsupport::processCpu() - c0;
}

// Two tone songs played at once; counter "x_realtime" = seconds of audio per second of CPU,
// "bare_ms" the CPU of bareDecode on the same two songs in the same iteration and "x_bare"
// the mix's CPU over it.
void BM_MixTwoChannels(benchmark::State& state) {
    const QString a = media("a.mp3", [](const QString& p) { return testmedia::writeToneMp3(p, 60000, 440, 12000, 320); });
    const QString b = media("b.mp3", [](const QString& p) { return testmedia::writeToneMp3(p, 60000, 660, 12000, 320); });
    platform::TestAudioOutput out;
    int64_t audioMs = 0;
    double mix = 0, bare = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bare += bareDecode(a, b);
        state.ResumeTiming();
        const double c0 = benchsupport::processCpu();
        PlayerOeffnen(0, a);
        PlayerOeffnen(1, b);
        PlayerAbspielen(0);
        PlayerAbspielen(1);
        for (int i = 0; i < 240; ++i) benchmark::DoNotOptimize(out.pull(250));
        mix += benchsupport::processCpu() - c0;
        audioMs += 60000;
    }
    state.counters["x_realtime"] =
        benchmark::Counter(double(audioMs) / 1000.0, benchmark::Counter::kIsRate);
    state.counters["bare_ms"] = 1000.0 * bare / double(state.iterations());
    state.counters["x_bare"] = mix / bare;
    frmPlayer::unload();
}
BENCHMARK(BM_MixTwoChannels)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Process CPU time over wall time while the user interface waits for events for n seconds.
double cpuShare(int n) {
    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = benchsupport::processCpu();
    for (int i = 0; i < n; ++i) MySleep(1000);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return (benchsupport::processCpu() - c0) / wall;
}

// A song playing on the sound device while the user interface waits for events:
// counter "cpu_share" = process CPU time over wall time (0.02 = 2 % of a core), beside
// "idle_cpu_share", the same wait with nothing playing, taken first in the same run.
void BM_PlayingWhileNobodyTouches(benchmark::State& state) {
    const QString a = media("a.mp3", [](const QString& p) { return testmedia::writeToneMp3(p, 60000, 440, 12000, 320); });
    platform::Mixer::instance().select(platform::AudioOutput::Device);
    const double idle = cpuShare(2);
    PlayerOeffnen(0, a);
    PlayerAbspielen(0);
    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = benchsupport::processCpu();
    for (auto _ : state) MySleep(1000);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    state.counters["cpu_share"] = (benchsupport::processCpu() - c0) / wall;
    state.counters["idle_cpu_share"] = idle;
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
