#include "info/frmWerbung.h"

#include "base/globals.h"
#include "controls/Funbutton/Funbutton.h"
#include "platform/colors.h"
#include "platform/vbtimer.h"
#include "platform/virtualtime.h"
#include "support/testenv.h"

#include <QPointer>
#include <gtest/gtest.h>

namespace {

class WerbungTest : public ::testing::Test {
protected:
    platform::VirtualTime vt;

    void SetUp() override { ProgrammEnde = false; }
    void TearDown() override {
        frmWerbung::setShowHook({});
        ProgrammEnde = false;
    }

    // Shows the page; the hook gets it in place of the modal loop.
    static void zeige(const std::function<void(frmWerbung&)>& hook) {
        frmWerbung::setShowHook(hook);
        frmWerbung::Anzeigen();
    }

    // Raises f at the given virtual time, once.
    static std::unique_ptr<platform::VbTimer> nach(int ms, std::function<void()> f) {
        auto t = std::make_unique<platform::VbTimer>(nullptr, ms, true);
        platform::VbTimer* raw = t.get();
        t->onTimer = [raw, f] {
            raw->setEnabled(false);
            f();
        };
        return t;
    }
};

int kanal(QRgb c, int shift) { return (c >> shift) & 0xFF; }

TEST_F(WerbungTest, OpeningSequenceFadesFliesAndEndsWithOk) {
    QPointer<frmWerbung> seite;
    zeige([&](frmWerbung& f) {
        seite = &f;
        EXPECT_TRUE(f.isVisible());
        EXPECT_FALSE(f.FunbuttonOK().isVisible());
        EXPECT_FALSE(f.picDest(2).isVisible());
        f.Form_Activate();
        EXPECT_TRUE(f.FunbuttonOK().isVisible());
        EXPECT_TRUE(f.picDest(2).isVisible());
        vt.advance(2000);  // the last fade runs out
        EXPECT_FALSE(f.BlendAktiv());
        EXPECT_EQ(f.BlendWert(), 10);

        // Every picture ends at opacity 245 over the grey, not fully opaque.
        for (int i = 0; i < 3; ++i) {
            const QRgb src = f.PicInfo(i).pixel(5, 5);
            const QRgb dst = f.picDestBild(i).pixel(5, 5);
            for (int s : {0, 8, 16}) {
                const int want = (kanal(src, s) * 245 + 0xC0 * 10 + 127) / 255;
                EXPECT_NEAR(kanal(dst, s), want, 1) << "picture " << i;
            }
        }

        // The blocks stand beside their pictures, line under line; the contact lines
        // are printed letter by letter, the second one spaced out.
        const auto& d = f.Drucke();
        const QStringList b1 = frmWerbung::Block1(), b2 = frmWerbung::Block2();
        const QString k1 = frmWerbung::Kontakt1(), k2 = frmWerbung::Kontakt2();
        ASSERT_EQ(d.size(), static_cast<size_t>(b1.size() + b2.size() + k1.size() + k2.size()));
        EXPECT_EQ(d[0].text, b1[0] + " ");
        EXPECT_EQ(d[0].pos, QPoint(250, 16));
        EXPECT_EQ(d[b1.size()].pos, QPoint(250, 184));
        for (int i = 1; i < b1.size(); ++i) EXPECT_GT(d[i].pos.y(), d[i - 1].pos.y());
        const size_t k1Start = b1.size() + b2.size(), k2Start = k1Start + k1.size();
        EXPECT_EQ(d[k1Start].pos, QPoint(252, 368));
        EXPECT_EQ(d[k1Start].text, k1.left(1));
        EXPECT_EQ(d[k2Start].pos, QPoint(228, 412));
        for (size_t i = k2Start; i < d.size(); ++i) {
            EXPECT_EQ(d[i].text, QString(k2[static_cast<int>(i - k2Start)]) + " ");
            if (i > k2Start) {
                EXPECT_GT(d[i].pos.x(), d[i - 1].pos.x());
            }
        }

        f.FunbuttonOK_MouseUp(1, 0, 10, 10);
        EXPECT_TRUE(f.Geschlossen());
        EXPECT_FALSE(f.isVisible());
        EXPECT_FALSE(f.Timer1().Enabled());
    });
    EXPECT_TRUE(seite.isNull());  // destroyed once its showing is over
}

TEST_F(WerbungTest, OkDuringAFadeStopsEverythingAtOnce) {
    zeige([&](frmWerbung& f) {
        auto ok = nach(700, [&] { f.FunbuttonOK_MouseUp(1, 0, 0, 0); });
        const uint64_t start = vt.elapsed();
        f.Form_Activate();
        EXPECT_LT(vt.elapsed() - start, 800u);  // the sequence did not go on
        EXPECT_TRUE(f.Geschlossen());
        EXPECT_FALSE(f.Timer1().Enabled());
        const int16_t wert = f.BlendWert();
        EXPECT_GT(wert, 10);  // stopped in mid-fade
        const size_t gedruckt = f.Drucke().size();
        vt.advance(3000);
        EXPECT_EQ(f.BlendWert(), wert);
        EXPECT_EQ(f.Drucke().size(), gedruckt);
        EXPECT_FALSE(f.FunbuttonOK().isVisible());
    });
}

TEST_F(WerbungTest, ProgramEndClosesThePageInsteadOfLeavingItOpen) {
    zeige([&](frmWerbung& f) {
        auto ende = nach(400, [] { ProgrammEnde = true; });
        f.Form_Activate();
        EXPECT_TRUE(f.Geschlossen());
        EXPECT_FALSE(f.isVisible());
    });
}

TEST_F(WerbungTest, LettersAtOrBeyondTheStartPointDoNotFly) {
    zeige([&](frmWerbung& f) {
        const uint64_t start = vt.elapsed();
        f.ZeileAnimieren(QStringLiteral("AB"), 20, 990, 412, false);
        // "A" takes one step of 10 ms from 1000 to 990; "B" lands beyond 1000 at once.
        EXPECT_LT(vt.elapsed() - start, 20u);
        ASSERT_EQ(f.Drucke().size(), 2u);
        EXPECT_EQ(f.Drucke()[0].pos, QPoint(990, 412));
        EXPECT_GE(f.Drucke()[1].pos.x(), 1000);
        EXPECT_EQ(f.Drucke()[1].text, QStringLiteral("B"));
    });
}

TEST_F(WerbungTest, EveryShowingStartsAfresh) {
    zeige([&](frmWerbung& f) {
        auto ok = nach(500, [&] { f.FunbuttonOK_MouseUp(1, 0, 0, 0); });
        f.Form_Activate();
    });
    zeige([&](frmWerbung& f) {
        EXPECT_EQ(f.BlendWert(), 250);
        EXPECT_FALSE(f.Abbruch());
        EXPECT_FALSE(f.BlendAktiv());
        EXPECT_TRUE(f.Drucke().empty());
        EXPECT_TRUE(f.Timer1().Enabled());
        EXPECT_EQ(f.Timer1().Interval(), 50);
        EXPECT_EQ(f.FunbuttonOK().ColorMy, platform::RGB(0, 0, 255));
    });
}

}  // namespace
