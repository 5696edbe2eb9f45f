#include "kiosk/logic/zeittext.h"

#include <gtest/gtest.h>

using namespace kiosklogic;

namespace {

double at(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0) {
    return Datumswert(QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms)));
}

}  // namespace

TEST(Dauertext, SecondsReadAsMinutesAndSecondsOfAClockText) {
    EXPECT_EQ(DauerText(0), "00:00");
    EXPECT_EQ(DauerText(59), "00:59");
    EXPECT_EQ(DauerText(200), "03:20");
    EXPECT_EQ(DauerText(300), "05:00");
    EXPECT_EQ(DauerText(1439), "23:59");
}

TEST(Dauertext, TwentyFourMinutesAndMoreGoOnCountingMinutes) {
    const std::pair<int32_t, const char*> faelle[] = {
        {1440, "24:00"}, {1500, "25:00"}, {1800, "30:00"}, {3600, "60:00"}, {5730, "95:30"}, {6000, "100:00"}};
    for (const auto& [s, text] : faelle) {
        EXPECT_EQ(DauerText(s), text);
        EXPECT_EQ(DauerSekunden(text), s) << text;
        EXPECT_DOUBLE_EQ(DauerTage(text), s / 1440.0) << text;
    }
}

TEST(Dauertext, ReadsBackToTheSameSecondsForEveryTextItCanWrite) {
    for (int32_t s = 0; s < 10000; ++s) ASSERT_EQ(DauerSekunden(DauerText(s)), s) << s;
    EXPECT_EQ(DauerSekunden(" 3:05 "), 185);
}

TEST(Dauertext, MissingOrInvalidCountsAsFiveMinutes) {
    for (const char* t : {"", "??:??", "03:60", "3", "abc", "03:20x", "-1:00", "03.20", "25:00:00"}) {
        EXPECT_EQ(DauerSekunden(QString::fromLatin1(t)), 300) << t;
        EXPECT_DOUBLE_EQ(DauerTage(QString::fromLatin1(t)), 5.0 / 24) << t;
    }
}

TEST(Dauertext, ClockSecondsAreRoundedHalfToEven) {
    EXPECT_EQ(DauerSekunden("00:02:30"), 2);  // 2.5 minutes
    EXPECT_EQ(DauerSekunden("00:03:30"), 4);  // 3.5 minutes
    EXPECT_EQ(DauerSekunden("00:03:31"), 4);
}

TEST(Uhrzeit, DateValuesOfTheRuntime) {
    EXPECT_DOUBLE_EQ(at(1899, 12, 30, 0, 0), 0.0);
    EXPECT_DOUBLE_EQ(at(1900, 1, 1, 12, 0), 2.5);
    EXPECT_DOUBLE_EQ(at(1899, 12, 29, 6, 0), -1.25);
    EXPECT_EQ(Uhrzeit(0), "00:00");
    EXPECT_EQ(Uhrzeit(-1.25), "06:00");
    EXPECT_EQ(Uhrzeit(at(2024, 3, 1, 23, 58, 59)), "23:58");
    // Rounded to the second before the minutes are taken.
    EXPECT_EQ(Uhrzeit(at(2024, 3, 1, 12, 34, 59, 600)), "12:35");
    EXPECT_EQ(Uhrzeit(at(2024, 3, 1, 23, 59, 59, 600)), "00:00");
}

TEST(Startzeiten, FirstRowKeepsItsStartLaterRowsAddTheLengthsAbove) {
    const double jetzt = at(2024, 3, 1, 12, 0);
    const auto z = Startzeiten(jetzt, 60'000, at(2024, 3, 1, 11, 59), {"03:20", "05:00", "??:??", ""}, 0);
    // The current song began 11:59:00; ends 12:02:20, then two five-minute steps.
    EXPECT_EQ(z, (QStringList{"11:59", "12:02", "12:07", "12:12"}));
    EXPECT_TRUE(Startzeiten(jetzt, 0, 0, {}, 10).isEmpty());
}

TEST(Startzeiten, BeforeAnySongStartedRowOneShowsTheZeroDate) {
    const auto z = Startzeiten(at(2024, 3, 1, 9, 30), 0, 0, {"03:00", "03:00"}, 0);
    EXPECT_EQ(z, (QStringList{"00:00", "09:33"}));
}

TEST(Startzeiten, PassMidnightAsClockTimes) {
    const double start = at(2024, 12, 31, 23, 55);
    const auto z = Startzeiten(start, 0, start, {"03:00", "05:00", "04:00"}, 0);
    EXPECT_EQ(z, (QStringList{"23:55", "23:58", "00:03"}));
}

TEST(Startzeiten, AfterAPauseLaterRowsMoveOnWithTheClock) {
    const double start = at(2024, 3, 1, 20, 0);
    const QStringList dauern{"04:00", "04:00"};
    EXPECT_EQ(Startzeiten(at(2024, 3, 1, 20, 1), 60'000, start, dauern, 0), (QStringList{"20:00", "20:04"}));
    // Paused ten minutes at the one-minute mark: the position stands, the clock goes on.
    EXPECT_EQ(Startzeiten(at(2024, 3, 1, 20, 11), 60'000, start, dauern, 0), (QStringList{"20:00", "20:14"}));
}

TEST(Startzeiten, EachRowStartsWhenTheRowAboveHandsOver) {
    const double start = at(2024, 3, 1, 20, 0);
    // Ten rows of 3:00 with a crossfade of 10: every next song starts 2:50 after the one above.
    const QStringList zehn(10, QStringLiteral("03:00"));
    const auto z = Startzeiten(start, 0, start, zehn, 10);
    ASSERT_EQ(z.size(), 10);
    for (int i = 1; i < 10; ++i) EXPECT_EQ(z[i], Uhrzeit(start + i * 170 / 86400.0)) << i;
    EXPECT_EQ(z[9], "20:25");  // 25:30 later; without the overlap it would read 20:27
    // A short song overlaps by half its length only; a 25-minute song counts whole minutes on.
    const auto k = Startzeiten(start, 0, start, {"00:06", "00:06", "25:00", "01:00"}, 10);
    EXPECT_EQ(k, (QStringList{"20:00", Uhrzeit(start + 3 / 86400.0), Uhrzeit(start + 6 / 86400.0),
                              Uhrzeit(start + (6 + 1490) / 86400.0)}));
    EXPECT_EQ(k[3], "20:24");
    // A jingle after a song with a longer overlap hands over only when that song has ended.
    const auto j = Startzeiten(start, 0, start, {"00:08", "00:05", "00:05", "00:05"}, 10);
    EXPECT_EQ(j, (QStringList{"20:00", Uhrzeit(start + 4 / 86400.0), Uhrzeit(start + 8 / 86400.0),
                              Uhrzeit(start + 10.5 / 86400.0)}));
}
