// The touch button: events, press, release, repeat, blinking and set-up.
#include "controls/Funbutton/Funbutton.h"
#include "controls/Funbutton/FunbuttonFlaechen.h"
#include "faces_support.h"
#include "platform/clock.h"
#include "platform/colors.h"
#include "platform/virtualtime.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QMouseEvent>
#include <gtest/gtest.h>
#include <memory>

using namespace faces_test;
using platform::RGB;

namespace {

// A host form that notes every mouse event reaching it.
class Host : public QWidget {
public:
    int mouse = 0;
    int contextMenus = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++mouse; }
    void mouseReleaseEvent(QMouseEvent*) override { ++mouse; }
    void mouseDoubleClickEvent(QMouseEvent*) override { ++mouse; }
    void contextMenuEvent(QContextMenuEvent*) override { ++contextMenus; }
};

struct Rig {
    platform::VirtualTime vt;
    Host host;
    Funbutton* b = nullptr;
    QStringList log;
    std::vector<uint32_t> clicks;  // ms after the start
    uint32_t t0 = 0;

    Rig() {
        host.resize(400, 300);
        QPalette pal = host.palette();
        pal.setColor(QPalette::Window, QColor(200, 100, 50));
        host.setPalette(pal);
        b = new Funbutton(&host);
        b->setGeometry(30, 20, 100, 100);
        b->ColorMy = RGB(60, 140, 230);
        b->setPictureMy(pfeilknopf(200));
        host.show();
        t0 = platform::tickCount();
        QObject::connect(b, &Funbutton::Click, [this] {
            log << "Click";
            clicks.push_back(platform::tickCount() - t0);
        });
        QObject::connect(b, &Funbutton::ClickDisabled, [this] { log << "ClickDisabled"; });
        QObject::connect(b, &Funbutton::MouseDown, [this](int16_t bt, int16_t sh, float x, float y) {
            log << QString("MouseDown %1 %2 %3 %4").arg(bt).arg(sh).arg(x).arg(y);
        });
        QObject::connect(b, &Funbutton::MouseUp, [this](int16_t bt, int16_t sh, float x, float y) {
            log << QString("MouseUp %1 %2 %3 %4").arg(bt).arg(sh).arg(x).arg(y);
        });
    }

    void send(QEvent::Type type, Qt::MouseButton button, QPointF at = {10, 10}, Qt::KeyboardModifiers mods = {}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent e(type, at, b->mapToGlobal(at), button, held, mods);
        QApplication::sendEvent(b, &e);
    }
    void press(Qt::MouseButton button = Qt::LeftButton, QPointF at = {10, 10}, Qt::KeyboardModifiers mods = {}) {
        send(QEvent::MouseButtonPress, button, at, mods);
    }
    void release(Qt::MouseButton button = Qt::LeftButton, QPointF at = {10, 10}) {
        send(QEvent::MouseButtonRelease, button, at);
    }
    // The face on top: 0 normal, 1 pressed, 2 refused, -1 none.
    int face() const {
        for (int i = 2; i >= 0; --i)
            if (b->FlaecheSichtbar(i)) return i;
        return -1;
    }
};

}  // namespace

TEST(FunbuttonPress, AcceptedPressAndReleaseRaiseTheirEventsWithTwipPositions) {
    Rig r;
    r.press(Qt::LeftButton, {10.5, 3}, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(r.log, QStringList({"MouseDown 1 3 158 45", "Click"}));  // 157.5 twips rounds to even
    EXPECT_EQ(r.face(), 1);
    EXPECT_TRUE(r.b->Gedrueckt());
    r.log.clear();
    r.release(Qt::LeftButton, {4, 5});
    EXPECT_EQ(r.log, QStringList({"MouseUp 1 0 60 75"}));
    EXPECT_EQ(r.face(), 0);
}

TEST(FunbuttonPress, RefusedPressesStillRaiseClickAndClickDisabled) {
    Rig r;
    r.b->OnlyRight = true;
    r.press(Qt::LeftButton);
    EXPECT_EQ(r.log, QStringList({"MouseDown 1 0 150 150", "Click", "ClickDisabled"}));
    EXPECT_EQ(r.face(), 2);
    r.release();
    EXPECT_EQ(r.log.last(), "MouseUp 1 0 150 150");

    // The right button is accepted.
    r.log.clear();
    r.press(Qt::RightButton);
    EXPECT_EQ(r.log, QStringList({"MouseDown 2 0 150 150", "Click"}));
    EXPECT_EQ(r.face(), 1);
    r.release(Qt::RightButton);

    // Disabled: the same three events, no MouseUp, and the widget itself stays usable.
    r.b->OnlyRight = false;
    r.b->setEnabled(false);
    EXPECT_FALSE(r.b->isEnabled());
    EXPECT_TRUE(r.b->QWidget::isEnabled());
    r.log.clear();
    r.press();
    r.release();
    EXPECT_EQ(r.log, QStringList({"MouseDown 1 0 150 150", "Click", "ClickDisabled"}));
    EXPECT_EQ(r.face(), 0);
}

TEST(FunbuttonPress, HeldPressRepeatsClickAfter650AndEvery150Ms) {
    Rig r;
    r.b->setRepeatEnabled(true);
    r.press();
    r.vt.advance(1000);
    EXPECT_EQ(r.clicks, (std::vector<uint32_t>{0, 650, 800, 950}));
    r.release();
    EXPECT_FALSE(r.b->TimerRepeat().Enabled());
    r.vt.advance(1000);
    EXPECT_EQ(r.clicks.size(), 4u);

    // Released before the delay ends: no repeat.
    r.clicks.clear();
    r.t0 = platform::tickCount();
    r.press();
    r.vt.advance(400);
    r.release();
    r.vt.advance(2000);
    EXPECT_EQ(r.clicks, (std::vector<uint32_t>{0}));
}

TEST(FunbuttonPress, WithoutRepeatAHeldPressClicksOnce) {
    Rig r;
    r.press();
    r.vt.advance(3000);
    EXPECT_EQ(r.clicks, (std::vector<uint32_t>{0}));
    EXPECT_FALSE(r.b->TimerRepeat().Enabled());
    EXPECT_FALSE(r.b->TimerVerzoegerung().Enabled());
    r.release();
}

TEST(FunbuttonPress, DisablingDuringRepeatCrossesOutAndStopsAfterOneMoreClick) {
    Rig r;
    r.b->setRepeatEnabled(true);
    r.press();
    r.vt.advance(700);  // clicks at 0 and 650
    r.b->setEnabled(false);
    EXPECT_EQ(r.face(), 2);
    r.vt.advance(1000);
    EXPECT_EQ(r.clicks, (std::vector<uint32_t>{0, 650, 800}));
    r.release();
}

TEST(FunbuttonPress, ReleaseOfADisabledButtonStopsTheRepeat) {
    Rig r;
    r.b->setRepeatEnabled(true);
    r.press();
    r.vt.advance(700);
    r.b->setEnabled(false);
    r.release();  // no MouseUp, but no Click after the finger is lifted either
    r.vt.advance(1000);
    EXPECT_EQ(r.clicks, (std::vector<uint32_t>{0, 650}));
    EXPECT_FALSE(r.log.join(",").contains("MouseUp"));
}

TEST(FunbuttonPress, HidingOrAModalWindowEndsTheHeldPress) {
    Rig r;
    r.b->setRepeatEnabled(true);
    r.press();
    r.vt.advance(700);
    r.b->hide();
    r.vt.advance(1000);
    EXPECT_EQ(r.clicks, (std::vector<uint32_t>{0, 650}));
    EXPECT_FALSE(r.b->Gedrueckt());
    r.b->show();
    EXPECT_EQ(r.face(), 0);

    // A Click handler opens a modal form: the release goes to that form.
    r.clicks.clear();
    r.t0 = platform::tickCount();
    std::unique_ptr<QDialog> dlg;
    auto c = QObject::connect(r.b, &Funbutton::Click, [&] {
        if (dlg) return;
        dlg = std::make_unique<QDialog>();
        dlg->setWindowModality(Qt::ApplicationModal);
        dlg->show();
    });
    r.press();
    r.vt.advance(2000);
    EXPECT_EQ(r.clicks, (std::vector<uint32_t>{0}));
    EXPECT_EQ(r.face(), 0);
    QObject::disconnect(c);
    dlg->hide();
}

TEST(FunbuttonPress, DoubleTapCountsAsASecondFullPress) {
    Rig r;
    r.press();
    r.release();
    r.send(QEvent::MouseButtonDblClick, Qt::LeftButton);
    r.release();
    EXPECT_EQ(r.log, QStringList({"MouseDown 1 0 150 150", "Click", "MouseUp 1 0 150 150", "MouseDown 1 0 0 0", "Click",
                                  "MouseUp 1 0 0 0", "MouseUp 1 0 150 150"}));
    // The right button has no double click: its second press is a plain press.
    r.log.clear();
    r.send(QEvent::MouseButtonDblClick, Qt::RightButton);
    r.release(Qt::RightButton);
    EXPECT_EQ(r.log, QStringList({"MouseDown 2 0 150 150", "Click", "MouseUp 2 0 150 150"}));
}

TEST(FunbuttonPress, MouseEventsStopAtTheButton) {
    Rig r;
    r.press(Qt::RightButton);
    r.release(Qt::RightButton);
    r.send(QEvent::MouseButtonDblClick, Qt::LeftButton);
    r.release();
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), r.b->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(r.b, &menu);
    EXPECT_EQ(r.host.mouse, 0);
    EXPECT_EQ(r.host.contextMenus, 0);
}

TEST(FunbuttonBlink, BlinkingTogglesTheNormalFaceEvery500Ms) {
    Rig r;
    r.b->setBlinken(true);
    EXPECT_TRUE(r.b->Blinken());
    EXPECT_EQ(r.face(), -1);
    r.vt.advance(250);
    r.b->setBlinken(true);  // no effect: the running phase goes on
    r.vt.advance(250);
    EXPECT_EQ(r.face(), 0);
    r.vt.advance(500);
    EXPECT_EQ(r.face(), -1);
    // A tap on the bare surface colours the shape blue.
    r.press();
    EXPECT_EQ(r.face(), 1);
    r.release();
    EXPECT_EQ(r.b->Color(), platform::vbBlue);
    r.vt.advance(500);
    EXPECT_EQ(r.face(), 0);
    r.vt.advance(500);
    EXPECT_EQ(r.face(), -1);
    r.b->setBlinken(false);
    EXPECT_EQ(r.face(), 0);
    EXPECT_FALSE(r.b->TimerBlinken().Enabled());
}

TEST(FunbuttonIni, SizesShadowColourCentreAndFaces) {
    Rig r;
    EXPECT_EQ(r.b->IniState(), 100);  // the picture was set from code
    r.b->setGeometry(20, 40, 100, 80);  // 1500 x 1200 twips
    r.b->Ini(80);
    EXPECT_EQ(r.b->IniState(), 80);
    EXPECT_EQ(r.b->Flaeche(0).size(), QSize(100, 80));
    EXPECT_EQ(r.b->Schattenfarbe(), RGB(80, 40, 20));
    EXPECT_EQ(r.b->X(), 20 * 15 + 750);
    EXPECT_EQ(r.b->Y(), 40 * 15 + 600);
    r.b->setX(3000);
    r.b->setY(1500);
    EXPECT_EQ(r.b->geometry(), QRect(150, 60, 100, 80));
    EXPECT_EQ(r.b->X(), 3000);

    // The faces are the rendered arrays, 1:1 from the top-left corner.
    PixelArray N, D, R;
    ZeichneFlaechen(50, 8, 6, r.b->ColorMy, RGB(200, 100, 50), lies(pfeilknopf(200)), N, D, R);
    const PixelArray* arrays[3] = {&N, &D, &R};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(r.b->Flaeche(i), ArrToImage(*arrays[i]).copy(0, 0, 100, 80)) << i;

    // The host resized the button since: a press gives it the faces' size again.
    r.b->resize(300, 300);
    r.press();
    EXPECT_EQ(r.b->size(), QSize(100, 80));
    r.release();
}

TEST(FunbuttonIni, EnabledLinksAndRechtsCrossOutTheirOwnHeldButton) {
    Rig r;
    r.press(Qt::RightButton);
    r.b->setEnabledLinks(false);
    EXPECT_EQ(r.face(), 1);
    r.b->setEnabledRechts(false);
    EXPECT_EQ(r.face(), 2);
    r.release(Qt::RightButton);
    // They do not refuse presses by themselves.
    r.log.clear();
    r.press(Qt::RightButton);
    EXPECT_EQ(r.log, QStringList({"MouseDown 2 0 150 150", "Click"}));
    r.release(Qt::RightButton);
}

TEST(FunbuttonIni, FocusFrameIsWhiteWhileFocused) {
    Rig r;
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(r.b, &in);
    EXPECT_EQ(r.b->Randfarbe(), platform::vbWhite);
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(r.b, &out);
    EXPECT_EQ(r.b->Randfarbe(), platform::vbBlack);
}
