#include "kiosk/grid/FlexGrid.h"
#include "platform/colors.h"
#include "platform/runtime.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStringList>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using kioskgrid::FlexGrid;

namespace {

// A shown grid, 600 × 300 pixels, six columns, `n` data rows "r1" ...
struct GridWidget : ::testing::Test {
    QWidget window;
    FlexGrid* grid = new FlexGrid(&window);
    QLineEdit* other = new QLineEdit(&window);
    QStringList events;

    void SetUp() override {
        grid->setObjectName(QStringLiteral("MSFlexGrid1"));
        grid->setCols(6);
        grid->setRows(1);
        grid->setFontSize(10);
        window.resize(900, 400);
        grid->setLeft(0);
        grid->setTop(0);
        grid->setWidth(600 * 15);
        grid->setHeight(300 * 15);
        other->setGeometry(650, 10, 100, 20);
        for (int c = 0; c < 4; ++c) grid->setColWidth(c, 2250);
        window.show();
        QObject::connect(grid, &FlexGrid::Click, [this] { events << "Click"; });
        QObject::connect(grid, &FlexGrid::DblClick, [this] { events << "DblClick"; });
        QObject::connect(grid, &FlexGrid::SelChange, [this] { events << "SelChange"; });
        QObject::connect(grid, &FlexGrid::Scroll, [this] { events << "Scroll"; });
        QObject::connect(grid, &FlexGrid::MouseDown, [this](int16_t b, int16_t s, float x, float y) {
            events << QStringLiteral("MouseDown %1 %2 %3 %4 row %5").arg(b).arg(s).arg(x).arg(y).arg(grid->MouseRow());
        });
        QObject::connect(grid, &FlexGrid::MouseUp, [this](int16_t b, int16_t, float, float) {
            events << QStringLiteral("MouseUp %1").arg(b);
        });
    }
    void fill(int n) {
        for (int i = 1; i <= n; ++i) grid->AddItem(QStringLiteral("r%1").arg(i));
    }
    int rowPx() const { return grid->RowHeight() / 15; }
    QPoint cellCentre(int visibleIndex, int col) const {  // visibleIndex 0 is the header
        return QPoint(col * 150 + 75, visibleIndex * rowPx() + rowPx() / 2);
    }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b);
        QMouseEvent e(type, QPointF(at), grid->mapToGlobal(QPointF(at)), b, held, Qt::NoModifier);
        QApplication::sendEvent(grid, &e);
    }
    void click(QPoint at, Qt::MouseButton b = Qt::LeftButton) {
        mouse(QEvent::MouseButtonPress, at, b);
        mouse(QEvent::MouseButtonRelease, at, b);
    }
    void key(int qtKey, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QKeyEvent e(QEvent::KeyPress, qtKey, m);
        QApplication::sendEvent(grid, &e);
    }
};

}  // namespace

TEST_F(GridWidget, ClickMarksTheWholeRowBeforeMouseDownAndClickFollowsTheRelease) {
    fill(20);
    grid->setRow(1);
    click(cellCentre(3, 1));
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(grid->RowSel(), 3);
    EXPECT_EQ(grid->Col(), 0);
    EXPECT_EQ(grid->ColSel(), 5);
    EXPECT_EQ(grid->MouseRow(), 3);
    EXPECT_EQ(grid->MouseCol(), 1);
    const QPoint at = cellCentre(3, 1);
    EXPECT_EQ(events, (QStringList{"SelChange", QStringLiteral("MouseDown 1 0 %1 %2 row 3").arg(at.x() * 15).arg(at.y() * 15),
                                   "MouseUp 1", "Click"}));
}

TEST_F(GridWidget, HeaderAndRightClicksLeaveTheMarking) {
    fill(5);
    grid->setRow(2);
    click(cellCentre(0, 2));
    EXPECT_EQ(grid->MouseRow(), 0);
    EXPECT_EQ(grid->MouseCol(), 2);
    click(cellCentre(4, 0), Qt::RightButton);
    EXPECT_EQ(grid->MouseRow(), 4);
    EXPECT_EQ(grid->Row(), 2);
    click(QPoint(10, 290));  // below the last row
    EXPECT_EQ(grid->MouseRow(), -1);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_FALSE(events.contains("SelChange"));
    EXPECT_EQ(events.count("Click"), 2);  // the right button raises no Click
}

TEST_F(GridWidget, DoubleClickRaisesOneDblClickAndNoSecondClick) {
    fill(5);
    const QPoint at = cellCentre(2, 0);
    click(at);
    mouse(QEvent::MouseButtonDblClick, at);
    mouse(QEvent::MouseButtonRelease, at);
    EXPECT_EQ(events.count("Click"), 1);
    EXPECT_EQ(events.count("DblClick"), 1);
    EXPECT_EQ(events.last(), "MouseUp 1");
    EXPECT_EQ(grid->MouseRow(), 2);
}

TEST_F(GridWidget, DragExtendsRowSelAndRaisesSelChange) {
    fill(10);
    mouse(QEvent::MouseButtonPress, cellCentre(2, 0));
    mouse(QEvent::MouseMove, cellCentre(5, 0));
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->RowSel(), 5);
    EXPECT_EQ(events.count("SelChange"), 2);
}

TEST_F(GridWidget, KeyDownSeesTheRowBeforeTheGridMoves) {
    fill(40);
    grid->setRow(3);
    int seenRow = -1;
    int16_t seenCode = 0;
    auto c = QObject::connect(grid, &FlexGrid::KeyDown, [&](int16_t& code, int16_t shift) {
        seenRow = grid->Row();
        seenCode = code;
        events << QStringLiteral("KeyDown %1").arg(shift);
    });
    key(Qt::Key_Down);
    EXPECT_EQ(seenCode, 40);
    EXPECT_EQ(seenRow, 3);
    EXPECT_EQ(grid->Row(), 4);
    EXPECT_EQ(events, (QStringList{"KeyDown 0", "SelChange"}));
    key(Qt::Key_F12, Qt::ShiftModifier);
    EXPECT_EQ(seenCode, 123);
    EXPECT_EQ(events.last(), "KeyDown 1");
    QObject::disconnect(c);

    // A handler that takes the key keeps the grid from moving.
    QObject::connect(grid, &FlexGrid::KeyDown, [](int16_t& code, int16_t) { code = 0; });
    key(Qt::Key_Down);
    EXPECT_EQ(grid->Row(), 4);
}

TEST_F(GridWidget, KeysScrollTheViewButRowFromCodeDoesNot) {
    fill(40);
    const int fit = grid->model().fullyVisibleDataRows();
    grid->setRow(30);
    EXPECT_EQ(grid->TopRow(), 1);
    EXPECT_FALSE(grid->RowIsVisible(30));
    grid->setRow(fit);
    key(Qt::Key_Down);
    EXPECT_EQ(grid->Row(), fit + 1);
    EXPECT_EQ(grid->TopRow(), 2);
    EXPECT_TRUE(events.contains("Scroll"));
}

TEST_F(GridWidget, TheVerticalBarShowsOnlyWhileAskedForAndNeeded) {
    QScrollBar* bar = grid->findChild<QScrollBar*>();
    ASSERT_NE(bar, nullptr);
    fill(3);
    grid->setScrollBars(2);
    EXPECT_TRUE(bar->isHidden());  // everything fits
    fill(100);
    EXPECT_FALSE(bar->isHidden());
    grid->setTopRow(50);
    EXPECT_EQ(bar->value(), 50);
    grid->setScrollBars(0);
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(grid->TopRow(), 50);
    EXPECT_THROW(grid->setScrollBars(4), platform::RuntimeError);
}

TEST_F(GridWidget, GeometryInTwipsReadsBackAndSizesTheView) {
    grid->setWidth(13560);
    grid->setHeight(4860);
    EXPECT_EQ(grid->Width(), 13560);
    EXPECT_EQ(grid->Height(), 4860);
    EXPECT_EQ(grid->width(), 904);
    EXPECT_EQ(grid->model().viewportHeight(), 4860);
    fill(200);
    const int fit = (4860 - grid->RowHeight()) / grid->RowHeight();
    EXPECT_EQ(grid->model().maxTopRow(), 201 - fit);
}

TEST_F(GridWidget, FontSizeSetsTheRowHeight) {
    grid->setFontSize(8);
    const int small = grid->RowHeight();
    grid->setFontSize(18);
    EXPECT_GT(grid->RowHeight(), small);
    EXPECT_EQ(grid->RowHeight() % 15, 0);
    EXPECT_EQ(grid->FontSize(), 18);
    EXPECT_THROW(grid->setFontSize(0), platform::RuntimeError);
}

TEST_F(GridWidget, PaintsHeaderMarkedRowCellsAndBackground) {
    fill(3);
    grid->setBackColor(platform::RGB(0, 0, 255));
    grid->setBackColorFixed(platform::RGB(0, 255, 255));
    grid->setBackColorSel(platform::RGB(255, 0, 0));
    grid->setBackColorBkg(platform::RGB(0, 255, 0));
    grid->setRow(2);
    grid->setCol(0);
    grid->setColSel(5);
    const QImage img = grid->grab().toImage();
    auto at = [&](QPoint p) { return platform::fromQColor(img.pixelColor(p)); };
    EXPECT_EQ(at(QPoint(140, 1)), platform::RGB(0, 255, 255));
    EXPECT_EQ(at(QPoint(140, rowPx() + 1)), platform::RGB(0, 0, 255));
    EXPECT_EQ(at(QPoint(140, 2 * rowPx() + 1)), platform::RGB(255, 0, 0));
    EXPECT_EQ(at(QPoint(140, 280)), platform::RGB(0, 255, 0));  // below the rows
}

TEST_F(GridWidget, RedrawOffSuspendsPainting) {
    grid->setRedraw(false);
    EXPECT_FALSE(grid->updatesEnabled());
    EXPECT_FALSE(grid->Redraw());
    grid->setRedraw(true);
    EXPECT_TRUE(grid->updatesEnabled());
}

TEST_F(GridWidget, LeavingForAnotherControlValidatesAndCancelKeepsTheFocus) {
    window.activateWindow();
    QApplication::processEvents();
    if (!window.isActiveWindow()) GTEST_SKIP() << "no active window on this platform";
    grid->SetFocus();
    QApplication::processEvents();
    int validations = 0;
    bool refuse = true;
    QObject::connect(grid, &FlexGrid::Validate, [&](bool& cancel) {
        ++validations;
        cancel = refuse;
    });
    QObject::connect(grid, &FlexGrid::LostFocus, [&] { events << "LostFocus"; });
    other->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(validations, 1);
    EXPECT_TRUE(grid->hasFocus());
    refuse = false;
    other->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(validations, 2);
    EXPECT_TRUE(other->hasFocus());
    EXPECT_EQ(events.count("LostFocus"), 2);
}

TEST(GridKeys, KeyCodesOfTheFormsRuntime) {
    EXPECT_EQ(kioskgrid::vbKeyCode(Qt::Key_Return), 13);
    EXPECT_EQ(kioskgrid::vbKeyCode(Qt::Key_Enter), 13);
    EXPECT_EQ(kioskgrid::vbKeyCode(Qt::Key_Space), 32);
    EXPECT_EQ(kioskgrid::vbKeyCode(Qt::Key_Right), 39);
    EXPECT_EQ(kioskgrid::vbKeyCode(Qt::Key_Delete), 46);
    EXPECT_EQ(kioskgrid::vbKeyCode(Qt::Key_F1), 112);
    EXPECT_EQ(kioskgrid::vbKeyCode(Qt::Key_F11), 122);
    EXPECT_EQ(kioskgrid::vbKeyCode(Qt::Key_Q), 81);
    EXPECT_EQ(kioskgrid::vbShift(Qt::ShiftModifier | Qt::AltModifier), 5);
    EXPECT_EQ(kioskgrid::vbButton(Qt::MiddleButton), 4);
}
