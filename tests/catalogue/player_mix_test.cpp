// Two channels at once, the mixed samples, and the click sound.
#include "catalogue/player_support.h"

#include "platform/virtualtime.h"

#include <algorithm>
#include <utility>

namespace {
int16_t sat(int32_t v) { return int16_t(std::clamp(v, -32768, 32767)); }
}  // namespace

TEST_F(PlayerTest, ToneWithSilenceMixesToTheToneAlone) {
    const QString t = tone("tone.mp3", 3000, 440, 8000);
    const QString s = silent("silence.mp3", 3000);
    const std::vector<int16_t> ref = alone(0, t, 2000);
    ASSERT_GT(*std::max_element(ref.begin(), ref.end()), 6000);
    PlayerOeffnen(0, t);
    PlayerOeffnen(1, s);
    PlayerAbspielen(1);
    PlayerAbspielen(0);
    EXPECT_EQ(out->pull(2000), ref);
    EXPECT_EQ(PlayerPosition(0), 2000);
    EXPECT_EQ(PlayerPosition(1), 2000);
}

TEST_F(PlayerTest, TwoTonesOverlapAndClip) {
    const QString a = tone("a.mp3", 2000, 440, 24000);
    const QString b = tone("b.mp3", 2000, 660, 24000);
    const std::vector<int16_t> ra = alone(0, a, 2000);
    const std::vector<int16_t> rb = alone(1, b, 2000);
    // b starts 700 ms after a on the other channel.
    PlayerOeffnen(0, a);
    PlayerOeffnen(1, b);
    PlayerAbspielen(0);
    std::vector<int16_t> mixed = out->pull(700);
    PlayerAbspielen(1);
    const std::vector<int16_t> rest = out->pull(2300);
    mixed.insert(mixed.end(), rest.begin(), rest.end());
    const size_t off = size_t(platform::framesForMs(700)) * 2;
    ASSERT_EQ(mixed.size(), size_t(platform::framesForMs(3000)) * 2);
    int clipped = 0;
    for (size_t i = 0; i < mixed.size(); ++i) {
        const int32_t va = i < ra.size() ? ra[i] : 0;
        const int32_t vb = i >= off && i - off < rb.size() ? rb[i - off] : 0;
        ASSERT_EQ(mixed[i], sat(va + vb)) << i;
        clipped += (va + vb > 32767 || va + vb < -32768);
    }
    EXPECT_GT(clipped, 100);
    expectAt(0, 0, 2000);
    expectAt(1, 0, 2000);
}

TEST_F(PlayerTest, CrossfadeOfTwoThreeMinuteSongs) {
    const QString a = silent("a.mp3", 180000);
    const QString b = silent("b.mp3", 181500);
    PlayerOeffnen(0, a);
    PlayerAbspielen(0);
    int64_t t = 0;
    bool bStarted = false;
    // The play loop's rhythm: every 250 ms, the next song 10 s before the end.
    while (t < 200000) {
        out->pull(250);
        t += 250;
        if (!bStarted && PlayerPosition(0) / 1000 >= PlayerLaenge(0) - 10) {
            PlayerOeffnen(1, b);
            PlayerAbspielen(1);
            bStarted = true;
            EXPECT_EQ(t, 170000);
        }
        if (t < 180000) {
            ASSERT_EQ(PlayerPosition(0), t);
            ASSERT_EQ(PlayerStatus(0), 2);
        } else {
            ASSERT_EQ(PlayerPosition(0), 180000);
            ASSERT_EQ(PlayerStatus(0), 0);
        }
        if (bStarted) {
            ASSERT_EQ(PlayerPosition(1), t - 170000);
        }
    }
    EXPECT_EQ(PlayerStatus(1), 2);
}

TEST_F(PlayerTest, ClickSoundPlaysOnceAndAMissingOneIsPassedOver) {
    platform::playSoundAsync(dir + "/klick.wav");
    std::vector<int16_t> v = out->pull(100);
    EXPECT_TRUE(std::all_of(v.begin(), v.end(), [](int16_t s) { return s == 0; }));

    const QString wav = testmedia::writeToneWav(dir + "/klick.wav", 50, 1000, 5000);
    const QString t = tone("tone.mp3", 1000, 440, 8000);
    const std::vector<int16_t> ref = alone(0, t, 200);
    PlayerOeffnen(0, t);
    PlayerAbspielen(0);
    platform::playSoundAsync(wav);
    v = out->pull(200);
    const size_t clickValues = size_t(testmedia::samplesFor(50)) * 2;
    int differs = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        if (i >= clickValues) ASSERT_EQ(v[i], ref[i]) << i;
        else differs += v[i] != ref[i];
    }
    EXPECT_GT(differs, 1000);
    platform::playSoundAsync(testmedia::writeGarbage(dir + "/bad.wav", 300));
    EXPECT_EQ(PlayerStatus(0), 2);
}

// A card pulled mid-song: the silent output goes on from the frames the card played, and
// the card plugged in again goes on from there; the reports say so, once each way.
TEST_F(PlayerTest, APulledCardHandsTheSongToSilenceAndTakesItBackWhereItStands) {
    platform::VirtualTime vt;
    platform::Mixer& mixer = platform::Mixer::instance();
    std::vector<std::pair<bool, QString>> told;
    mixer.setOutputReport([&](bool works, const QString& reason) { told.emplace_back(works, reason); });
    struct Quiet {
        ~Quiet() { platform::Mixer::instance().setOutputReport(nullptr); }
    } quiet;
    const QString t = tone("t.mp3", 10000, 440, 8000);
    const std::vector<int16_t> ref = alone(0, t, 10000);
    PlayerOeffnen(0, t);
    PlayerAbspielen(0);
    out->pull(2000);
    out->unplug();
    expectAt(0, 2, 2000);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_FALSE(told[0].first);
    EXPECT_FALSE(told[0].second.isEmpty());
    vt.advance(1500);
    expectAt(0, 2, 3500);
    // The pulled card plays nothing and takes no song further.
    const std::vector<int16_t> gone = out->pull(500);
    EXPECT_TRUE(std::all_of(gone.begin(), gone.end(), [](int16_t v) { return v == 0; }));
    expectAt(0, 2, 3500);
    EXPECT_EQ(told.size(), 1u);

    out->plugIn();
    vt.advance(platform::Mixer::kRetryMs - 1500);
    expectAt(0, 2, 5000);
    ASSERT_EQ(told.size(), 2u);
    EXPECT_TRUE(told[1].first);
    vt.advance(2000);  // the card has the song again: the tick counter no longer moves it
    const std::vector<int16_t> heard = out->pull(1000);
    expectAt(0, 2, 6000);
    const size_t from = size_t(platform::framesForMs(5000)) * 2;
    ASSERT_EQ(heard.size(), size_t(platform::framesForMs(1000)) * 2);
    EXPECT_TRUE(std::equal(heard.begin(), heard.end(), ref.begin() + ptrdiff_t(from)));
}
