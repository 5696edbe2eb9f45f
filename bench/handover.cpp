// The start dialog's OK over a song tree: the time to the shown kiosk with its
// archive filled and to the last song length, against a plain walk of the same
// tree that reads each file's last 128 bytes, measured in the same iteration.
// MELOTRA_BENCH_TREE=<folder> measures a real tree; without it a tree of 20,000 songs
// is made on the spot (1,000 with MELOTRA_BENCH_QUICK set, for a check run).
#include "bench_support.h"
#include "base/globals.h"
#include "kiosk/frmMain.h"
#include "kiosk/grid/FlexGrid.h"
#include "platform/mixer.h"
#include "platform/screen.h"
#include "settings/frmStart.h"
#include "support/testenv.h"
#include "support/testmedia.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QEvent>
#include <QLineEdit>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString tree() {
    static const QString root = [] {
        QString r = qEnvironmentVariable("MELOTRA_BENCH_TREE");
        if (!r.isEmpty()) return r;
        r = testenv::freshFolder(QStringLiteral("bench_tree"));
        // A venue's archive in folders of 200 songs; 500 distinct songs (titles, artists,
        // genres, lengths), each under 40 names by hard links, so the tree is written fast.
        const int songs = qEnvironmentVariableIsSet("MELOTRA_BENCH_QUICK") ? 1000 : 20000;
        constexpr int distinct = 500, perFolder = 200;
        for (int i = 0; i < songs; ++i) {
            const QString path = r + QStringLiteral("/Ordner %1/Lied %2.mp3").arg(i / perFolder).arg(i);
            if (i < distinct) {
                testmedia::Id3v1 tag;
                tag.title = QStringLiteral("Titel %1").arg(i);
                tag.artist = QStringLiteral("Interpret %1").arg(i % 13);
                tag.genre = uint8_t(i % 124);
                testmedia::writeSilentMp3(path, 2000 + i, tag);
                continue;
            }
            QDir().mkpath(QFileInfo(path).absolutePath());
            const QString original = r + QStringLiteral("/Ordner %1/Lied %2.mp3").arg(i % distinct / perFolder).arg(i % distinct);
            std::filesystem::create_hard_link(original.toStdString(), path.toStdString());
        }
        return r;
    }();
    return root;
}

using Clock = std::chrono::steady_clock;
using benchsupport::plainWalk;
using benchsupport::processCpu;
using benchsupport::seconds;

// Notes when the main screen is shown: the hand-over's last step before the length pass.
struct ShownAt : QObject {
    Clock::time_point at{};
    double cpu = 0;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show && frmMain::loaded() && o == &frmMain::instance() && at == Clock::time_point{}) {
            at = Clock::now();
            cpu = processCpu();
        }
        return false;
    }
};

void BM_HandOver(benchmark::State& state) {
    const QString root = tree();
    double walk = 0, kiosk = 0, kioskCpu = 0, all = 0, allCpu = 0;
    int songs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        frmMain::resetForTests();
        frmStart::resetForTests();
        ProgrammEnde = false;
        auto t0 = Clock::now();
        songs = plainWalk(root.toStdString());
        walk += seconds(Clock::now() - t0);
        frmStart& s = frmStart::instance();
        s.Text1->setText(root);
        ShownAt shown;
        qApp->installEventFilter(&shown);  // the main screen is made by the hand-over itself
        state.ResumeTiming();
        t0 = Clock::now();
        const double c0 = processCpu();
        s.cmdOK_Click();
        all += seconds(Clock::now() - t0);
        allCpu += processCpu() - c0;
        kiosk += seconds(shown.at - t0);
        kioskCpu += shown.cpu - c0;
        qApp->removeEventFilter(&shown);
        frmMain& m = frmMain::instance();
        if (m.MSFlexGrid1->Rows() - 1 != songs || m.MSFlexGrid1->TextMatrix(songs, 3).isEmpty())
            state.SkipWithError("archive or lengths incomplete");
    }
    const double n = double(state.iterations());
    state.counters["songs"] = songs;
    state.counters["walk_s"] = walk / n;
    state.counters["to_kiosk_s"] = kiosk / n;
    state.counters["to_kiosk_x_walk"] = kiosk / walk;
    state.counters["to_kiosk_cpu_s"] = kioskCpu / n;
    state.counters["to_last_length_s"] = all / n;
    state.counters["to_last_length_x_walk"] = all / walk;
    state.counters["cpu_total_s"] = allCpu / n;
}
BENCHMARK(BM_HandOver)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    qputenv("SDL_AUDIODRIVER", "dummy");
    return benchsupport::runKioskBenchmarks<platform::TestAudioOutput>(argc, argv);
}
