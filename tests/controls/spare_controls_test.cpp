// The controls no kiosk screen carries: the shaped button, the ticker's tokens and the
// window shaper.
#include "controls/CtlButtons/CtlButtons.h"
#include "controls/FormX/FormX.h"
#include "controls/ctlLaufschrift/ctlLaufschrift.h"
#include "platform/colors.h"
#include "platform/runtime.h"
#include "platform/twipsgeom.h"
#include "platform/virtualtime.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

// A mouse event as the window system delivers it: through the window, to the child under
// the pointer, a release to the widget that took the press.
void maus(QWidget& top, QEvent::Type t, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
    const Qt::MouseButtons gehalten = t == QEvent::MouseButtonPress ? Qt::MouseButtons(b) : Qt::NoButton;
    QMouseEvent e(t, QPointF(at), top.mapToGlobal(QPointF(at)), t == QEvent::MouseMove ? Qt::NoButton : b, gehalten,
                  Qt::NoModifier);
    QApplication::sendEvent(top.windowHandle(), &e);
}

struct Knopf {
    CtlButtons b;
    QStringList log;
    explicit Knopf(int16_t stil) {
        b.resize(200, 100);
        b.setBorderWidth(2);
        b.setCaption(QStringLiteral("Los"));
        b.setStil(stil);
        b.show();
        QObject::connect(&b, &CtlButtons::Click, [this] { log << QStringLiteral("Click"); });
        QObject::connect(&b, &CtlButtons::MouseDown, [this](int16_t k, int16_t, float, float) { log << QStringLiteral("Down %1").arg(k); });
        QObject::connect(&b, &CtlButtons::MouseUp, [this](int16_t k, int16_t, float, float) { log << QStringLiteral("Up %1").arg(k); });
        QObject::connect(&b, &CtlButtons::MouseMove, [this](int16_t k, int16_t, float, float) { log << QStringLiteral("Move %1").arg(k); });
    }
    void tippe(QPoint at) {
        maus(b, QEvent::MouseButtonPress, at);
        maus(b, QEvent::MouseButtonRelease, at);
    }
};

TEST(CtlButtons, TheWholeVisibleShapeAnswersAndNothingOutsideIt) {
    struct Fall {
        int16_t stil;
        QPoint at;
        bool klick;
    };
    const Fall faelle[] = {
        {0, {100, 50}, true},  {0, {3, 3}, true},                            // command button
        {1, {100, 15}, true},  {1, {100, 50}, true},  {1, {3, 3}, false},    // oval: body, caption, corner
        {1, {4, 50}, true},    {2, {100, 90}, true},  {2, {2, 2}, false},    // rounded rectangle
        {3, {3, 3}, true},     {3, {100, 50}, true},  {3, {197, 97}, true},  // rectangle, also its corners
    };
    for (const Fall& f : faelle) {
        Knopf k(f.stil);
        k.tippe(f.at);
        const QStringList erwartet = f.klick ? QStringList{"Down 1", "Up 1", "Click"} : QStringList{};
        EXPECT_EQ(k.log.join(",").toStdString(), erwartet.join(",").toStdString()) << "Stil " << f.stil << " at " << f.at.x() << "," << f.at.y();
    }
}

TEST(CtlButtons, HoverRaisesMouseMoveWithoutAButton) {
    for (int16_t stil : {0, 1, 2, 3}) {
        Knopf k(stil);
        maus(k.b, QEvent::MouseMove, {100, 20});
        maus(k.b, QEvent::MouseMove, {100, 50});
        EXPECT_EQ(k.log.join(",").toStdString(), "Move 0,Move 0") << "Stil " << stil;
    }
}

TEST(CtlButtons, AFreshShapeWearsTheButtonColourWithAReadableCaption) {
    for (int16_t stil : {1, 2, 3}) {
        CtlButtons b;
        b.resize(200, 100);
        b.setCaption(QStringLiteral("Los"));
        b.setStil(stil);
        b.show();
        const QImage img = b.grab().toImage();
        const QColor fill = platform::vbColor(b.BackColor());
        EXPECT_EQ(img.pixelColor(100, 25), fill) << "Stil " << stil;
        EXPECT_NE(img.pixelColor(100, 25), QColor(Qt::black));
        // The caption (shown in looks 1 and 2) stands out from the fill.
        int schrift = 0;
        for (int x = 60; x < 140; ++x)
            for (int y = 40; y < 60; ++y)
                if (qGray(img.pixel(x, y)) < qGray(fill.rgb()) - 80) ++schrift;
        EXPECT_EQ(schrift > 0, stil != 3) << "Stil " << stil;
    }
}

TEST(CtlButtons, LooksSaveAndPosition) {
    CtlButtons b;
    b.setCaption(QStringLiteral("Ja"));
    b.setStil(5);
    EXPECT_EQ(b.Shape(), 0);
    EXPECT_TRUE(b.Command1().isVisibleTo(&b));
    b.setBorderWidth(3);
    b.setStil(1);
    EXPECT_EQ(b.Shape(), 2);
    EXPECT_EQ(b.Shape1().BorderWidth, 3);
    EXPECT_EQ(b.Label1().text(), "Ja");
    b.setBorderWidth(3);
    EXPECT_EQ(b.Label1().text(), "");
    platform::setTwGeometry(&b, 1500, 750, 3000, 1500);
    b.Save();
    platform::setTwGeometry(&b, 0, 0, 600, 600);
    b.setCaption(QStringLiteral("Nein"));
    b.Restore();
    EXPECT_EQ(platform::TwLeft(&b), 1500);
    EXPECT_EQ(platform::TwWidth(&b), 3000);
    EXPECT_EQ(b.Command1().text(), "Ja");
    EXPECT_FALSE(b.PositionCheck(1500, 1000));
    EXPECT_TRUE(b.PositionCheck(1501, 1000));
    EXPECT_FALSE(b.PositionCheck(4500, 1000));
}

TEST(Laufschrift, TokensAreReplacedOnlyWhenWholeAndValid) {
    // 14:29:30 sharp: the colons of the clocks show in the second half of a second only,
    // and at .000 there is no fraction.
    platform::VirtualTime vt(QDateTime(QDate(2026, 12, 8), QTime(14, 29, 30)));
    ctlLaufschrift t;
    const std::pair<QString, QString> faelle[] = {
        {"[CDN14:30]rest", "00:01rest"},
        {"[cdn14:29]", "00:00"},
        {"[CDN14:28]", "23:59"},
        {"[CDS14:30]x", "30x"},
        {"[CDN14:30x]rest", "[CDN14:30x]rest"},  // tenth character not "]": no token
        {"[CDS14:30 ]", "[CDS14:30 ]"},
        {"[CDN9:30]", "[CDN9:30]"},  // one-digit hour: no time in the five characters
        {"a[ZEIT]b", "a14:29b"},
        {"[zeits]", "14:29:30"},
        {"[ZEIT] [CDS14:30]", "14:29 30"},  // two tokens, two passes
        {"[x] [CDN14:3", "[x] [CDN14:3"},
    };
    for (const auto& [ein, aus] : faelle) EXPECT_EQ(t.Textersetzen(ein).toStdString(), aus.toStdString());
}

class Shaper : public ::testing::Test {
protected:
    QWidget host;
    QWidget* kreis = new QWidget(&host);
    QWidget* rahmen = new QWidget(&host);
    FormX* x = nullptr;
    void SetUp() override {
        host.setObjectName("frmHost");
        host.resize(300, 200);
        kreis->setObjectName("Shape1");
        kreis->setProperty("Shape", 3);
        kreis->setGeometry(10, 10, 60, 60);
        rahmen->setObjectName("Rahmen");
        rahmen->setProperty("BorderWidth", 3);
        rahmen->setGeometry(100, 100, 100, 50);
        x = new FormX(&host);
        x->ControlWithShapeProperty = "Shape1";
        x->ControlWithBorderWidthProperty = "Rahmen";
    }
};

TEST_F(Shaper, ShapedWindowHasNoFrameAndGetsItBack) {
    x->setTransparent(1);
    ASSERT_TRUE(x->Fensterregion());
    const QRegion& r = *x->Fensterregion();
    EXPECT_TRUE(r.contains(QPoint(40, 40)));
    EXPECT_FALSE(r.contains(QPoint(11, 11))) << "outside the circle";
    EXPECT_TRUE(r.contains(QPoint(101, 101)));
    EXPECT_FALSE(r.contains(QPoint(150, 125))) << "the frame's hole";
    EXPECT_FALSE(r.contains(QPoint(250, 20)));
    EXPECT_TRUE(host.windowFlags().testFlag(Qt::FramelessWindowHint));
    x->setTransparent(0);
    EXPECT_FALSE(x->Fensterregion());
    EXPECT_FALSE(host.windowFlags().testFlag(Qt::FramelessWindowHint));
}

TEST_F(Shaper, ModesAndRefusedValues) {
    x->setTransparent(3);
    ASSERT_TRUE(x->Fensterregion());
    EXPECT_TRUE(x->Fensterregion()->isEmpty());
    for (int32_t falsch : {4, -1}) {
        try {
            x->setTransparent(falsch);
            ADD_FAILURE() << "no error for " << falsch;
        } catch (const platform::RuntimeError& e) {
            EXPECT_EQ(e.number(), 380);
        }
        EXPECT_EQ(x->Transparent(), 3);
    }
    kreis->hide();
    rahmen->hide();
    x->setTransparent(1);
    EXPECT_FALSE(x->Fensterregion()) << "nothing to shape to: the whole window";
    x->setTransparent(2);
    ASSERT_TRUE(x->Fensterregion());
    EXPECT_TRUE(x->Fensterregion()->isEmpty());
}

}  // namespace
