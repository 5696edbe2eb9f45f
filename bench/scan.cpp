// The song-folder scan with the three tag reads per file, beside a plain walk of the
// same tree that reads the last 128 bytes of every file, taken in the same iteration.
#include "bench_support.h"
#include "base/frmDatei.h"
#include "catalogue/modMP3Tags.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 100;  // 10,000 songs

std::string tagFor(int n) {
    std::string t = "TAG";
    auto field = [&](std::string s) {
        s.resize(30, ' ');
        t += s;
    };
    field("Titel " + std::to_string(n));
    field("Interpret " + std::to_string(n % 97));
    field("Album");
    t += "2001";
    field("");
    t += char(n % 124);
    return t;
}

QString tree() {
    static QTemporaryDir dir;
    static bool made = false;
    if (!made) {
        made = true;
        const std::string audio(2048, '\x55');
        for (int d = 0; d < kFolders; ++d) {
            const std::string folder = dir.path().toStdString() + "/Ordner " + std::to_string(d);
            ::mkdir(folder.c_str(), 0755);
            for (int i = 0; i < kFilesPerFolder; ++i) {
                const int n = d * kFilesPerFolder + i;
                const std::string path = folder + "/Lied " + std::to_string(n) + (n % 5 ? ".mp3" : ".MP3");
                const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
                const std::string bytes = audio + tagFor(n);
                if (::write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size())) std::abort();
                ::close(fd);
            }
        }
    }
    return dir.path();
}

struct TagReader : ScanReceiver {
    int64_t chars = 0;
    int rows = 0;
    bool separately = false;
    void songFound(const QString& Datei, const platform::BinaryFile& file) override {
        if (separately) {
            // The three single readers: each field opens the file anew.
            chars += GetSongName(Datei).size() + GetBand(Datei).size() + GetSongGenre(Datei).size();
        } else {
            // As the archive fill reads them: from the file the scan holds open.
            const SongTags t = ReadSongTagsFrom(Datei, file);
            chars += t.title.size() + t.artist.size() + t.genre.size();
        }
        ++rows;
    }
    bool stopRequested() const override { return false; }
};

// The scan of the tree with the tags read from the file the scan holds open, as the archive
// fill reads them (argument 0), or with the three single readers, each opening the file anew
// (1). Each iteration also walks the tree plainly (benchsupport::plainWalk: every "*.mp3"
// file's last 128 bytes); "walk_ms" is that walk, "ratio" the scan's time over it (goal: at
// most 1.3 for argument 0).
void BM_ScanAgainstPlainWalk(benchmark::State& state) {
    const QString root = tree();
    const std::string plainRoot = root.toStdString();
    double scanSeconds = 0, walkSeconds = 0;
    for (auto _ : state) {
        // In turn in every iteration, so that a machine busy with other work slows both alike.
        const auto t0 = std::chrono::steady_clock::now();
        TagReader r;
        r.separately = state.range(0) != 0;
        setScanReceiver(&r);
        int32_t nDirs = 0, nFiles = 0;
        QStringList files;
        benchmark::DoNotOptimize(frmDatei::FindFile(root, "*.mp3", nDirs, nFiles, files, true));
        setScanReceiver(nullptr);
        const auto t1 = std::chrono::steady_clock::now();
        const int rows = benchsupport::plainWalk(plainRoot);
        const auto t2 = std::chrono::steady_clock::now();
        if (r.rows != kFolders * kFilesPerFolder || rows != r.rows) state.SkipWithError("songs missing");
        benchmark::DoNotOptimize(r.chars);
        walkSeconds += benchsupport::seconds(t2 - t1);
        const double t = benchsupport::seconds(t1 - t0);
        state.SetIterationTime(t);
        scanSeconds += t;
    }
    state.SetItemsProcessed(state.iterations() * kFolders * kFilesPerFolder);
    state.counters["walk_ms"] = 1000.0 * walkSeconds / static_cast<double>(state.iterations());
    state.counters["ratio"] = walkSeconds > 0 ? scanSeconds / walkSeconds : 0;
}
BENCHMARK(BM_ScanAgainstPlainWalk)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
