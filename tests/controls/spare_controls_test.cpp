// The shaped button, the ticker's tokens and the window shaper.
#include "controls/CtlButtons/CtlButtons.h"
#include "controls/FormX/FormX.h"
#include "controls/ctlLaufschrift/ctlLaufschrift.h"
#include "platform/colors.h"
#include "platform/runtime.h"
#include "platform/virtualtime.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

// Through the window, as the window system delivers it: a press to the child under the
// pointer, its release to the part that took the press.
void maus(QWidget& top, QEvent::Type t, QPoint at) {
    const Qt::MouseButton b = t == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(t, QPointF(at), top.mapToGlobal(QPointF(at)), b, t == QEvent::MouseButtonPress ? b : Qt::NoButton, {});
    QApplication::sendEvent(top.windowHandle(), &e);
}

TEST(CtlButtons, TheWholeVisibleShapeAnswersHoversAndShowsItsDefaults) {
    struct Fall {
        int16_t stil;
        QPoint at;
        bool klick;
    };
    const Fall faelle[] = {{0, {3, 3}, true},     {1, {100, 15}, true}, {1, {100, 50}, true}, {1, {3, 3}, false},
                           {2, {100, 90}, true},  {2, {2, 2}, false},   {3, {3, 3}, true},    {3, {100, 50}, true}};
    for (const Fall& f : faelle) {
        CtlButtons b;
        QStringList log;
        QObject::connect(&b, &CtlButtons::Click, [&] { log << "Click"; });
        QObject::connect(&b, &CtlButtons::MouseMove, [&](int16_t k, int16_t, float, float) { log << QString("Move %1").arg(k); });
        b.resize(200, 100);
        b.setCaption("Los");
        b.setStil(f.stil);
        b.show();
        maus(b, QEvent::MouseMove, f.at);
        maus(b, QEvent::MouseButtonPress, f.at);
        maus(b, QEvent::MouseButtonRelease, f.at);
        EXPECT_EQ(log.join(",").toStdString(), f.klick ? "Move 0,Click" : "") << f.stil << " " << f.at.x();
        // Unset colours look as the button's defaults: its own face colour, a dark caption.
        const QImage img = b.grab().toImage();
        const QColor fill = platform::vbColor(b.BackColor());
        if (f.stil != 0) {
            EXPECT_EQ(img.pixelColor(100, 25), fill);
        }
        bool schrift = false;
        for (int x = 60; x < 140; ++x)
            for (int y = 40; y < 60; ++y) schrift = schrift || qGray(img.pixel(x, y)) < qGray(fill.rgb()) - 80;
        EXPECT_EQ(schrift, f.stil != 3) << f.stil;
    }
}

TEST(CtlButtons, ADisabledButtonRaisesNothingInAnyLook) {
    for (int16_t stil : {0, 1, 2, 3}) {
        CtlButtons b;
        QStringList log;
        QObject::connect(&b, &CtlButtons::Click, [&] { log << "Click"; });
        QObject::connect(&b, &CtlButtons::MouseDown, [&](int16_t, int16_t, float, float) { log << "MouseDown"; });
        QObject::connect(&b, &CtlButtons::MouseUp, [&](int16_t, int16_t, float, float) { log << "MouseUp"; });
        b.resize(200, 100);
        b.setCaption("Los");
        b.setBorderWidth(2);
        b.setStil(stil);
        b.show();
        b.setEnabled(false);
        maus(b, QEvent::MouseButtonPress, {100, 50});
        maus(b, QEvent::MouseButtonRelease, {100, 50});
        EXPECT_EQ(log.join(",").toStdString(), "") << stil;
        b.setEnabled(true);
        maus(b, QEvent::MouseButtonPress, {100, 50});
        maus(b, QEvent::MouseButtonRelease, {100, 50});
        EXPECT_EQ(log.join(",").toStdString(), "MouseDown,MouseUp,Click") << stil;
    }
}

TEST(Laufschrift, TokensAreReplacedOnlyWhenWholeAndValid) {
    platform::VirtualTime vt(QDateTime(QDate(2026, 12, 8), QTime(14, 29, 30)));
    ctlLaufschrift t;
    const std::pair<QString, QString> faelle[] = {
        {"[CDN14:30]rest", "00:01rest"}, {"[cdn14:29]", "00:00"},         {"[CDN14:28]", "23:59"},
        {"[CDS14:30]x", "30x"},          {"[CDN14:30x]rest", "[CDN14:30x]rest"}, {"[CDS14:30 ]", "[CDS14:30 ]"},
        {"[CDN9:30]", "[CDN9:30]"},      {"a[ZEIT]b", "a14:29b"},         {"[ZEIT] [CDS14:30]", "14:29 30"},
    };
    for (const auto& [ein, aus] : faelle) EXPECT_EQ(t.Textersetzen(ein).toStdString(), aus.toStdString());
}

TEST(FormX, ShapesAFramelessWindowToItsControls) {
    QWidget host;
    auto* kreis = new QWidget(&host);
    auto* rahmen = new QWidget(&host);
    kreis->setObjectName("Shape1");
    kreis->setProperty("Shape", 3);
    kreis->setGeometry(10, 10, 60, 60);
    rahmen->setObjectName("Rahmen");
    rahmen->setProperty("BorderWidth", 3);
    rahmen->setGeometry(100, 100, 100, 50);
    auto* x = new FormX(&host);
    x->ControlWithShapeProperty = "Shape1";
    x->ControlWithBorderWidthProperty = "Rahmen";
    x->setTransparent(1);
    ASSERT_TRUE(x->Fensterregion());
    const QRegion r = *x->Fensterregion();
    for (QPoint p : {QPoint(40, 40), QPoint(101, 101)}) EXPECT_TRUE(r.contains(p));
    for (QPoint p : {QPoint(11, 11), QPoint(150, 125), QPoint(250, 20)}) EXPECT_FALSE(r.contains(p));
    EXPECT_TRUE(host.windowFlags().testFlag(Qt::FramelessWindowHint));
    x->setTransparent(0);
    EXPECT_FALSE(x->Fensterregion());
    EXPECT_FALSE(host.windowFlags().testFlag(Qt::FramelessWindowHint)) << "the frame comes back";
    EXPECT_THROW(x->setTransparent(4), platform::RuntimeError);
    x->setTransparent(3);
    EXPECT_TRUE(x->Fensterregion() && x->Fensterregion()->isEmpty());
}

}  // namespace
