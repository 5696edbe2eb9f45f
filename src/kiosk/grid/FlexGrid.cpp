#include "kiosk/grid/FlexGrid.h"

#include "platform/colors.h"
#include "platform/fonts.h"
#include "platform/guard.h"
#include "platform/runtime.h"
#include "platform/twips.h"
#include "platform/twipsgeom.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalBlocker>

namespace kioskgrid {


namespace {

Qt::Alignment qtAlignment(int a) {
    if (a == AlignGeneral) a = 1;
    static const Qt::Alignment horizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static const Qt::Alignment vertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    return horizontal[a / 3] | vertical[a % 3];
}

constexpr int32_t sysColor(uint32_t v) { return static_cast<int32_t>(v); }

}  // namespace

FlexGrid::FlexGrid(QWidget* parent)
    : QWidget(parent),
      backColor_(platform::vbWindowBackground),
      foreColor_(platform::vbWindowText),
      backColorFixed_(platform::vbButtonFace),
      foreColorFixed_(sysColor(0x80000012u)),
      backColorSel_(sysColor(0x8000000Du)),
      foreColorSel_(sysColor(0x8000000Eu)),
      backColorBkg_(sysColor(0x8000000Cu)),
      gridColor_(0xC0C0C0),
      gridColorFixed_(0) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    vbar_ = new QScrollBar(Qt::Vertical, this);
    vbar_->hide();
    connect(vbar_, &QScrollBar::valueChanged, this, [this](int v) {
        guarded("Scroll", [&] {
            const int oldTop = model_.TopRow();
            model_.setTopRow(v);
            userMoved(oldTop, false);
        });
    });
    applyFont();
}

template <class F>
void FlexGrid::guarded(const char* procedure, F&& body) {
    const QByteArray name = objectName().toUtf8();
    platform::guardEvent(name.constData(), procedure, std::forward<F>(body));
}

// ---- properties ----

void FlexGrid::setRows(int n) {
    model_.setRows(n);
    changed();
}

void FlexGrid::setCols(int n) {
    model_.setCols(n);
    changed();
}

void FlexGrid::setFixedRows(int n) {
    model_.setFixedRows(n);
    changed();
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text) {
    model_.setTextMatrix(row, col, text);
    cellChanged(row);
}

void FlexGrid::setCellFontBold(bool bold) {
    model_.setCellFontBold(bold);
    cellChanged(model_.Row());
}

void FlexGrid::setRow(int r) {
    model_.setRow(r);
    update();
}

void FlexGrid::setCol(int c) {
    model_.setCol(c);
    update();
}

void FlexGrid::setRowSel(int r) {
    model_.setRowSel(r);
    update();
}

void FlexGrid::setColSel(int c) {
    model_.setColSel(c);
    update();
}

void FlexGrid::setTopRow(int r) {
    model_.setTopRow(r);
    changed();
}

void FlexGrid::setScrollBars(int v) {
    if (v < 0 || v > 3) platform::raise(380);
    scrollBars_ = v;
    syncScrollBar();
}

void FlexGrid::AddItem(const QString& text, int index) {
    const int at = index == -1 ? model_.Rows() : index;
    model_.AddItem(text, index);
    if (!vbar_->isHidden() || (scrollBars_ & 2)) syncScrollBar();
    const int last = model_.lastVisibleRow();
    if (at < model_.FixedRows() || last < 0 || at <= last) update();
}

void FlexGrid::RemoveItem(int row) {
    model_.RemoveItem(row);
    changed();
}

void FlexGrid::Clear() {
    model_.Clear();
    update();
}

void FlexGrid::setSort(int setting) {
    model_.setSort(setting);
    update();
}

void FlexGrid::setRedraw(bool on) {
    redraw_ = on;
    setUpdatesEnabled(on);
    if (on) update();
}

void FlexGrid::setColWidth(int col, int twips) {
    model_.setColWidth(col, twips);
    update();
}

void FlexGrid::setColAlignment(int col, int alignment) {
    model_.setColAlignment(col, alignment);
    update();
}

void FlexGrid::setFontName(const QString& name) {
    fontName_ = name;
    applyFont();
}

void FlexGrid::setFontSize(double points) {
    if (!(points >= 1 && points <= 2048)) platform::raise(380);
    fontSize_ = points;
    applyFont();
}

void FlexGrid::applyFont() {
    font_ = platform::vbFont(fontName_, fontSize_);
    boldFont_ = platform::vbFont(fontName_, fontSize_, true);
    // One height for every row: the taller of the two faces plus a small margin.
    const int px = std::max(QFontMetrics(font_).height(), QFontMetrics(boldFont_).height()) + 3;
    model_.setRowHeight(px * platform::TwipsPerPixel);
    changed();
}

int FlexGrid::CellWidthFor(const QString& text, bool bold) const {
    // The text stands 2 pixels in from the left and 3 from the right; one pixel more
    // for the cell's rounding to whole pixels.
    const int px = QFontMetrics(bold ? boldFont_ : font_).horizontalAdvance(text) + 2 + 3 + 1;
    return px * platform::TwipsPerPixel;
}

void FlexGrid::setColour(int32_t& slot, int32_t c) {
    slot = c;
    update();
}

int FlexGrid::Left() const { return platform::TwLeft(this); }
int FlexGrid::Top() const { return platform::TwTop(this); }
int FlexGrid::Width() const { return platform::TwWidth(this); }
int FlexGrid::Height() const { return platform::TwHeight(this); }
void FlexGrid::setLeft(int twips) { platform::setTwLeft(this, twips); }
void FlexGrid::setTop(int twips) { platform::setTwTop(this, twips); }
void FlexGrid::setWidth(int twips) { platform::setTwWidth(this, twips); }
void FlexGrid::setHeight(int twips) { platform::setTwHeight(this, twips); }

// The screen moves the focus also while its window is hidden; Qt remembers it then.
void FlexGrid::SetFocus() { setFocus(Qt::OtherFocusReason); }

// ---- keeping the view in step ----

void FlexGrid::syncViewport() {
    const int barWidth = !vbar_->isHidden() ? vbar_->width() : 0;
    model_.setViewport((width() - barWidth) * platform::TwipsPerPixel, height() * platform::TwipsPerPixel);
}

void FlexGrid::syncScrollBar() {
    const bool needed = (scrollBars_ & 2) && model_.maxTopRow() > model_.FixedRows();
    if (needed) {
        const QSignalBlocker block(vbar_);
        vbar_->setRange(model_.FixedRows(), model_.maxTopRow());
        vbar_->setPageStep(model_.fullyVisibleDataRows());
        vbar_->setValue(model_.TopRow());
        const int w = vbar_->sizeHint().width();
        vbar_->setGeometry(width() - w, 0, w, height());
    }
    if (needed != !vbar_->isHidden()) {
        vbar_->setVisible(needed);
        syncViewport();
    }
}

void FlexGrid::changed() {
    syncScrollBar();
    update();
}

void FlexGrid::cellChanged(int row) {
    if (model_.RowIsVisible(row)) update();
}

void FlexGrid::userMoved(int oldTop, bool selectionChanged) {
    syncScrollBar();
    update();
    if (model_.TopRow() != oldTop) emit Scroll();
    if (selectionChanged) emit SelChange();
}

void FlexGrid::resizeEvent(QResizeEvent*) {
    syncViewport();
    syncScrollBar();
}

// ---- painting: fixed rows, then the data rows in view ----

void FlexGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int areaWidth = width() - (!vbar_->isHidden() ? vbar_->width() : 0);
    p.fillRect(rect(), platform::vbColor(backColorBkg_));
    const int rowH = model_.RowHeight();
    const int fixed = model_.FixedRows();

    auto paintRow = [&](int r) {
        const int top = model_.rowTop(r);
        if (top < 0) return;
        const int y0 = platform::twipsToPx(top), y1 = platform::twipsToPx(top + rowH);
        int left = 0;
        for (int c = 0; c < model_.Cols(); ++c) {
            const int w = model_.ColWidth(c);
            const int x0 = platform::twipsToPx(left), x1 = platform::twipsToPx(left + w);
            left += w;
            if (x1 <= x0) continue;
            if (x0 >= areaWidth) break;
            const bool isFixed = r < fixed, sel = model_.isSelected(r, c);
            const QRect cellRect(x0, y0, x1 - x0, y1 - y0);
            p.fillRect(cellRect, platform::vbColor(isFixed ? backColorFixed_ : sel ? backColorSel_ : backColor_));
            p.setPen(platform::vbColor(isFixed ? gridColorFixed_ : gridColor_));
            p.drawLine(x1 - 1, y0, x1 - 1, y1 - 1);
            p.drawLine(x0, y1 - 1, x1 - 1, y1 - 1);
            const QString& t = model_.TextMatrix(r, c);
            if (t.isEmpty()) continue;
            p.setFont(model_.cellBold(r, c) ? boldFont_ : font_);
            p.setPen(platform::vbColor(isFixed ? foreColorFixed_ : sel ? foreColorSel_ : foreColor_));
            p.drawText(cellRect.adjusted(2, 0, -3, -1), qtAlignment(model_.ColAlignment(c)) | Qt::TextSingleLine, t);
        }
    };

    for (int r = 0; r < fixed && r < model_.Rows(); ++r) paintRow(r);
    const int last = model_.lastVisibleRow();
    for (int r = model_.TopRow(); last >= 0 && r <= last; ++r) paintRow(r);
}

// ---- mouse ----

void FlexGrid::trackMouse(const QPointF& pos) {
    mouseRow_ = model_.rowAt(pos.y() * platform::TwipsPerPixel);
    mouseCol_ = model_.colAt(pos.x() * platform::TwipsPerPixel);
}

void FlexGrid::mousePressEvent(QMouseEvent* e) {
    guarded("MouseDown", [&] {
        trackMouse(e->position());
        const int16_t button = vbButton(e->button());
        if (button == 1 && mouseRow_ >= model_.FixedRows()) {
            const int oldTop = model_.TopRow();
            const bool moved = model_.selectRowByUser(mouseRow_);
            dragging_ = true;
            userMoved(oldTop, moved);
        }
        emit MouseDown(button, vbShift(e->modifiers()), static_cast<float>(e->position().x() * platform::TwipsPerPixel),
                       static_cast<float>(e->position().y() * platform::TwipsPerPixel));
    });
}

void FlexGrid::mouseMoveEvent(QMouseEvent* e) {
    guarded("MouseMove", [&] {
        trackMouse(e->position());
        if (!dragging_ || !(e->buttons() & Qt::LeftButton) || mouseRow_ < model_.FixedRows()) return;
        if (mouseRow_ == model_.RowSel()) return;
        const int oldTop = model_.TopRow();
        model_.setRowSel(mouseRow_);
        model_.scrollIntoView(mouseRow_);
        userMoved(oldTop, true);
    });
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* e) {
    guarded("MouseUp", [&] {
        trackMouse(e->position());
        const int16_t button = vbButton(e->button());
        if (button == 1) dragging_ = false;
        emit MouseUp(button, vbShift(e->modifiers()), static_cast<float>(e->position().x() * platform::TwipsPerPixel),
                     static_cast<float>(e->position().y() * platform::TwipsPerPixel));
        // The release of a double click ends it without a second Click.
        if (button == 1 && !afterDoubleClick_) emit Click();
        if (button == 1) afterDoubleClick_ = false;
    });
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* e) {
    guarded("DblClick", [&] {
        trackMouse(e->position());
        if (e->button() != Qt::LeftButton) return;
        afterDoubleClick_ = true;
        dragging_ = true;
        emit DblClick();
    });
}

// ---- keys and focus ----

void FlexGrid::keyPressEvent(QKeyEvent* e) {
    guarded("KeyDown", [&] {
        int16_t code = vbKeyCode(e->key());
        const int16_t shift = vbShift(e->modifiers());
        // A handler may serve events, and with them the next key, before it returns.
        const bool before = keyRepeat_;
        keyRepeat_ = platform::isKeyRepeat(*e);
        const auto restore = qScopeGuard([&] { keyRepeat_ = before; });
        emit KeyDown(code, shift);
        if (code == 0) return;
        const int oldTop = model_.TopRow();
        const bool moved = model_.moveByKey(code, shift);
        userMoved(oldTop, moved);
    });
}

namespace {
// Focus that comes or goes with the whole window (another program, a pop-up menu)
// is no move between the controls of the screen.
bool windowFocusChange(Qt::FocusReason why) {
    return why == Qt::ActiveWindowFocusReason || why == Qt::PopupFocusReason || why == Qt::MenuBarFocusReason;
}
}  // namespace

void FlexGrid::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    if (windowFocusChange(e->reason())) return;
    guarded("GotFocus", [&] { emit GotFocus(); });
}

void FlexGrid::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    if (windowFocusChange(e->reason())) return;
    guarded("LostFocus", [&] {
        bool cancel = false;
        emit Validate(cancel);
        if (cancel) QMetaObject::invokeMethod(this, [this] { setFocus(Qt::OtherFocusReason); }, Qt::QueuedConnection);
        emit LostFocus();
    });
}

}  // namespace kioskgrid
