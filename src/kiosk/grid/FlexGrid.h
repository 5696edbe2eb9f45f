#pragma once
// The text grid of the main screen: a widget that paints a GridModel (only the rows in
// view) and turns mouse and keys into the events the screen handles. Geometry in twips,
// colours as &HBBGGRR values, fonts by their usual names.
#include "kiosk/grid/GridModel.h"
#include "platform/input.h"

#include <QFont>
#include <QWidget>
#include <cstdint>

class QScrollBar;

namespace kioskgrid {

using platform::vbButton;
using platform::vbKeyCode;
using platform::vbShift;

class FlexGrid : public QWidget {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr);

    const GridModel& model() const { return model_; }

    int Rows() const { return model_.Rows(); }
    void setRows(int n);
    int Cols() const { return model_.Cols(); }
    void setCols(int n);
    int FixedRows() const { return model_.FixedRows(); }
    void setFixedRows(int n);

    QString TextMatrix(int row, int col) const { return model_.TextMatrix(row, col); }
    void setTextMatrix(int row, int col, const QString& text);
    QString Text() const { return model_.Text(); }
    void setText(const QString& text) { setTextMatrix(Row(), Col(), text); }
    bool CellFontBold() const { return model_.CellFontBold(); }
    void setCellFontBold(bool bold);

    int Row() const { return model_.Row(); }
    void setRow(int r);
    int Col() const { return model_.Col(); }
    void setCol(int c);
    int RowSel() const { return model_.RowSel(); }
    void setRowSel(int r);
    int ColSel() const { return model_.ColSel(); }
    void setColSel(int c);

    int TopRow() const { return model_.TopRow(); }
    void setTopRow(int r);
    bool RowIsVisible(int row) const { return model_.RowIsVisible(row); }
    // 0 none, 1 horizontal, 2 vertical, 3 both; only the vertical bar is drawn, and
    // only while the rows do not fit.
    int ScrollBars() const { return scrollBars_; }
    void setScrollBars(int v);

    int MouseRow() const { return mouseRow_; }
    // True while KeyDown is raised for a key held down (the keyboard's auto-repeat).
    bool KeyIsRepeat() const { return keyRepeat_; }
    int MouseCol() const { return mouseCol_; }

    void AddItem(const QString& text, int index = -1);
    void RemoveItem(int row);
    void Clear();
    void setSort(int setting);
    void setColSortText(int col, GridModel::SortText key) { model_.setColSortText(col, std::move(key)); }

    bool Redraw() const { return redraw_; }
    void setRedraw(bool on);
    // Accepted and kept; the grid marks rows the same either way.
    bool AllowBigSelection() const { return allowBigSelection_; }
    void setAllowBigSelection(bool on) { allowBigSelection_ = on; }

    int ColWidth(int col) const { return model_.ColWidth(col); }
    void setColWidth(int col, int twips);
    int ColAlignment(int col) const { return model_.ColAlignment(col); }
    void setColAlignment(int col, int alignment);
    int RowHeight() const { return model_.RowHeight(); }

    QString FontName() const { return fontName_; }
    void setFontName(const QString& name);
    double FontSize() const { return fontSize_; }
    void setFontSize(double points);  // 1 to 2048 points, else error 380
    // The width in twips a cell needs to show the text whole, in the grid's font.
    int CellWidthFor(const QString& text, bool bold) const;

    int32_t BackColor() const { return backColor_; }
    void setBackColor(int32_t c) { setColour(backColor_, c); }
    int32_t ForeColor() const { return foreColor_; }
    void setForeColor(int32_t c) { setColour(foreColor_, c); }
    int32_t BackColorFixed() const { return backColorFixed_; }
    void setBackColorFixed(int32_t c) { setColour(backColorFixed_, c); }
    int32_t ForeColorFixed() const { return foreColorFixed_; }
    void setForeColorFixed(int32_t c) { setColour(foreColorFixed_, c); }
    int32_t BackColorSel() const { return backColorSel_; }
    void setBackColorSel(int32_t c) { setColour(backColorSel_, c); }
    int32_t ForeColorSel() const { return foreColorSel_; }
    void setForeColorSel(int32_t c) { setColour(foreColorSel_, c); }
    int32_t BackColorBkg() const { return backColorBkg_; }
    void setBackColorBkg(int32_t c) { setColour(backColorBkg_, c); }
    int32_t GridColor() const { return gridColor_; }
    void setGridColor(int32_t c) { setColour(gridColor_, c); }
    int32_t GridColorFixed() const { return gridColorFixed_; }
    void setGridColorFixed(int32_t c) { setColour(gridColorFixed_, c); }

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    void SetFocus();

signals:
    void Click();
    void DblClick();
    // Raised before the grid makes its own move for the key; a handler may change
    // KeyCode, and 0 keeps the grid from moving.
    void KeyDown(int16_t& KeyCode, int16_t Shift);
    void MouseDown(int16_t Button, int16_t Shift, float X, float Y);
    void MouseUp(int16_t Button, int16_t Shift, float X, float Y);
    // Only for changes of the marking by mouse or keys, not for changes from code.
    void SelChange();
    void Scroll();  // the user scrolled (keys, a click on a half-shown row, the bar)
    // Focus moves between controls; not when the whole window gains or loses it.
    void GotFocus();
    void LostFocus();
    // The focus goes to another control of the window; Cancel = True keeps it here.
    void Validate(bool& Cancel);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void setColour(int32_t& slot, int32_t c);
    void applyFont();
    void syncViewport();
    void syncScrollBar();
    void changed();                 // anything that may move what is shown
    void cellChanged(int row);      // one row's content
    void userMoved(int oldTop, bool selectionChanged);
    void trackMouse(const QPointF& pos);
    template <class F>
    void guarded(const char* procedure, F&& body);

    GridModel model_;
    QScrollBar* vbar_ = nullptr;
    int scrollBars_ = 0;
    bool redraw_ = true;
    bool allowBigSelection_ = true;
    int mouseRow_ = 0, mouseCol_ = 0;
    bool dragging_ = false, afterDoubleClick_ = false;
    bool keyRepeat_ = false;

    QString fontName_ = QStringLiteral("MS Sans Serif");
    double fontSize_ = 8;
    QFont font_, boldFont_;

    int32_t backColor_, foreColor_, backColorFixed_, foreColorFixed_, backColorSel_, foreColorSel_, backColorBkg_,
        gridColor_, gridColorFixed_;
};

}  // namespace kioskgrid
