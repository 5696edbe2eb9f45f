#pragma once
// The rows, selection and scroll position of a text grid, free of any widget.
// Row 0 .. FixedRows-1 are fixed header rows; the data rows follow. Geometry is in
// twips: every row has the same height, columns have their own widths, and the
// viewport tells how much of the grid can be seen.
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace kioskgrid {

// Error numbers of the grid: a cell or row index outside the grid, and a current
// row or column set outside the grid.
constexpr int ErrSubscript = 381;
constexpr int ErrInvalidRow = 30009;
constexpr int ErrInvalidCol = 30010;

// Sort setting: ascending by text, upper and lower case told apart.
constexpr int SortStringAscending = 7;

// ColAlignment values: horizontal part (left, centre, right) times 3 plus vertical part
// (top, centre, bottom); 9 is the general alignment, drawn left and centred.
constexpr int AlignGeneral = 9;

class GridModel {
public:
    GridModel();

    int Rows() const { return rows_; }
    void setRows(int n);
    int Cols() const { return cols_; }
    void setCols(int n);
    int FixedRows() const { return fixedRows_; }
    void setFixedRows(int n);

    const QString& TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);
    const QString& Text() const { return TextMatrix(row_, col_); }
    void setText(const QString& text) { setTextMatrix(row_, col_, text); }
    bool cellBold(int row, int col) const;
    void setCellBold(int row, int col, bool bold);
    bool CellFontBold() const { return cellBold(row_, col_); }
    void setCellFontBold(bool bold) { setCellBold(row_, col_, bold); }

    // Current cell and the far corner of the selection. Setting Row collapses RowSel
    // onto it, setting Col collapses ColSel; neither scrolls.
    int Row() const { return row_; }
    void setRow(int r);
    int Col() const { return col_; }
    void setCol(int c);
    int RowSel() const { return rowSel_; }
    void setRowSel(int r);
    int ColSel() const { return colSel_; }
    void setColSel(int c);
    bool isSelected(int row, int col) const;

    // First data row shown. A value inside the grid is clamped to the range that the
    // view can scroll through; one outside it is error 30009.
    int TopRow() const { return topRow_; }
    void setTopRow(int r);
    int maxTopRow() const;
    // True when any part of the row can be seen; fixed rows always can.
    bool RowIsVisible(int row) const;
    int lastVisibleRow() const;  // -1 when no data row is shown
    int fullyVisibleDataRows() const;

    // Appends a row (index -1) or inserts it before index; text goes into column 0.
    void AddItem(const QString& text, int index = -1);
    void RemoveItem(int row);
    void Clear();  // every text and format goes, the size stays
    // Sorts rows Row..RowSel by columns Col..ColSel; only setting 7 is known.
    void setSort(int setting);
    // A column can sort by a text made from each of its cells (a duration by its
    // seconds, say); the cells keep their texts. An empty function sorts by the cell.
    using SortText = std::function<QString(const QString&)>;
    void setColSortText(int col, SortText key);

    int ColWidth(int col) const;
    void setColWidth(int col, int twips);  // -1: back to the default width
    int ColAlignment(int col) const;
    void setColAlignment(int col, int alignment);

    static constexpr int DefaultColWidth = 960;
    int RowHeight() const { return rowHeight_; }
    void setRowHeight(int twips);
    void setViewport(int widthTwips, int heightTwips);
    int viewportWidth() const { return viewWidth_; }
    int viewportHeight() const { return viewHeight_; }

    // Cell under a point of the viewport in twips; -1 where there is no cell.
    int rowAt(double y) const;
    int colAt(double x) const;
    // Top of a shown row in the viewport, -1 when it is scrolled away.
    int rowTop(int row) const;
    int colLeft(int col) const;

    // Moves by the user: the current row becomes r, marked over all columns, and the
    // view scrolls just enough to show it whole. Returns whether the marking changed.
    bool selectRowByUser(int r);
    // The grid's own move for a key (Up, Down, Page up/down, Ctrl+Home/End).
    bool moveByKey(int keyCode, int shift);
    void scrollIntoView(int r);

    // Bytes held by the cells (estimate for the memory budget).
    std::size_t storageBytes() const;

private:
    struct Cell {
        QString text;
        bool bold = false;
    };
    Cell& cell(int row, int col) { return cells_[static_cast<std::size_t>(row) * cols_ + col]; }
    const Cell& cell(int row, int col) const { return cells_[static_cast<std::size_t>(row) * cols_ + col]; }
    void checkCell(int row, int col) const;
    void clampSelection();
    void clampTopRow();
    int dataAreaHeight() const;
    const SortText& sortTextOf(int col) const { return colSortText_[col]; }

    int rows_ = 0, cols_ = 0, fixedRows_ = 0;
    std::vector<Cell> cells_;  // row-major, Cols cells per row
    std::vector<int> colWidths_, colAlign_;
    std::vector<SortText> colSortText_;
    int row_ = 0, col_ = 0, rowSel_ = 0, colSel_ = 0, topRow_ = 0;
    int rowHeight_ = 240, viewWidth_ = 0, viewHeight_ = 0;
};

// The order of setting 7: letters compared first without their accents and case,
// then unaccented before accented, then lower case before upper case, then by code.
int compareSortText(const QString& a, const QString& b);

}  // namespace kioskgrid
