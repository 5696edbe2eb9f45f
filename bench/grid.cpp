// The archive grid with tens of thousands of songs: filling it row by row, sorting
// it, the memory it holds and painting one screen of it.
#include "kiosk/grid/FlexGrid.h"

#include <QApplication>
#include <QPixmap>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <random>
#include <vector>

namespace {

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

void BM_FillRowByRow(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    songs(n);
    for (auto _ : state) {
        state.PauseTiming();
        auto g = std::make_unique<ShownGrid>();
        state.ResumeTiming();
        fill(*g, n);
        benchmark::DoNotOptimize(g->grid->Rows());
        state.PauseTiming();
        g.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    // Seconds per row (shown with its unit prefix).
    state.counters["per_row"] =
        benchmark::Counter(static_cast<double>(n) * state.iterations(), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FillRowByRow)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);

// The key column of every row shuffled again, so each sort starts from a new order.
void shuffleColumn(kioskgrid::FlexGrid& g, int col, std::mt19937& rnd) {
    for (int i = g.Rows() - 1; i > 1; --i) {
        const int j = 1 + static_cast<int>(rnd() % i);
        const QString a = g.TextMatrix(i, col);
        g.setTextMatrix(i, col, g.TextMatrix(j, col));
        g.setTextMatrix(j, col, a);
    }
}

// Sorting all rows by one column, as a tap on a column header does.
void BM_Sort7AllRows(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    ShownGrid g;
    fill(g, n);
    const int col = static_cast<int>(state.range(1));
    std::mt19937 rnd(7);
    for (auto _ : state) {
        state.PauseTiming();
        shuffleColumn(*g.grid, col, rnd);
        state.ResumeTiming();
        g.grid->setRedraw(false);
        g.grid->setRow(1);
        g.grid->setRowSel(g.grid->Rows() - 1);
        g.grid->setCol(col);
        g.grid->setColSel(col);
        g.grid->setSort(kioskgrid::SortStringAscending);
        g.grid->setRedraw(true);
    }
}
// Columns 5 (artist and title), 0 (title) and 2 (genre: few keys, many equal ones).
BENCHMARK(BM_Sort7AllRows)
    ->Args({20000, 5})->Args({20000, 0})->Args({20000, 2})
    ->Args({100000, 5})->Args({100000, 0})->Args({100000, 2})
    ->Unit(benchmark::kMillisecond);

// Baseline: the least a stable sort of the same rows costs, comparing the texts in
// place by their code units alone, and moving the rows' cells into the new order.
void BM_BaselineStableSortByCode(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    ShownGrid g;
    fill(g, n);
    const int col = static_cast<int>(state.range(1));
    std::mt19937 rnd(7);
    const kioskgrid::GridModel& m = g.grid->model();
    for (auto _ : state) {
        state.PauseTiming();
        shuffleColumn(*g.grid, col, rnd);
        state.ResumeTiming();
        std::vector<int> order(n);
        for (int i = 0; i < n; ++i) order[i] = i + 1;
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return m.TextMatrix(a, col).compare(m.TextMatrix(b, col)) < 0; });
        std::vector<QString> moved(static_cast<std::size_t>(n) * 6);
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < 6; ++c) moved[static_cast<std::size_t>(i) * 6 + c] = m.TextMatrix(order[i], c);
        benchmark::DoNotOptimize(moved.data());
    }
}
BENCHMARK(BM_BaselineStableSortByCode)
    ->Args({20000, 5})->Args({20000, 0})->Args({20000, 2})
    ->Args({100000, 5})->Args({100000, 0})->Args({100000, 2})
    ->Unit(benchmark::kMillisecond);

// Small blocks plus the large ones the allocator maps on its own.
std::size_t heapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

// Memory of a full archive: the cells' own count and what the allocator handed out.
void BM_Memory(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    songs(n);
    double modelBytes = 0, heapBytes = 0;
    for (auto _ : state) {
        malloc_trim(0);
        const std::size_t before = heapInUse();
        auto g = std::make_unique<ShownGrid>();
        fill(*g, n);
        heapBytes = static_cast<double>(heapInUse() - before);
        modelBytes = static_cast<double>(g->grid->model().storageBytes());
        g.reset();
    }
    state.counters["model_MB"] = modelBytes / (1024.0 * 1024.0);
    state.counters["heap_MB"] = heapBytes / (1024.0 * 1024.0);
}
BENCHMARK(BM_Memory)->Arg(50000)->Iterations(1)->Unit(benchmark::kMillisecond);

// One full paint of the view; it must not depend on the number of rows.
void BM_PaintView(benchmark::State& state) {
    ShownGrid g;
    fill(g, static_cast<int>(state.range(0)));
    g.grid->setTopRow(g.grid->Rows() / 2);
    g.grid->setRow(g.grid->Rows() / 2 + 2);
    for (auto _ : state) benchmark::DoNotOptimize(g.grid->grab());
}
BENCHMARK(BM_PaintView)->Arg(5000)->Arg(50000)->Unit(benchmark::kMicrosecond);

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
