// The help tour: eight bubbles in order and time, pointing at the current layout;
// no restart while it runs; a shut-down ends it.
#include "main_support.h"

#include "controls/ctlSprechblase/ctlSprechblase.h"
#include "platform/twipsgeom.h"

#include <cmath>

namespace {

using Help = MainScreenTest;

struct Halt {
    uint64_t ab;  // ms after the start
    QString text;
    int x, y;     // where the tip touches, form twips
    int breite, hoehe;
};

// Watches the bubble every 10 ms and notes each new stop.
class Beobachter {
public:
    Beobachter(frmMain& m, platform::VirtualTime& vt) : m_(m), vt_(vt), start_(vt.elapsed()), timer_(nullptr, 10, true) {
        timer_.onTimer = [this] {
            const ctlSprechblase& b = *m_.ctlSprechblase1;
            if (!b.isVisible()) {
                sichtbar_ = false;
                return;
            }
            const Halt h{vt_.elapsed() - start_, b.TextMy(), b.Left() + b.Linien(0).X1, b.Top() + b.Linien(0).Y1,
                         b.Width(), b.Height()};
            if (!sichtbar_ || halte.empty() || halte.back().x != h.x || halte.back().y != h.y ||
                halte.back().text != h.text)
                halte.push_back(h);
            sichtbar_ = true;
            // It stands above the controls it points at.
            const QObjectList& k = m_.children();
            for (auto it = k.rbegin(); it != k.rend(); ++it) {
                auto* w = qobject_cast<QWidget*>(*it);
                if (!w || !w->isVisible()) continue;
                if (w != &b) immerObenauf = false;
                break;
            }
        };
    }
    std::vector<Halt> halte;
    bool immerObenauf = true;
    platform::VbTimer& timer() { return timer_; }

private:
    frmMain& m_;
    platform::VirtualTime& vt_;
    uint64_t start_;
    platform::VbTimer timer_;
    bool sichtbar_ = false;
};

int mitteX(const QWidget* w) { return int(std::nearbyint(platform::TwLeft(w) + platform::TwWidth(w) / 2.0)); }
int mitteY(const QWidget* w) { return int(std::nearbyint(platform::TwTop(w) + platform::TwHeight(w) / 2.0)); }

TEST_F(Help, EightStopsInTwentyNineSecondsOnTheCurrentLayout) {
    frmMain& m = main();
    m.show();
    m.resize(1280, 1024);  // the bubbles must follow the layout, not the design
    m.Form_Resize();
    const kioskgrid::FlexGrid& g1 = *m.MSFlexGrid1;

    Beobachter b(m, vt);
    const uint64_t vorher = vt.elapsed();
    emit m.cmdFragezeichen->Click();
    EXPECT_EQ(vt.elapsed() - vorher, 29000u);
    EXPECT_FALSE(m.HilfeLaeuft);
    EXPECT_FALSE(m.ctlSprechblase1->isVisible());

    const Halt soll[] = {
        {0, QStringLiteral("Hier klicken, um nach Titel zu sortieren und Lieder zu suchen."), 1800, g1.Top() + 300, 3600, 2400},
        {4000, QStringLiteral("Hier klicken, um nach Interpret zu sortieren und Lieder zu suchen."),
         int(std::nearbyint(g1.Left() + g1.ColWidth(0) + g1.ColWidth(1) / 2.0)), g1.Top() + 300, 3600, 2400},
        {7000, QStringLiteral("Markiertes Lied vom Archiv in die Playliste übernehmen."), mitteX(m.Uebernehmen),
         mitteY(m.Uebernehmen), 3600, 1800},
        {12000, QStringLiteral("Hier und auf die anderen Pfeile klicken, um hoch oder runter zu gehen."),
         mitteX(m.FunbuttonArchivNav[0]), mitteY(m.FunbuttonArchivNav[0]), 3600, 1800},
        {15000, QStringLiteral("Die Pfeile gedrückt halten, um schneller zu scrollen."), mitteX(m.FunbuttonArchivNav[1]),
         mitteY(m.FunbuttonArchivNav[1]), 3600, 1800},
        {18000, QStringLiteral("Zum Umsortieren der Lieder in der Playliste."), mitteX(m.cmdHoch[0]), mitteY(m.cmdHoch[0]),
         3000, 1500},
        {21000, QStringLiteral("Zum Umsortieren der Lieder in der Playliste."), mitteX(m.cmdHoch[1]), mitteY(m.cmdHoch[1]),
         3000, 1500},
        {24000, QStringLiteral("Markiertes Lied aus der Playliste löschen."), mitteX(m.cmdLoeschen), mitteY(m.cmdLoeschen),
         2400, 1800},
    };
    ASSERT_EQ(b.halte.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        const Halt& ist = b.halte[i];
        SCOPED_TRACE(i + 1);
        EXPECT_NEAR(double(ist.ab), double(soll[i].ab), 10.0);
        EXPECT_EQ(ist.text, soll[i].text);
        EXPECT_EQ(ist.x, soll[i].x);
        EXPECT_EQ(ist.y, soll[i].y);
        EXPECT_EQ(ist.breite, soll[i].breite);
        EXPECT_EQ(ist.hoehe, soll[i].hoehe);
    }
    EXPECT_TRUE(b.immerObenauf);
}

TEST_F(Help, ASecondStartDuringTheTourIsIgnored) {
    frmMain& m = main();
    int versuche = 0;
    platform::VbTimer nochmal(nullptr, 1000, true);
    nochmal.onTimer = [&] {
        ++versuche;
        const uint64_t t = vt.elapsed();
        m.cmdFragezeichen_Click();  // the F1 key takes this road too
        EXPECT_EQ(vt.elapsed(), t);  // returns at once
        EXPECT_TRUE(m.HilfeLaeuft);
    };
    const uint64_t vorher = vt.elapsed();
    m.cmdFragezeichen_Click();
    nochmal.setEnabled(false);
    EXPECT_GE(versuche, 28);
    EXPECT_EQ(vt.elapsed() - vorher, 29000u);
    EXPECT_FALSE(m.HilfeLaeuft);
}

TEST_F(Help, AShutDownEndsTheTourAtOnce) {
    frmMain& m = main();
    platform::VbTimer ende(nullptr, 2000, true);
    ende.onTimer = [&] {
        ende.setEnabled(false);
        ProgrammEnde = true;
    };
    const uint64_t vorher = vt.elapsed();
    m.cmdFragezeichen_Click();
    EXPECT_LE(vt.elapsed() - vorher, 2250u);
    EXPECT_FALSE(m.ctlSprechblase1->isVisible());
    EXPECT_FALSE(m.HilfeLaeuft);
}

}  // namespace
