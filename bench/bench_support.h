#pragma once
// What the benchmarks share: the clocks they report, the plain walk the scan is
// measured against, the bare decoder the lengths are measured against, and the
// set-up of a kiosk benchmark's main.
#include "platform/screen.h"
#include "support/testenv.h"

#include <QApplication>
#include <QFile>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <mpg123.h>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <variant>

namespace benchsupport {

inline double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// CPU seconds of the whole process, all threads.
inline double processCpu() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// The least work a scan can do: a recursive walk that reads each "*.mp3" file's
// last 128 bytes. Returns the number of songs.
inline int plainWalk(const std::string& root) {
    int rows = 0;
    int64_t sum = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
        if (!e.is_regular_file()) continue;
        std::string ext = e.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (ext != ".mp3") continue;
        const int fd = ::open(e.path().c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        ::fstat(fd, &st);
        char tag[128];
        if (::pread(fd, tag, sizeof tag, st.st_size - 128) == 128) sum += tag[127];
        ::close(fd);
        ++rows;
    }
    benchmark::DoNotOptimize(sum);
    return rows;
}

// The least an open with its length can cost: libmpg123 alone on a decoder kept
// from file to file, as the channel keeps its own, asked for the length it knows
// after opening.
inline int64_t bareOpenAndAsk(const QString& path) {
    static mpg123_handle* h = [] {
        mpg123_init();
        mpg123_handle* k = mpg123_new(nullptr, nullptr);
        mpg123_param(k, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
        return k;
    }();
    int64_t n = -1;
    if (mpg123_open(h, QFile::encodeName(path).constData()) == MPG123_OK) n = mpg123_length(h);
    mpg123_close(h);
    return n;
}

// main of a kiosk benchmark: offscreen, the tests' environment, a 1024 x 768 screen.
// A `Keep` (an audio output, say) lives while the benchmarks run; `prepare` runs
// once the application exists.
template <typename Keep = std::monostate>
int runKioskBenchmarks(int argc, char** argv, const std::function<void()>& prepare = {}) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testenv::Environment env;
    env.SetUp();
    platform::setScreenSizeOverride(QSize(1024, 768));
    int rc = 0;
    {
        [[maybe_unused]] Keep keep;
        if (prepare) prepare();
        benchmark::Initialize(&argc, argv);
        if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
            rc = 1;
        } else {
            benchmark::RunSpecifiedBenchmarks();
            benchmark::Shutdown();
        }
    }
    env.TearDown();
    return rc;
}

}  // namespace benchsupport
