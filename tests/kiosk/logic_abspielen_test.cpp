#include "kiosk/logic/abspielen.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <map>

using namespace kiosklogic;

namespace {

Kanalzustand spielt(int32_t positionMs, int32_t laengeSek) { return {positionMs, laengeSek, true, false}; }

// A channel as the 250 ms loop sees it: the position moves only while playing.
struct Kanal {
    Kanalzustand z;
    bool pausiert = false;
    void tick() {
        if (pausiert) return;
        z.positionMs = std::min(z.positionMs + 250, z.laengeSek * 1000);
        z.ausgespielt = z.positionMs == z.laengeSek * 1000;
    }
};

}  // namespace

TEST(EndeErreicht, PassesStrictlyAfterLengthMinusCrossfade) {
    EXPECT_FALSE(EndeErreicht(spielt(189'999, 200), 10));
    EXPECT_FALSE(EndeErreicht(spielt(190'000, 200), 10));
    EXPECT_TRUE(EndeErreicht(spielt(190'001, 200), 10));
}

TEST(EndeErreicht, ShortSongHandsOverOnlyAfterHalfItsLength) {
    struct Fall {
        int32_t laenge, fading, vorMs, nachMs;
    };
    for (const Fall f : {Fall{5, 10, 2'500, 2'501}, Fall{19, 10, 9'500, 9'501}, Fall{20, 10, 10'000, 10'001},
                         Fall{21, 10, 11'000, 11'001}, Fall{1, 3, 500, 501}, Fall{0, 10, 0, 1}}) {
        EXPECT_FALSE(EndeErreicht(spielt(f.vorMs, f.laenge), f.fading)) << f.laenge << " s, fade " << f.fading;
        EXPECT_TRUE(EndeErreicht(spielt(f.nachMs, f.laenge), f.fading)) << f.laenge << " s, fade " << f.fading;
    }
    // Past its point, a song still waits while the song before plays out on the other channel.
    Kanalzustand wartet = spielt(4'000, 5);
    wartet.vorherigesSpielt = true;
    EXPECT_FALSE(EndeErreicht(wartet, 10));
    wartet.hatDatei = false;  // an idle channel never waits: a new song ends a play-out at once
    EXPECT_TRUE(EndeErreicht(wartet, 10));
    EXPECT_DOUBLE_EQ(Ueberlappung(5, 10), 2.5);
    EXPECT_DOUBLE_EQ(Ueberlappung(300, 10), 10);
    EXPECT_DOUBLE_EQ(Ueberlappung(300, 0), 0);
}

TEST(EndeErreicht, IdleChannelPassesAtOnceWithACrossfade) {
    EXPECT_TRUE(EndeErreicht({}, 1));
    EXPECT_TRUE(EndeErreicht({}, 10));
}

TEST(EndeErreicht, CrossfadeZeroStillStartsOnAnIdleChannel) {
    EXPECT_TRUE(EndeErreicht({}, 0));
    // A channel whose file was closed keeps no position or length.
    EXPECT_TRUE(EndeErreicht({0, 0, false, false}, 0));
}

TEST(EndeErreicht, CrossfadeZeroHandsOverAtTheEndWithoutOverlap) {
    EXPECT_FALSE(EndeErreicht(spielt(199'000, 200), 0));
    EXPECT_FALSE(EndeErreicht(spielt(200'000, 200), 0));
    // A song of 200.4 s reads as 200 s: it is not cut past that, only its end lets the next one start.
    EXPECT_FALSE(EndeErreicht(spielt(200'001, 200), 0));
    EXPECT_TRUE(EndeErreicht({200'400, 200, true, true}, 0));
    // Length rounded up to 200 s, the song stops at 199.6 s: only its end lets the next one start.
    EXPECT_FALSE(EndeErreicht(spielt(199'600, 200), 0));
    EXPECT_TRUE(EndeErreicht({199'600, 200, true, true}, 0));
}

TEST(MsBisEnde, AimsAtTheMomentTheEndTestPasses) {
    Kanalzustand k = spielt(185'000, 200);
    k.laengeMs = 200'400;
    EXPECT_EQ(MsBisEnde(k, 10), 5'001);
    EXPECT_EQ(MsBisEnde(k, 0), 15'400);
    // A short song that waits for the song before: the moment that one ends.
    k.positionMs = 199'000;
    k.vorherigesSpielt = true;
    k.vorherigesRestMs = 3'200;
    EXPECT_EQ(MsBisEnde(k, 10), 3'200);
    // Nothing to aim at: passed already, paused, or no song open.
    EXPECT_EQ(MsBisEnde(spielt(195'000, 200), 10), -1);
    k.pausiert = true;
    EXPECT_EQ(MsBisEnde(k, 10), -1);
    EXPECT_EQ(MsBisEnde({}, 10), -1);
}

TEST(EndeErreicht, EndedFlagDoesNotShortenACrossfade) {
    // With an overlap the hand-over point comes from the position alone.
    EXPECT_FALSE(EndeErreicht({100'000, 200, true, true}, 10));
}

TEST(EndeErreicht, PausedChannelHoldsBackTheHandOver) {
    for (int32_t fading : {0, 2}) {
        Kanal k{spielt(0, 20)};
        int ticks = 0;
        while (!EndeErreicht(k.z, fading)) {
            k.pausiert = ticks >= 20 && ticks < 60;  // 40 ticks of pause after five seconds
            k.tick();
            ++ticks;
            ASSERT_LT(ticks, 1000);
        }
        // With a crossfade strictly past its point; without one, at its very end.
        EXPECT_EQ(ticks, (20 - fading) * 4 + (fading > 0 ? 1 : 0) + 40) << fading;
    }
    // Paused inside the last crossfade seconds, before the loop saw it: the next song waits for
    // the music to go on, on either channel.
    Kanalzustand k = spielt(19'000, 20);
    EXPECT_TRUE(EndeErreicht(k, 2));
    k.pausiert = true;
    EXPECT_FALSE(EndeErreicht(k, 2));
    EXPECT_FALSE(EndeErreicht(spielt(10'000, 20), 0));
}

TEST(Zufallszeile, EmptyArchivePicksNothingOneRowAlwaysRowOne) {
    for (double r : {0.0, 0.25, 0.5, 0.75, 0.999999}) {
        EXPECT_EQ(Zufallszeile(1, r), 0) << r;
        EXPECT_EQ(Zufallszeile(2, r), 1) << r;
    }
}

TEST(Zufallszeile, FirstAndLastRowHaveHalfTheChance) {
    Zufall zufall(4711);
    std::map<int32_t, int> anzahl;
    const int n = 200'000;
    for (int i = 0; i < n; ++i) ++anzahl[Zufallszeile(6, zufall())];  // five data rows
    ASSERT_EQ(anzahl.size(), 5u);
    EXPECT_NEAR(anzahl[1] / double(n), 0.125, 0.005);
    for (int32_t z : {2, 3, 4}) EXPECT_NEAR(anzahl[z] / double(n), 0.25, 0.005) << z;
    EXPECT_NEAR(anzahl[5] / double(n), 0.125, 0.005);
}

// The songs that sound are left out; the other rows keep their chances relative to one another.
TEST(Zufallszeile, LeftOutRowsAreNeverPickedWhileAnotherRowIsThere) {
    Zufall zufall(99);
    const int n = 200'000;
    std::map<int32_t, int> anzahl;
    for (int i = 0; i < n; ++i) ++anzahl[Zufallszeile(6, zufall(), {3, 5, 3, 9})];
    ASSERT_EQ(anzahl.size(), 3u);  // rows 1, 2 and 4; row 9 is none
    EXPECT_NEAR(anzahl[1] / double(n), 0.2, 0.005);
    EXPECT_NEAR(anzahl[2] / double(n), 0.4, 0.005);
    EXPECT_NEAR(anzahl[4] / double(n), 0.4, 0.005);
    // Also on the borders of the parts and at the ends of [0, 1).
    for (int32_t archiv : {3, 4, 6, 50'001})
        for (int32_t ohne = 1; ohne < std::min(archiv, 8); ++ohne)
            for (int k = 0; k <= 16; ++k) {
                const double r = k < 16 ? k / 16.0 : 0.9999999999;
                const int32_t z = Zufallszeile(archiv, r, {ohne});
                EXPECT_NE(z, ohne) << archiv << " " << r;
                EXPECT_GE(z, 1);
                EXPECT_LT(z, archiv);
            }
    // A pick of a row that stays, or with no other row: the plain one.
    for (int k = 0; k < 1000; ++k) {
        const double r = zufall();
        const int32_t z = Zufallszeile(6, r);
        EXPECT_EQ(Zufallszeile(6, r, {}), z);
        EXPECT_EQ(Zufallszeile(6, r, {z == 1 ? 2 : 1}), z);
        EXPECT_EQ(Zufallszeile(3, r, {1, 2}), Zufallszeile(3, r));
    }
    EXPECT_EQ(Zufallszeile(2, 0.3, {1}), 1);
    EXPECT_EQ(Zufallszeile(1, 0.3, {1}), 0);
}

TEST(Zufallszeile, LargeArchiveReachesRowsBeyondSixteenBits) {
    const int32_t rows = 50'001;  // 50,000 songs below the header
    EXPECT_EQ(Zufallszeile(rows, 0.0), 1);
    EXPECT_EQ(Zufallszeile(rows, 0.9999999), 50'000);
    Zufall zufall(42);
    int32_t kleinste = rows, groesste = 0;
    int ueber16Bit = 0;
    const int n = 100'000;
    for (int i = 0; i < n; ++i) {
        const int32_t z = Zufallszeile(rows, zufall());
        ASSERT_GE(z, 1);
        ASSERT_LE(z, 50'000);
        kleinste = std::min(kleinste, z);
        groesste = std::max(groesste, z);
        if (z > 32'767) ++ueber16Bit;
    }
    EXPECT_LT(kleinste, 100);
    EXPECT_GT(groesste, 49'900);
    EXPECT_NEAR(ueber16Bit / double(n), (50'000 - 32'767.5) / 49'999, 0.01);
}

TEST(Zufall, SeededSourceRepeatsAndStaysBelowOne) {
    Zufall a(7), b(7);
    for (int i = 0; i < 10'000; ++i) {
        const double x = a();
        ASSERT_EQ(x, b());
        ASSERT_GE(x, 0.0);
        ASSERT_LT(x, 1.0);
    }
    const double r = Rnd();
    EXPECT_GE(r, 0.0);
    EXPECT_LT(r, 1.0);
}
