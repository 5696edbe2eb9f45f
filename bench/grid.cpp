// The archive grid with tens of thousands of songs: filling it row by row, sorting
// it, the memory it holds and painting one screen of it, each beside a baseline taken
// in the same iteration: plain rows, a plain sort, the texts' own bytes, a short grid.
#include "bench_support.h"
#include "kiosk/grid/FlexGrid.h"

#include <QApplication>
#include <QPixmap>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <malloc.h>
#include <random>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using benchsupport::seconds;

struct Song {
    QString title, artist, genre, path;
};

// Songs with the kind of texts a tag scan gives: mixed case, umlauts, long paths.
const std::vector<Song>& songs(int n) {
    static std::vector<Song> all;
    if (static_cast<int>(all.size()) < n) {
        std::mt19937 rnd(42);
        const QStringList first{"Die", "The", "Los", "Ärzte", "Öko", "über", "Sound", "blue", "Schöne", "Zebra"};
        const QStringList second{"Toten Hosen", "Band", "Übermut", "Straße", "lights", "Söhne", "Mannheims", "Kids"};
        const QStringList genres{"Rock", "Pop", "Schlager", "Jazz", "Klassik", "Dance", "Kein Genre"};
        auto pick = [&](const QStringList& l) { return l[static_cast<int>(rnd() % l.size())]; };
        all.clear();
        for (int i = 0; i < n; ++i) {
            Song s;
            s.artist = pick(first) + " " + pick(second) + " " + QString::number(rnd() % 500);
            s.title = pick(second) + " " + pick(first) + " " + QString::number(rnd() % 100000);
            s.genre = pick(genres);
            s.path = QStringLiteral("/srv/musik/%1/%2 - %3.mp3").arg(s.artist, s.artist, s.title);
            all.push_back(s);
        }
    }
    return all;
}

// A text of its own, as each tag read gives one.
QString fresh(const QString& s) { return QString(s.constData(), s.size()); }

// One archive row the way the scan adds it: AddItem, then the other cells, then the row.
void addRow(kioskgrid::FlexGrid& g, const Song& s) {
    g.AddItem(fresh(s.title));
    const int r = g.Rows() - 1;
    g.setRow(r);
    g.setTextMatrix(r, 0, fresh(s.title));
    g.setTextMatrix(r, 4, fresh(s.path));
    g.setTextMatrix(r, 1, fresh(s.artist));
    g.setTextMatrix(r, 2, fresh(s.genre));
    g.setTextMatrix(r, 5, g.TextMatrix(r, 1) + g.TextMatrix(r, 0));
}

struct ShownGrid {
    QWidget window;
    kioskgrid::FlexGrid* grid = new kioskgrid::FlexGrid(&window);
    ShownGrid() {
        grid->setCols(6);
        grid->setRows(1);
        grid->setFontSize(18);
        window.resize(1024, 768);
        grid->setWidth(13560);
        grid->setHeight(4860);
        window.show();
    }
};

void fill(ShownGrid& g, int n) {
    const std::vector<Song>& s = songs(n);
    for (int i = 0; i < n; ++i) addRow(*g.grid, s[i]);
}

// The least the same rows cost: the six texts of each appended to one plain vector.
double plainRows(int n) {
    const std::vector<Song>& s = songs(n);
    const Clock::time_point t0 = Clock::now();
    std::vector<QString> cells;
    for (int i = 0; i < n; ++i) {
        cells.push_back(fresh(s[i].title));
        cells.push_back(fresh(s[i].artist));
        cells.push_back(fresh(s[i].genre));
        cells.emplace_back();
        cells.push_back(fresh(s[i].path));
        cells.push_back(cells[cells.size() - 4] + cells[cells.size() - 5]);
    }
    benchmark::DoNotOptimize(cells.data());
    return seconds(Clock::now() - t0);
}

// Filling the grid row by row as the scan does; "per_row" beside "plain_per_row", the plain
// rows of plainRows, and "x_plain", the grid's time over theirs.
void BM_FillRowByRow(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    songs(n);
    double grid = 0, plain = 0;
    for (auto _ : state) {
        auto g = std::make_unique<ShownGrid>();
        const Clock::time_point t0 = Clock::now();
        fill(*g, n);
        benchmark::DoNotOptimize(g->grid->Rows());
        const double t = seconds(Clock::now() - t0);
        state.SetIterationTime(t);
        grid += t;
        g.reset();
        QApplication::processEvents();
        plain += plainRows(n);
    }
    const double rows = static_cast<double>(n) * static_cast<double>(state.iterations());
    state.counters["per_row"] = benchmark::Counter(rows, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["plain_per_row"] = plain / rows;
    state.counters["x_plain"] = grid / plain;
}
BENCHMARK(BM_FillRowByRow)->Arg(5000)->Arg(50000)->UseManualTime()->Unit(benchmark::kMillisecond);

// The key column of every row shuffled again, so each sort starts from a new order.
void shuffleColumn(kioskgrid::FlexGrid& g, int col, std::mt19937& rnd) {
    for (int i = g.Rows() - 1; i > 1; --i) {
        const int j = 1 + static_cast<int>(rnd() % i);
        const QString a = g.TextMatrix(i, col);
        g.setTextMatrix(i, col, g.TextMatrix(j, col));
        g.setTextMatrix(j, col, a);
    }
}

// The least a stable sort of the rows costs: row numbers sorted by comparing the texts in
// place by their code units alone, then the rows' cells copied into the new order.
double plainStableSort(const kioskgrid::GridModel& m, int n, int col) {
    const Clock::time_point t0 = Clock::now();
    std::vector<int> order(n);
    for (int i = 0; i < n; ++i) order[i] = i + 1;
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return m.TextMatrix(a, col).compare(m.TextMatrix(b, col)) < 0; });
    std::vector<QString> moved(static_cast<std::size_t>(n) * 6);
    for (int i = 0; i < n; ++i)
        for (int c = 0; c < 6; ++c) moved[static_cast<std::size_t>(i) * 6 + c] = m.TextMatrix(order[i], c);
    benchmark::DoNotOptimize(moved.data());
    return seconds(Clock::now() - t0);
}

// Sorting all rows by one column, as a tap on a column header does: keys made from the
// texts, sorted letters first (case and accents decide only between equal letters), and
// the rows moved in place. Each iteration shuffles the column, sorts the rows first with
// plainStableSort and then with the grid; the time is the grid's, "plain_sort_ms" the plain
// sort's and "x_plain_sort" the grid's time over it (below 1: the grid sorts faster).
void BM_Sort7AllRows(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    ShownGrid g;
    fill(g, n);
    const int col = static_cast<int>(state.range(1));
    std::mt19937 rnd(7);
    double grid = 0, plain = 0;
    for (auto _ : state) {
        shuffleColumn(*g.grid, col, rnd);
        plain += plainStableSort(g.grid->model(), n, col);
        const Clock::time_point t0 = Clock::now();
        g.grid->setRedraw(false);
        g.grid->setRow(1);
        g.grid->setRowSel(g.grid->Rows() - 1);
        g.grid->setCol(col);
        g.grid->setColSel(col);
        g.grid->setSort(kioskgrid::SortStringAscending);
        g.grid->setRedraw(true);
        const double t = seconds(Clock::now() - t0);
        state.SetIterationTime(t);
        grid += t;
    }
    state.counters["plain_sort_ms"] = 1000.0 * plain / static_cast<double>(state.iterations());
    state.counters["x_plain_sort"] = grid / plain;
}
// Columns 5 (artist and title), 0 (title) and 2 (genre: few keys, many equal ones).
BENCHMARK(BM_Sort7AllRows)
    ->Args({20000, 5})->Args({20000, 0})->Args({20000, 2})
    ->Args({100000, 5})->Args({100000, 0})->Args({100000, 2})
    ->UseManualTime()->Unit(benchmark::kMillisecond);

// Small blocks plus the large ones the allocator maps on its own.
std::size_t heapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

// Memory of a full archive: the cells' own count and what the allocator handed out, beside
// "text_MB", the bytes of the rows' texts alone (two per character), and "x_text", the heap's
// bytes over those.
void BM_Memory(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    songs(n);
    double modelBytes = 0, heapBytes = 0, textBytes = 0;
    for (auto _ : state) {
        malloc_trim(0);
        const std::size_t before = heapInUse();
        auto g = std::make_unique<ShownGrid>();
        fill(*g, n);
        heapBytes = static_cast<double>(heapInUse() - before);
        modelBytes = static_cast<double>(g->grid->model().storageBytes());
        textBytes = 0;
        for (int r = 1; r < g->grid->Rows(); ++r)
            for (int c = 0; c < 6; ++c) textBytes += 2.0 * static_cast<double>(g->grid->TextMatrix(r, c).size());
        g.reset();
    }
    state.counters["model_MB"] = modelBytes / (1024.0 * 1024.0);
    state.counters["heap_MB"] = heapBytes / (1024.0 * 1024.0);
    state.counters["text_MB"] = textBytes / (1024.0 * 1024.0);
    state.counters["x_text"] = heapBytes / textBytes;
}
BENCHMARK(BM_Memory)->Arg(50000)->Iterations(1)->Unit(benchmark::kMillisecond);

// One full paint of the view; it must not depend on the number of rows. Each iteration
// also paints a grid of one screenful of rows: "screenful_us" is its time, "x_screenful"
// the paint's over it (near 1: the rows below the view cost nothing).
void BM_PaintView(benchmark::State& state) {
    ShownGrid g, kurz;
    fill(g, static_cast<int>(state.range(0)));
    fill(kurz, 20);
    g.grid->setTopRow(g.grid->Rows() / 2);
    g.grid->setRow(g.grid->Rows() / 2 + 2);
    kurz.grid->setRow(3);
    double voll = 0, screenful = 0;
    for (auto _ : state) {
        Clock::time_point t0 = Clock::now();
        benchmark::DoNotOptimize(kurz.grid->grab());
        screenful += seconds(Clock::now() - t0);
        t0 = Clock::now();
        benchmark::DoNotOptimize(g.grid->grab());
        const double t = seconds(Clock::now() - t0);
        state.SetIterationTime(t);
        voll += t;
    }
    state.counters["screenful_us"] = 1e6 * screenful / static_cast<double>(state.iterations());
    state.counters["x_screenful"] = voll / screenful;
}
BENCHMARK(BM_PaintView)->Arg(5000)->Arg(50000)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
