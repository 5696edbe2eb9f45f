// The row layout of the on-screen keyboard, without widgets.
#include "controls/ctlVirtuelleTastatur/TastaturLayout.h"

#include <gtest/gtest.h>

using tastatur::layoutRow;

namespace {

QString captions(const tastatur::Zeile& z) {
    QString s;
    for (const auto& p : z.Tasten) s += p.Sonder ? QStringLiteral("<%1>").arg(p.Nummer) : p.Caption;
    return s;
}

TEST(KeyboardLayout, EmptyRowMakesNoKeyAndKeepsTheSize) {
    const auto z = layoutRow(QString(), 0, 0, 1200, 1200, 0, 6390, 3900);
    EXPECT_TRUE(z.Tasten.empty());
    EXPECT_EQ(z.X, 0);
    EXPECT_EQ(z.Breite, 6390);
    EXPECT_EQ(z.Hoehe, 3900);
}

TEST(KeyboardLayout, BlanksMoveOnAndStillGrowTheControl) {
    const auto z = layoutRow(QStringLiteral("          "), 0, 4800, 1200, 1200, 0, 100, 100);
    EXPECT_TRUE(z.Tasten.empty());
    EXPECT_EQ(z.X, 6000);
    EXPECT_EQ(z.Breite, 6090);
    EXPECT_EQ(z.Hoehe, 6360);
}

TEST(KeyboardLayout, TokensInAnyLetterCase) {
    const auto z = layoutRow(QStringLiteral("aENTERbbsHIDEcspaced"), 0, 0, 100, 100, 0, 0, 0);
    EXPECT_EQ(captions(z), QStringLiteral("a<200>b<201><202>c d"));
    // A character right after a token is the next key, right after the special key.
    EXPECT_EQ(z.Tasten[1].Left, 100);
    EXPECT_EQ(z.Tasten[2].Left, 100 + 2250);
    EXPECT_EQ(z.Tasten[3].Left, 2450);
    EXPECT_EQ(z.Tasten[3].Width, 1710);
    EXPECT_EQ(z.Tasten[5].Left, 2450 + 1710 + 2250);
    // Space: a blank key three widths wide.
    EXPECT_EQ(z.Tasten[6].Caption, QStringLiteral(" "));
    EXPECT_EQ(z.Tasten[6].Width, 300);
    EXPECT_EQ(z.Tasten[7].Left, z.Tasten[6].Left + 300);
}

TEST(KeyboardLayout, PartialTokensAreLetters) {
    EXPECT_EQ(captions(layoutRow(QStringLiteral("EnteB"), 0, 0, 100, 100, 0, 0, 0)), QStringLiteral("EnteB"));
    EXPECT_EQ(captions(layoutRow(QStringLiteral("Spac"), 0, 0, 100, 100, 0, 0, 0)), QStringLiteral("Spac"));
}

TEST(KeyboardLayout, EveryPositionUsesUpANumber) {
    const auto z = layoutRow(QStringLiteral(" ABSC"), 0, 0, 100, 100, 10, 0, 0);
    ASSERT_EQ(z.Tasten.size(), 3u);
    EXPECT_EQ(z.Tasten[0].Nummer, 12);  // two above the previous highest after a leading blank
    EXPECT_EQ(z.Tasten[1].Nummer, tastatur::LoeschenTaste);
    EXPECT_EQ(z.Tasten[2].Nummer, 14);
}

TEST(KeyboardLayout, SpecialKeyTakesTheKeyHeightAndItsOwnWidth) {
    const auto z = layoutRow(QStringLiteral("HideXEnter"), 0, 700, 400, 650, 0, 0, 0);
    ASSERT_EQ(z.Tasten.size(), 3u);
    EXPECT_EQ(z.Tasten[0].Width, 2250);
    EXPECT_EQ(z.Tasten[0].Height, 650);
    EXPECT_EQ(z.Tasten[0].Top, 700);
    EXPECT_EQ(z.Tasten[2].Left, 2650);
    EXPECT_EQ(z.X, 2650 + 2250);
}

TEST(KeyboardLayout, HalfKeyGapRoundsHalfToEven) {
    // width 1: each blank adds 0.5, which rounds to the even 0
    EXPECT_EQ(layoutRow(QStringLiteral("  A"), 0, 0, 1, 1, 0, 0, 0).Tasten[0].Left, 0);
    // width 3: 1.5 -> 2, then 3.5 -> 4
    EXPECT_EQ(layoutRow(QStringLiteral("  A"), 0, 0, 3, 3, 0, 0, 0).Tasten[0].Left, 4);
}

TEST(KeyboardLayout, ControlNeverShrinks) {
    const auto z = layoutRow(QStringLiteral("AB"), 0, 0, 100, 100, 0, 20000, 9000);
    EXPECT_EQ(z.Breite, 20000);
    EXPECT_EQ(z.Hoehe, 9000);
}

TEST(KeyboardLayout, PassingThe16BitRangeStopsTheRowWithOverflow) {
    const auto z = layoutRow(QString(30, QLatin1Char('W')), 0, 0, 1200, 1200, 0, 0, 0);
    EXPECT_EQ(z.Fehler, 6);
    EXPECT_EQ(z.Tasten.size(), 28u);  // the 28th key stands at 32400; moving past it overflows
    EXPECT_EQ(z.X, 32400);
    EXPECT_EQ(layoutRow(QStringLiteral("A"), 0, 0, 10, 10, 32767, 0, 0).Fehler, 6);
    EXPECT_EQ(layoutRow(QStringLiteral("A"), 0, 0, 10, 10, 32766, 0, 0).Fehler, 0);
}

}  // namespace
