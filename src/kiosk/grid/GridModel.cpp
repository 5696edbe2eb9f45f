#include "kiosk/grid/GridModel.h"

#include "platform/runtime.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <string_view>

namespace kioskgrid {
namespace {

[[noreturn]] void fail(int number) {
    switch (number) {
    case ErrSubscript: throw platform::RuntimeError(number, QStringLiteral("Index außerhalb des gültigen Bereichs"));
    case ErrInvalidRow: throw platform::RuntimeError(number, QStringLiteral("Ungültiger Zeilenwert"));
    case ErrInvalidCol: throw platform::RuntimeError(number, QStringLiteral("Ungültiger Spaltenwert"));
    default: platform::raise(number);
    }
}

// Primary weight of the characters up to U+02FF: the base letter in lower case.
// Everything above keeps its case-folded self; sorts of song tags never get there.
struct PrimaryTable {
    std::array<char16_t, 0x300> base{};
    std::array<bool, 0x300> accented{}, upper{};
    PrimaryTable() {
        for (char16_t u = 0; u < base.size(); ++u) {
            QChar c(u);
            QChar b = c;
            if (c.decompositionTag() == QChar::Canonical) b = c.decomposition().at(0);
            accented[u] = b != c;
            upper[u] = c.isUpper();
            base[u] = b.toLower().unicode();
        }
        base[0] = 1;  // 0 separates the columns of a key
    }
};
const PrimaryTable& primaryTable() {
    static const PrimaryTable t;
    return t;
}

// The sort key of one or more cells has two parts: the letters without accents and
// case, compared first; then, for equal letters, the accent marks, the case and the
// texts themselves. Columns are kept apart by a value below every character.
// The keys of a sort's rows share one buffer per part, so sorting touches little
// memory; the second part is made only for rows whose letters are equal.
struct KeyPart {
    std::vector<char16_t> units;
    struct Span {
        uint32_t at = 0, size = 0;
    };
    std::vector<Span> spans;  // by row

    std::u16string_view of(std::size_t row) const { return {units.data() + spans[row].at, spans[row].size}; }

    // Words of three units, each unit one above its character and 0 after the end:
    // words compare as the texts do, and a word whose last unit is 0 ends its key.
    static constexpr int UnitBits = 21;
    uint64_t word(std::size_t row, std::size_t index) const {
        const Span& s = spans[row];
        uint64_t w = 0;
        for (std::size_t i = 3 * index; i < 3 * index + 3; ++i) w = (w << UnitBits) | (i < s.size ? units[s.at + i] + 1u : 0u);
        return w;
    }
    static bool ends(uint64_t word) { return (word & ((uint64_t(1) << UnitBits) - 1)) == 0; }
};

std::size_t keyChars(const QString* const* texts, int count) {
    std::size_t chars = count > 0 ? count - 1 : 0;
    for (int i = 0; i < count; ++i) chars += texts[i]->size();
    return chars;
}

void addPrimary(const QString* const* texts, int count, KeyPart& part, std::size_t row) {
    const PrimaryTable& t = primaryTable();
    KeyPart::Span& s = part.spans[row];
    s.at = uint32_t(part.units.size());
    part.units.resize(s.at + 2 * keyChars(texts, count));  // room for every ß as "ss"
    char16_t* p = part.units.data() + s.at;
    for (int i = 0; i < count; ++i) {
        if (i > 0) *p++ = 0;
        for (QChar c : *texts[i]) {
            const char16_t u = c.unicode();
            if (u == 0x00DF) {
                *p++ = u's';
                *p++ = u's';
            } else {
                *p++ = u < t.base.size() ? t.base[u] : c.toCaseFolded().unicode();
            }
        }
    }
    s.size = uint32_t(p - (part.units.data() + s.at));
    part.units.resize(s.at + s.size);
}

void addRest(const QString* const* texts, int count, KeyPart& part, std::size_t row) {
    const PrimaryTable& t = primaryTable();
    const std::size_t chars = keyChars(texts, count);
    KeyPart::Span& s = part.spans[row];
    s.at = uint32_t(part.units.size());
    s.size = uint32_t(3 * chars + 2);
    part.units.resize(s.at + s.size);
    char16_t* accents = part.units.data() + s.at;
    char16_t* cases = accents + chars + 1;
    char16_t* raw = cases + chars + 1;
    accents[chars] = cases[chars] = 0;
    for (int i = 0; i < count; ++i) {
        if (i > 0) *accents++ = *cases++ = *raw++ = 0;
        for (QChar c : *texts[i]) {
            const char16_t u = c.unicode();
            *accents++ = (u == 0x00DF || (u < t.accented.size() && t.accented[u])) ? 2 : 1;
            *cases++ = (u < t.upper.size() ? t.upper[u] : c.isUpper()) ? 2 : 1;
            *raw++ = u;
        }
    }
}

// Sorts rows by a key part a word at a time: each run of rows that agree so far is
// ordered by its next word, rows with equal keys by their old place. Each step sorts
// a compact array that stays in the caches, however scattered the texts are.
// `equalRun` gets each run of two or more rows whose keys are equal.
struct Entry {
    uint64_t word;
    uint32_t row;
};
template <typename EqualRun>
void sortByWords(Entry* begin, Entry* end, std::size_t index, const KeyPart& part, const EqualRun& equalRun) {
    for (Entry* e = begin; e != end; ++e) e->word = part.word(e->row, index);
    std::sort(begin, end, [](const Entry& a, const Entry& b) { return a.word < b.word || (a.word == b.word && a.row < b.row); });
    for (Entry* run = begin; run != end;) {
        Entry* next = run + 1;
        while (next != end && next->word == run->word) ++next;
        if (next - run > 1) {
            if (KeyPart::ends(run->word)) equalRun(run, next);
            else sortByWords(run, next, index + 1, part, equalRun);
        }
        run = next;
    }
}

int sign(int v) { return (v > 0) - (v < 0); }

}  // namespace

int compareSortText(const QString& a, const QString& b) {
    const QString* texts[] = {&a, &b};
    KeyPart primary, rest;
    primary.spans.resize(2);
    rest.spans.resize(2);
    for (std::size_t i = 0; i < 2; ++i) {
        addPrimary(&texts[i], 1, primary, i);
        addRest(&texts[i], 1, rest, i);
    }
    if (int c = primary.of(0).compare(primary.of(1))) return sign(c);
    return sign(rest.of(0).compare(rest.of(1)));
}

GridModel::GridModel() {
    setCols(2);
    setRows(2);
    setFixedRows(1);
    row_ = rowSel_ = topRow_ = 1;
}

void GridModel::setRows(int n) {
    if (n < 0) fail(380);
    cells_.resize(static_cast<std::size_t>(n) * cols_);
    rows_ = n;
    fixedRows_ = std::min(fixedRows_, n);
    clampSelection();
    clampTopRow();
}

void GridModel::setCols(int n) {
    if (n < 0) fail(380);
    if (n != cols_) {
        std::vector<Cell> next(static_cast<std::size_t>(rows_) * n);
        const int keep = std::min(n, cols_);
        for (int r = 0; r < rows_; ++r)
            for (int c = 0; c < keep; ++c) next[static_cast<std::size_t>(r) * n + c] = std::move(cell(r, c));
        cells_ = std::move(next);
        cols_ = n;
    }
    colWidths_.resize(n, DefaultColWidth);
    colAlign_.resize(n, AlignGeneral);
    colSortText_.resize(n);
    clampSelection();
}

void GridModel::setFixedRows(int n) {
    if (n < 0 || n > rows_) fail(380);
    fixedRows_ = n;
    clampTopRow();
}

void GridModel::checkCell(int row, int col) const {
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_) fail(ErrSubscript);
}

const QString& GridModel::TextMatrix(int row, int col) const {
    checkCell(row, col);
    return cell(row, col).text;
}

void GridModel::setTextMatrix(int row, int col, const QString& text) {
    checkCell(row, col);
    cell(row, col).text = text;
}

bool GridModel::cellBold(int row, int col) const {
    checkCell(row, col);
    return cell(row, col).bold;
}

void GridModel::setCellBold(int row, int col, bool bold) {
    checkCell(row, col);
    cell(row, col).bold = bold;
}

void GridModel::setRow(int r) {
    if (r < 0 || r >= rows_) fail(ErrInvalidRow);
    row_ = rowSel_ = r;
}

void GridModel::setCol(int c) {
    if (c < 0 || c >= cols_) fail(ErrInvalidCol);
    col_ = colSel_ = c;
}

void GridModel::setRowSel(int r) {
    if (r < 0 || r >= rows_) fail(ErrInvalidRow);
    rowSel_ = r;
}

void GridModel::setColSel(int c) {
    if (c < 0 || c >= cols_) fail(ErrInvalidCol);
    colSel_ = c;
}

bool GridModel::isSelected(int row, int col) const {
    return row >= fixedRows_ && row >= std::min(row_, rowSel_) && row <= std::max(row_, rowSel_) &&
           col >= std::min(col_, colSel_) && col <= std::max(col_, colSel_);
}

void GridModel::clampSelection() {
    const int lastRow = std::max(rows_ - 1, 0), lastCol = std::max(cols_ - 1, 0);
    row_ = std::min(row_, lastRow);
    rowSel_ = std::min(rowSel_, lastRow);
    col_ = std::min(col_, lastCol);
    colSel_ = std::min(colSel_, lastCol);
}

int GridModel::dataAreaHeight() const { return std::max(viewHeight_ - fixedRows_ * rowHeight_, 0); }

int GridModel::fullyVisibleDataRows() const { return std::max(dataAreaHeight() / rowHeight_, 1); }

int GridModel::maxTopRow() const { return std::max(fixedRows_, rows_ - fullyVisibleDataRows()); }

void GridModel::clampTopRow() { topRow_ = std::clamp(topRow_, fixedRows_, maxTopRow()); }

void GridModel::setTopRow(int r) {
    if (r < 0 || r >= rows_) fail(ErrInvalidRow);
    topRow_ = r;
    clampTopRow();
}

bool GridModel::RowIsVisible(int row) const {
    if (row < 0 || row >= rows_) fail(ErrSubscript);
    if (row < fixedRows_) return true;
    return row >= topRow_ && static_cast<long long>(row - topRow_) * rowHeight_ < dataAreaHeight();
}

int GridModel::lastVisibleRow() const {
    const int area = dataAreaHeight();
    if (rows_ <= fixedRows_ || area <= 0) return -1;
    const int shown = (area + rowHeight_ - 1) / rowHeight_;
    return std::min(rows_ - 1, topRow_ + shown - 1);
}

void GridModel::AddItem(const QString& text, int index) {
    if (index == -1) index = rows_;
    if (index < 0 || index > rows_) fail(ErrSubscript);
    const std::size_t at = static_cast<std::size_t>(index) * cols_;
    if (index == rows_)
        cells_.resize(cells_.size() + cols_);
    else
        cells_.insert(cells_.begin() + static_cast<std::ptrdiff_t>(at), static_cast<std::size_t>(cols_), Cell{});
    ++rows_;
    if (cols_ > 0) cells_[at].text = text;
    clampTopRow();
}

void GridModel::RemoveItem(int row) {
    if (row < fixedRows_ || row >= rows_) fail(ErrSubscript);
    const auto at = cells_.begin() + static_cast<std::ptrdiff_t>(row) * cols_;
    cells_.erase(at, at + cols_);
    --rows_;
    clampSelection();
    clampTopRow();
}

void GridModel::Clear() {
    for (Cell& c : cells_) c = Cell{};
}

void GridModel::setSort(int setting) {
    if (setting == 0) return;
    if (setting != SortStringAscending) fail(380);
    const int lo = std::max(std::min(row_, rowSel_), fixedRows_), hi = std::max(row_, rowSel_);
    const int c0 = std::min(col_, colSel_), c1 = std::max(col_, colSel_);
    if (hi - lo < 1 || cols_ == 0) return;

    const int n = hi - lo + 1, width = c1 - c0 + 1;
    // The texts a row is sorted by; a column with a sort text of its own gives that.
    std::vector<const QString*> texts(width);
    std::vector<QString> made(width);
    auto textsOf = [&](int i) {
        for (int c = 0; c < width; ++c) {
            texts[c] = &cell(lo + i, c0 + c).text;
            if (const SortText& key = sortTextOf(c0 + c)) texts[c] = &(made[c] = key(*texts[c]));
        }
        return texts.data();
    };
    KeyPart primary, rest;
    primary.spans.resize(n);
    std::size_t chars = 0;
    for (int i = 0; i < n; ++i) chars += keyChars(textsOf(i), width);
    primary.units.reserve(chars + chars / 16 + 16);
    for (int i = 0; i < n; ++i) addPrimary(textsOf(i), width, primary, i);

    std::vector<Entry> entries(n);
    for (int i = 0; i < n; ++i) entries[i].row = uint32_t(i);
    sortByWords(entries.data(), entries.data() + n, 0, primary, [&](Entry* b, Entry* e) {
        // Equal letters: accents, case and the texts decide.
        if (rest.spans.empty()) rest.spans.resize(n);
        for (Entry* x = b; x != e; ++x) addRest(textsOf(int(x->row)), width, rest, x->row);
        sortByWords(b, e, 0, rest, [](Entry*, Entry*) {});
    });

    // Rows move into their new places along the cycles of the order, one row aside at a time.
    std::vector<uint32_t> from(n);
    for (int i = 0; i < n; ++i) from[i] = entries[i].row;
    std::vector<Cell> aside(cols_);
    auto rowAt = [&](std::size_t i) { return cells_.begin() + static_cast<std::ptrdiff_t>((lo + i) * cols_); };
    for (std::size_t i = 0; i < std::size_t(n); ++i) {
        if (from[i] == i) continue;
        std::move(rowAt(i), rowAt(i) + cols_, aside.begin());
        std::size_t j = i;
        while (from[j] != i) {
            std::move(rowAt(from[j]), rowAt(from[j]) + cols_, rowAt(j));
            const std::size_t k = from[j];
            from[j] = uint32_t(j);
            j = k;
        }
        std::move(aside.begin(), aside.end(), rowAt(j));
        from[j] = uint32_t(j);
    }
}

void GridModel::setColSortText(int col, SortText key) {
    if (col < 0 || col >= cols_) fail(ErrSubscript);
    colSortText_[col] = std::move(key);
}

int GridModel::ColWidth(int col) const {
    if (col < 0 || col >= cols_) fail(ErrSubscript);
    return colWidths_[col];
}

void GridModel::setColWidth(int col, int twips) {
    if (col < 0 || col >= cols_) fail(ErrSubscript);
    if (twips < -1) fail(380);
    colWidths_[col] = twips == -1 ? DefaultColWidth : twips;
}

int GridModel::ColAlignment(int col) const {
    if (col < 0 || col >= cols_) fail(ErrSubscript);
    return colAlign_[col];
}

void GridModel::setColAlignment(int col, int alignment) {
    if (col < 0 || col >= cols_) fail(ErrSubscript);
    if (alignment < 0 || alignment > AlignGeneral) fail(380);
    colAlign_[col] = alignment;
}

void GridModel::setRowHeight(int twips) {
    if (twips <= 0) fail(380);
    rowHeight_ = twips;
    clampTopRow();
}

void GridModel::setViewport(int widthTwips, int heightTwips) {
    viewWidth_ = std::max(widthTwips, 0);
    viewHeight_ = std::max(heightTwips, 0);
    clampTopRow();
}

int GridModel::rowAt(double y) const {
    if (y < 0 || y >= viewHeight_) return -1;
    const double fixedHeight = static_cast<double>(fixedRows_) * rowHeight_;
    const int r = y < fixedHeight ? static_cast<int>(y / rowHeight_) : topRow_ + static_cast<int>((y - fixedHeight) / rowHeight_);
    return r < rows_ ? r : -1;
}

int GridModel::colAt(double x) const {
    if (x < 0 || x >= viewWidth_) return -1;
    double left = 0;
    for (int c = 0; c < cols_; ++c) {
        left += colWidths_[c];
        if (x < left) return c;
    }
    return -1;
}

int GridModel::rowTop(int row) const {
    if (row < 0 || row >= rows_) return -1;
    if (row < fixedRows_) return row * rowHeight_;
    if (row < topRow_) return -1;
    const long long top = static_cast<long long>(fixedRows_) * rowHeight_ + static_cast<long long>(row - topRow_) * rowHeight_;
    return top < viewHeight_ ? static_cast<int>(top) : -1;
}

int GridModel::colLeft(int col) const {
    int left = 0;
    for (int c = 0; c < col && c < cols_; ++c) left += colWidths_[c];
    return left;
}

void GridModel::scrollIntoView(int r) {
    if (r < fixedRows_ || r >= rows_) return;
    if (r < topRow_)
        topRow_ = r;
    else if (static_cast<long long>(r - topRow_ + 1) * rowHeight_ > dataAreaHeight())
        topRow_ = r - fullyVisibleDataRows() + 1;
    clampTopRow();
}

bool GridModel::selectRowByUser(int r) {
    if (r < fixedRows_ || r >= rows_ || cols_ == 0) return false;
    const bool changed = r != row_ || r != rowSel_ || col_ != 0 || colSel_ != cols_ - 1;
    row_ = rowSel_ = r;
    col_ = 0;
    colSel_ = cols_ - 1;
    scrollIntoView(r);
    return changed;
}

bool GridModel::moveByKey(int keyCode, int shift) {
    if (rows_ <= fixedRows_) return false;
    const int first = fixedRows_, last = rows_ - 1, page = fullyVisibleDataRows();
    const int from = std::max(row_, first);
    int to;
    switch (keyCode) {
    case 38: to = row_ > first ? row_ - 1 : first; break;  // Up
    case 40: to = row_ < first ? first : std::min(row_ + 1, last); break;  // Down
    case 33: to = std::max(from - page, first); break;  // Page up
    case 34: to = std::min(from + page, last); break;   // Page down
    case 36:  // Home
        if (!(shift & 2)) return false;
        to = first;
        break;
    case 35:  // End
        if (!(shift & 2)) return false;
        to = last;
        break;
    default: return false;
    }
    return selectRowByUser(to);
}

std::size_t GridModel::storageBytes() const {
    std::size_t bytes = cells_.capacity() * sizeof(Cell) + (colWidths_.capacity() + colAlign_.capacity()) * sizeof(int);
    constexpr std::size_t heapHeader = 16 + 16;  // string header and allocator bookkeeping
    for (const Cell& c : cells_)
        if (!c.text.isNull()) bytes += heapHeader + static_cast<std::size_t>(c.text.capacity() + 1) * sizeof(char16_t);
    return bytes;
}

}  // namespace kioskgrid
