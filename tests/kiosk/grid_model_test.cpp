#include "kiosk/grid/GridModel.h"
#include "platform/runtime.h"

#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <random>

using kioskgrid::GridModel;

namespace {

// A grid of rows named "r1", "r2", ... in column 0, with room for `fit` whole rows.
GridModel gridWith(int dataRows, int fit, int cols = 6) {
    GridModel g;
    g.setCols(cols);
    g.setRows(1);
    g.setRowHeight(300);
    g.setViewport(9000, 300 * (fit + 1));
    for (int i = 1; i <= dataRows; ++i) g.AddItem(QStringLiteral("r%1").arg(i));
    return g;
}

QStringList column(const GridModel& g, int col) {
    QStringList out;
    for (int r = 1; r < g.Rows(); ++r) out << g.TextMatrix(r, col);
    return out;
}

template <class F>
int errorOf(F&& f) {
    try {
        f();
    } catch (const platform::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace

TEST(GridModel, StartsWithHeaderAndOneBlankRow) {
    GridModel g;
    EXPECT_EQ(g.Rows(), 2);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.TopRow(), 1);
    EXPECT_TRUE(g.TextMatrix(1, 0).isEmpty());
}

TEST(GridModel, AddItemAppendsOrInsertsAndRemoveItemCloses) {
    GridModel g = gridWith(0, 10);
    g.AddItem(QStringLiteral("a\tb"));  // the whole text is the title
    g.setTextMatrix(1, 4, QStringLiteral("/pfad/a.mp3"));
    g.AddItem(QStringLiteral("c"));
    g.AddItem(QStringLiteral("b"), 2);
    EXPECT_EQ(g.Rows(), 4);
    EXPECT_EQ(column(g, 0), (QStringList{"a\tb", "b", "c"}));
    EXPECT_EQ(g.TextMatrix(1, 4), "/pfad/a.mp3");
    EXPECT_TRUE(g.TextMatrix(2, 1).isEmpty());
    EXPECT_TRUE(g.TextMatrix(2, 4).isEmpty());

    g.RemoveItem(1);
    EXPECT_EQ(column(g, 0), (QStringList{"b", "c"}));
    EXPECT_TRUE(g.TextMatrix(1, 4).isEmpty());  // the path went with its row

    g.setRow(2);
    g.RemoveItem(2);
    EXPECT_EQ(g.Row(), 1);  // the current row stays inside the grid
    g.RemoveItem(1);        // the last data row can go too
    EXPECT_EQ(g.Rows(), 1);
    EXPECT_EQ(g.Row(), 0);
}

TEST(GridModel, RowsCutAndGrowAndClearKeepsTheSize) {
    GridModel g = gridWith(5, 10);
    g.setCellBold(0, 0, true);
    g.setTextMatrix(0, 0, QStringLiteral("Titel"));
    g.setRows(3);
    EXPECT_EQ(column(g, 0), (QStringList{"r1", "r2"}));
    g.setRows(4);
    EXPECT_TRUE(g.TextMatrix(3, 0).isEmpty());
    g.Clear();
    EXPECT_EQ(g.Rows(), 4);
    EXPECT_EQ(g.Cols(), 6);
    EXPECT_TRUE(g.TextMatrix(0, 0).isEmpty());
    EXPECT_TRUE(g.TextMatrix(1, 0).isEmpty());
    EXPECT_FALSE(g.cellBold(0, 0));
    g.setRows(1);
    EXPECT_EQ(g.Rows(), 1);
    EXPECT_EQ(g.FixedRows(), 1);
}

TEST(GridModel, IndexesOutsideTheGridRaiseErrors) {
    GridModel g = gridWith(3, 10);
    EXPECT_EQ(errorOf([&] { g.TextMatrix(4, 0); }), 381);
    EXPECT_EQ(errorOf([&] { g.TextMatrix(-1, 0); }), 381);
    EXPECT_EQ(errorOf([&] { g.setTextMatrix(1, 6, "x"); }), 381);
    EXPECT_EQ(errorOf([&] { g.TextMatrix(3, 5); }), 0);  // the key columns beyond the edge
    EXPECT_EQ(errorOf([&] { g.RemoveItem(0); }), 381);
    EXPECT_EQ(errorOf([&] { g.RemoveItem(4); }), 381);
    EXPECT_EQ(errorOf([&] { g.AddItem("x", 6); }), 381);
    EXPECT_EQ(errorOf([&] { g.ColWidth(6); }), 381);
    EXPECT_EQ(errorOf([&] { g.RowIsVisible(4); }), 381);
    EXPECT_EQ(errorOf([&] { g.setRow(4); }), 30009);
    EXPECT_EQ(errorOf([&] { g.setTopRow(4); }), 30009);
    EXPECT_EQ(errorOf([&] { g.setCol(6); }), 30010);
    EXPECT_EQ(errorOf([&] { g.setFixedRows(5); }), 380);
    EXPECT_EQ(errorOf([&] { g.setSort(3); }), 380);
    EXPECT_EQ(errorOf([&] { g.setColWidth(0, -2); }), 380);
    try {
        g.TextMatrix(9, 0);
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.description(), QStringLiteral("Index außerhalb des gültigen Bereichs"));
    }
}

TEST(GridModel, RowAndColCollapseOnlyTheirOwnSelectionCorner) {
    GridModel g = gridWith(5, 10);
    g.setRow(1);
    g.setRowSel(5);
    g.setCol(3);  // leaves RowSel: the sort range set before stays
    EXPECT_EQ(g.RowSel(), 5);
    EXPECT_EQ(g.ColSel(), 3);
    g.setColSel(5);
    g.setRow(2);
    EXPECT_EQ(g.RowSel(), 2);
    EXPECT_EQ(g.ColSel(), 5);
    EXPECT_TRUE(g.isSelected(2, 4));
    EXPECT_FALSE(g.isSelected(2, 2));
    g.setText(QStringLiteral("neu"));
    EXPECT_EQ(g.TextMatrix(2, 3), "neu");
    g.setRow(0);
    EXPECT_FALSE(g.isSelected(0, 3));  // the header is never marked
}

TEST(GridModel, TopRowIsClampedToTheScrollableRange) {
    GridModel g = gridWith(100, 10);
    EXPECT_EQ(g.maxTopRow(), 91);  // rows 91..100 fill the view
    g.setTopRow(95);
    EXPECT_EQ(g.TopRow(), 91);
    g.setTopRow(0);
    EXPECT_EQ(g.TopRow(), 1);
    g.setTopRow(40);
    g.setRow(99);  // from code: no scroll
    EXPECT_EQ(g.TopRow(), 40);
    g.setRows(45);  // shorter: the view follows
    EXPECT_EQ(g.TopRow(), 35);
    g.setViewport(9000, 300 * 100);  // everything fits
    EXPECT_EQ(g.TopRow(), 1);

    GridModel few = gridWith(5, 10);
    few.setTopRow(5);
    EXPECT_EQ(few.TopRow(), 1);
    GridModel empty = gridWith(0, 10);
    EXPECT_EQ(errorOf([&] { empty.setTopRow(1); }), 30009);
}

TEST(GridModel, RowIsVisibleAtTheEdgesOfTheView) {
    GridModel g = gridWith(50, 10);
    g.setViewport(9000, 300 * 11 + 150);  // ten whole rows and half of one
    g.setTopRow(20);
    EXPECT_TRUE(g.RowIsVisible(0));
    EXPECT_FALSE(g.RowIsVisible(19));
    EXPECT_TRUE(g.RowIsVisible(20));
    EXPECT_TRUE(g.RowIsVisible(29));
    EXPECT_TRUE(g.RowIsVisible(30));  // half shown still counts
    EXPECT_FALSE(g.RowIsVisible(31));
    EXPECT_EQ(g.lastVisibleRow(), 30);
    EXPECT_EQ(g.fullyVisibleDataRows(), 10);
}

TEST(GridModel, MouseRowAndColFromAPoint) {
    GridModel g = gridWith(30, 10);
    g.setColWidth(0, 1000);
    g.setColWidth(1, 2000);
    g.setTopRow(7);
    EXPECT_EQ(g.rowAt(0), 0);
    EXPECT_EQ(g.rowAt(299), 0);
    EXPECT_EQ(g.rowAt(300), 7);
    EXPECT_EQ(g.rowAt(300 * 3 + 10), 9);
    EXPECT_EQ(g.colAt(999), 0);
    EXPECT_EQ(g.colAt(1000), 1);
    EXPECT_EQ(g.colAt(2999), 1);
    EXPECT_EQ(g.colAt(3000), 2);
    EXPECT_EQ(g.colAt(-1), -1);
    EXPECT_EQ(g.rowTop(7), 300);
    EXPECT_EQ(g.rowTop(6), -1);

    GridModel shortGrid = gridWith(2, 10);
    EXPECT_EQ(shortGrid.rowAt(300 * 2 + 1), 2);
    EXPECT_EQ(shortGrid.rowAt(300 * 3 + 1), -1);  // below the last row
}

TEST(GridModel, SortSevenOrdersLettersBeforeCaseAndAccents) {
    const QStringList input{"Zebra", "apple", "Äpfel", "Apple", "abba", "ABBA", "Ärger",
                            "Arger", "Öl",    "Ol",    "Straße", "Strasse", "10", "9"};
    GridModel g = gridWith(0, 10);
    for (const QString& s : input) g.AddItem(s);
    g.setRow(1);
    g.setRowSel(g.Rows() - 1);
    g.setCol(0);
    g.setSort(kioskgrid::SortStringAscending);
    EXPECT_EQ(column(g, 0), (QStringList{"10", "9", "abba", "ABBA", "Äpfel", "apple", "Apple", "Arger", "Ärger", "Ol",
                                         "Öl", "Strasse", "Straße", "Zebra"}));
    EXPECT_LT(kioskgrid::compareSortText("a", "A"), 0);
    EXPECT_GT(kioskgrid::compareSortText("b", "A"), 0);
    EXPECT_EQ(kioskgrid::compareSortText("Öl", "Öl"), 0);
}

TEST(GridModel, SortTouchesOnlyTheMarkedRowsAndMovesWholeRows) {
    GridModel g = gridWith(0, 10);
    const QStringList artists{"d", "c", "b", "a", "e"};
    for (int i = 0; i < artists.size(); ++i) {
        g.AddItem(QStringLiteral("t%1").arg(i));
        g.setTextMatrix(i + 1, 1, artists[i]);
        g.setTextMatrix(i + 1, 4, QStringLiteral("/p%1").arg(i));
    }
    g.setTextMatrix(0, 1, QStringLiteral("zzz"));
    g.setRow(4);  // the range may be given backwards
    g.setRowSel(2);
    g.setCol(1);
    g.setSort(7);
    EXPECT_EQ(column(g, 1), (QStringList{"d", "a", "b", "c", "e"}));
    EXPECT_EQ(column(g, 4), (QStringList{"/p0", "/p3", "/p2", "/p1", "/p4"}));
    EXPECT_EQ(g.TextMatrix(0, 1), "zzz");
    EXPECT_EQ(g.Row(), 4);
    EXPECT_EQ(g.RowSel(), 2);
}

TEST(GridModel, SortOverSeveralColumnsAndEqualKeysKeepTheirOrder) {
    GridModel g = gridWith(0, 10);
    const QList<QStringList> data{{"b", "2", "x"}, {"a", "2", "y"}, {"a", "1", "z"}, {"a", "2", "w"}};
    for (const QStringList& row : data) {
        g.AddItem(row[0]);
        g.setTextMatrix(g.Rows() - 1, 1, row[1]);
        g.setTextMatrix(g.Rows() - 1, 2, row[2]);
    }
    g.setRow(1);
    g.setRowSel(4);
    g.setCol(0);
    g.setColSel(1);
    g.setSort(7);
    EXPECT_EQ(column(g, 2), (QStringList{"z", "y", "w", "x"}));
    // A prefix of the first column sorts before a longer text, whatever follows.
    GridModel p = gridWith(0, 10);
    p.AddItem("abc");
    p.setTextMatrix(1, 1, "a");
    p.AddItem("ab");
    p.setTextMatrix(2, 1, "z");
    p.setRow(1);
    p.setRowSel(2);
    p.setCol(0);
    p.setColSel(1);
    p.setSort(7);
    EXPECT_EQ(column(p, 0), (QStringList{"ab", "abc"}));
}

namespace {

// The sort order as a plain comparison of two whole keys: letters without accents and
// case first; then accents, case and the texts, each over all columns. The grid's fast
// sort must give exactly this order, equal keys in their old order.
struct PlainKey {
    QString letters, rest;
};
PlainKey plainKey(const QStringList& texts) {
    QString letters, accents, cases, raw;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i > 0) {
            letters += QChar(0);
            accents += QChar(0);
            cases += QChar(0);
            raw += QChar(0);
        }
        for (QChar c : texts[i]) {
            QChar base = c;
            if (c.unicode() < 0x300 && c.decompositionTag() == QChar::Canonical) base = c.decomposition().at(0);
            if (c.unicode() == 0xDF) letters += QStringLiteral("ss");
            else if (c.unicode() == 0) letters += QChar(1);
            else letters += c.unicode() < 0x300 ? base.toLower() : c.toCaseFolded();
            accents += QChar(c.unicode() == 0xDF || base != c ? 2 : 1);
            cases += QChar(c.isUpper() ? 2 : 1);
            raw += c;
        }
    }
    return {letters, accents + QChar(0) + cases + QChar(0) + raw};
}

}  // namespace

TEST(GridModel, SortGivesThePlainComparisonsOrderOnTrickyKeys) {
    // Umlauts, sharp s, case, accents beyond Latin-1, an emoji, NUL, blanks, digits, many equal keys.
    const QStringList pieces{"a", "A", "ä", "Ä", "ß", "ss", "S", "o", "Ö", "é", "E", "ē", " ", "1", "9",
                             QString(QChar(0)), QString::fromUtf8("😀"), QString(QChar(0xFFFD)), "Z", "z"};
    std::mt19937 rnd(23);
    auto text = [&] {
        QString t;
        for (int k = int(rnd() % 5); k > 0; --k) t += pieces[int(rnd() % pieces.size())];
        return t;
    };
    for (int width : {1, 2}) {
        GridModel g = gridWith(0, 10);
        std::vector<QStringList> rows;
        for (int i = 0; i < 4000; ++i) {
            QStringList r{text(), text()};
            if (i % 3 == 0 && !rows.empty()) r = rows[rnd() % rows.size()];  // equal keys
            rows.push_back(r);
            g.AddItem(r[0]);
            g.setTextMatrix(i + 1, 1, r[1]);
            g.setTextMatrix(i + 1, 4, QString::number(i));
        }
        std::vector<PlainKey> keys;
        for (const QStringList& r : rows) keys.push_back(plainKey(r.mid(0, width)));
        std::vector<int> order(rows.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            if (int c = keys[a].letters.compare(keys[b].letters)) return c < 0;
            return keys[a].rest.compare(keys[b].rest) < 0;
        });
        QStringList expected;
        for (int i : order) expected << QString::number(i);
        g.setRow(1);
        g.setRowSel(g.Rows() - 1);
        g.setCol(0);
        g.setColSel(width - 1);
        g.setSort(7);
        EXPECT_EQ(column(g, 4), expected) << width;
    }
}

TEST(GridModel, AColumnSortsByTheTextItsSortTextGives) {
    GridModel g = gridWith(0, 10);
    for (const char* t : {"9", "100", "", "20", "100"}) g.AddItem(t);
    for (int r = 1; r < g.Rows(); ++r) g.setTextMatrix(r, 1, QString::number(r));
    g.setColSortText(0, [](const QString& t) { return t.isEmpty() ? t : t.rightJustified(5, u'0'); });
    g.setRow(1);
    g.setRowSel(g.Rows() - 1);
    g.setCol(0);
    g.setSort(7);
    EXPECT_EQ(column(g, 0), (QStringList{"", "9", "20", "100", "100"}));
    EXPECT_EQ(column(g, 1), (QStringList{"3", "1", "4", "2", "5"}));  // the cells keep their texts and rows
}

TEST(GridModel, KeyMovesScrollJustEnoughToShowTheRow) {
    GridModel g = gridWith(30, 10);
    g.setRow(10);
    EXPECT_TRUE(g.moveByKey(40, 0));  // Down into the first row below the view
    EXPECT_EQ(g.Row(), 11);
    EXPECT_EQ(g.TopRow(), 2);
    EXPECT_EQ(g.Col(), 0);
    EXPECT_EQ(g.ColSel(), 5);
    g.setRow(1);
    g.setCol(0);
    g.setColSel(5);
    EXPECT_FALSE(g.moveByKey(38, 0));  // Up on the first data row: the marking stays
    EXPECT_EQ(g.TopRow(), 1);
    EXPECT_TRUE(g.moveByKey(34, 0));  // Page down
    EXPECT_EQ(g.Row(), 11);
    EXPECT_TRUE(g.moveByKey(35, 2));  // Ctrl+End
    EXPECT_EQ(g.Row(), 30);
    EXPECT_EQ(g.TopRow(), 21);
    EXPECT_FALSE(g.moveByKey(40, 0));
    EXPECT_FALSE(g.moveByKey(36, 0));  // Home alone is a column move
    EXPECT_FALSE(g.moveByKey(65, 0));

    GridModel empty = gridWith(0, 10);
    EXPECT_FALSE(empty.moveByKey(40, 0));
}

TEST(GridModel, StorageGrowsWithTheTexts) {
    GridModel g = gridWith(0, 10);
    const std::size_t before = g.storageBytes();
    for (int i = 0; i < 100; ++i) g.AddItem(QString(50, QChar('x')));
    EXPECT_GE(g.storageBytes() - before, 100u * 100u);
}
