// Real encoded tones through the mixer: during the crossfade both songs sound,
// after the old song's end only the new one.
#include "music_support.h"

#include "base/ErrPtnr.h"

#include <SDL.h>
#include <cmath>
#include <memory>

namespace {

class Tones : public MusicTest {
protected:
    // Queues a 440 Hz song of aMs and a 660 Hz song of bMs, crossfaded by one second.
    std::pair<QString, QString> twoTones(int32_t aMs, int32_t bMs) {
        main().FadingSekunden = 1;
        const QString a = testmedia::writeToneMp3(dir + "/a.mp3", aMs, 440, 8000);
        const QString b = testmedia::writeToneMp3(dir + "/b.mp3", bMs, 660, 8000);
        queue(archivePath(a));
        queue(archivePath(b));
        return {a, b};
    }
};

QByteArray protokoll() {
    QFile f(ErrPtnr::instance().traceFilePath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
// Lines about a missing sound output in the protocol.
qsizetype zeilen() { return protokoll().count("Keine Tonausgabe"); }

// Power of one frequency in the left channel of samples [from, to) (frames).
double power(const std::vector<int16_t>& s, size_t from, size_t to, double hz) {
    const double w = 2 * M_PI * hz / platform::kMixRate;
    double re = 0, im = 0;
    for (size_t i = from; i < to; ++i) {
        re += s[2 * i] * std::cos(w * double(i));
        im += s[2 * i] * std::sin(w * double(i));
    }
    const double n = double(to - from);
    return (re * re + im * im) / (n * n);
}

TEST_F(Tones, BothSongsSoundDuringTheOverlapAndOnlyTheNewOneAfterIt) {
    auto out = std::make_unique<platform::TestAudioOutput>();
    twoTones(3000, 4000);

    // The loop ticks every 250 ms of virtual time; the test output plays the same 250 ms.
    std::vector<int16_t> mixed;
    int64_t played = 0, aStart = -1, bStart = -1;
    while (played < 4500) {
        vt.advance(250);
        if (aStart < 0 && PlayerStatus(1) == 2) aStart = played;
        if (bStart < 0 && PlayerStatus(0) == 2) bStart = played;
        const std::vector<int16_t> chunk = out->pull(250);
        mixed.insert(mixed.end(), chunk.begin(), chunk.end());
        played += 250;
    }
    ASSERT_GE(aStart, 0);
    ASSERT_GT(bStart, aStart);
    const int64_t aEnd = aStart + 3000;
    // The hand-over comes once the first song has passed two of its three seconds.
    EXPECT_GT(bStart, aStart + 2000);
    ASSERT_LT(bStart, aEnd - 300);
    auto frame = [](int64_t ms) { return size_t(platform::framesForMs(ms)); };
    const size_t o1 = frame(bStart + 50), o2 = frame(aEnd - 50);
    const size_t p1 = frame(aEnd + 50), p2 = frame(aEnd + 700);
    const double a440 = power(mixed, o1, o2, 440), b660 = power(mixed, o1, o2, 660);
    EXPECT_GT(a440, 1e6);
    EXPECT_GT(b660, 1e6);
    EXPECT_LT(power(mixed, p1, p2, 440), a440 / 100);
    EXPECT_GT(power(mixed, p1, p2, 660), b660 / 2);
    // Before the hand-over only the first song sounds.
    EXPECT_LT(power(mixed, frame(aStart + 500), frame(aStart + 1500), 660), a440 / 100);
}

TEST_F(Tones, AMissingDeviceIsToldAndTriedAgainAndTheMusicIsHeardFromWhereItStands) {
    const qsizetype vorher = zeilen();
    auto out = std::make_unique<platform::TestAudioOutput>(false);  // the card is not there yet
    frmMain& m = main();
    const QString b = twoTones(4000, 30000).second;
    vt.advance(10000);
    EXPECT_TRUE(m.Frame1->isVisibleTo(&m));
    EXPECT_EQ(m.lblStartmeldung->text(), "Keine Tonausgabe!");
    EXPECT_EQ(zeilen(), vorher + 1);  // one line, however often the device is tried
    // Unheard, the queue went on as if heard.
    EXPECT_EQ(PlayerDatei(m.AktPlayer), b);
    const int32_t steht = PlayerPosition(m.AktPlayer);
    EXPECT_GT(steht, 5000);

    out->plugIn();
    vt.advance(int64_t(platform::Mixer::kRetryMs));
    EXPECT_FALSE(m.Frame1->isVisibleTo(&m));
    const int32_t ab = PlayerPosition(m.AktPlayer);
    EXPECT_GE(ab, steht);
    EXPECT_LE(ab, steht + int32_t(platform::Mixer::kRetryMs) + 250);
    const std::vector<int16_t> gehoert = out->pull(1000);
    EXPECT_NEAR(PlayerPosition(m.AktPlayer), ab + 1000, 30);
    const size_t n = gehoert.size() / 2;
    EXPECT_GT(power(gehoert, 0, n, 660), 1e6);
    EXPECT_LT(power(gehoert, 0, n, 440), power(gehoert, 0, n, 660) / 100);
    EXPECT_EQ(zeilen(), vorher + 1);
}

TEST_F(Tones, ACardPulledMidSongIsToldOnceAndTheSongIsHeardAgainWhenItIsBack) {
    const qsizetype vorher = zeilen();
    auto out = std::make_unique<platform::TestAudioOutput>();
    frmMain& m = main();
    const QString b = twoTones(3000, 30000).second;
    for (int i = 0; i < 24; ++i) {  // six seconds heard: a has handed over to b
        vt.advance(250);
        out->pull(250);
    }
    ASSERT_EQ(m.AktuelleDatei, b);
    const int32_t gezogen = PlayerPosition(m.AktPlayer);
    out->unplug();
    vt.advance(4000);
    EXPECT_TRUE(m.Frame1->isVisibleTo(&m));
    EXPECT_EQ(m.lblStartmeldung->text(), "Keine Tonausgabe!");
    EXPECT_EQ(zeilen(), vorher + 1);
    // Unheard the song went on from where the card left it, neither from its start nor standing.
    EXPECT_EQ(PlayerStatus(m.AktPlayer), 2);
    EXPECT_NEAR(PlayerPosition(m.AktPlayer), gezogen + 4000, 260);

    out->plugIn();
    vt.advance(int64_t(platform::Mixer::kRetryMs));
    EXPECT_FALSE(m.Frame1->isVisibleTo(&m));
    const std::vector<int16_t> gehoert = out->pull(1000);
    EXPECT_GT(power(gehoert, 0, gehoert.size() / 2, 660), 1e6);
    EXPECT_EQ(zeilen(), vorher + 1);
}

// A PulseAudio server without any sink: SDL is never let at it (it would die there), the songs go
// on unheard, and once the server has a sink the device opens where the song then stands.
TEST_F(Tones, AServerWithoutASinkIsNotOpenedAndTheSongIsHeardOnceItHasOne) {
    const qsizetype vorher = zeilen();
    ASSERT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    platform::Mixer& mixer = platform::Mixer::instance();
    auto server = std::make_unique<platform::TestSoundServer>(false);
    frmMain& m = main();
    const QString b = twoTones(4000, 30000).second;
    vt.advance(10000);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    EXPECT_EQ(mixer.output(), platform::AudioOutput::Silent);
    // Asked at the first song and at each retry, not at every tick.
    EXPECT_GE(server->asked(), 3);
    EXPECT_LE(server->asked(), 5);
    EXPECT_TRUE(m.Frame1->isVisibleTo(&m));
    EXPECT_EQ(m.lblStartmeldung->text(), "Keine Tonausgabe!");
    EXPECT_EQ(zeilen(), vorher + 1);
    EXPECT_TRUE(protokoll().contains("Keine Tonausgabe: Der Tonserver (PulseAudio) hat kein Ausgabegerät."));
    EXPECT_EQ(PlayerDatei(m.AktPlayer), b);
    const int32_t steht = PlayerPosition(m.AktPlayer);
    EXPECT_GT(steht, 5000);

    server->loadSink();
    vt.advance(int64_t(platform::Mixer::kRetryMs));
    EXPECT_EQ(mixer.output(), platform::AudioOutput::Device);
    EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    EXPECT_FALSE(m.Frame1->isVisibleTo(&m));
    // The device (SDL's dummy driver) plays on in real time from there.
    const int32_t ab = PlayerPosition(m.AktPlayer);
    EXPECT_GE(ab, steht);
    EXPECT_LE(ab, steht + int32_t(platform::Mixer::kRetryMs) + 250 + 1000);
    EXPECT_EQ(PlayerStatus(m.AktPlayer), 2);
    EXPECT_EQ(zeilen(), vorher + 1);
    server.reset();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

// A take-over empties the frame's labels: the frame is still the sound's message and goes with
// the outage. A refusal shown when the sound comes back keeps its two seconds.
TEST_F(Tones, TheSoundsMessageGoesWithTheOutageWhateverATakeOverLeftInIt) {
    auto out = std::make_unique<platform::TestAudioOutput>(false);
    frmMain& m = main();
    m.FadingSekunden = 1;
    const int a = archiveSong("a.mp3", 30000);
    queue(a);
    vt.advance(5750);  // tried at 3 s, next at 6 s
    ASSERT_EQ(m.lblStartmeldung->text(), "Keine Tonausgabe!");
    queue(a);
    EXPECT_EQ(m.lblStartmeldung->text(), "Bereits in Playliste vorhanden!");
    out->plugIn();
    vt.advance(500);
    EXPECT_TRUE(m.Frame1->isVisibleTo(&m));
    EXPECT_EQ(m.lblStartmeldung->text(), "Bereits in Playliste vorhanden!");
    vt.advance(1750);
    EXPECT_FALSE(m.Frame1->isVisibleTo(&m));

    out->unplug();
    vt.advance(1000);
    ASSERT_TRUE(m.Frame1->isVisibleTo(&m));
    ASSERT_EQ(m.lblStartmeldung->text(), "Keine Tonausgabe!");
    queue(archiveSong("b.mp3", 30000));  // a guest's take-over during the outage
    EXPECT_TRUE(m.Frame1->isVisibleTo(&m));
    EXPECT_EQ(m.lblStartmeldung->text(), "");
    out->plugIn();
    vt.advance(int64_t(platform::Mixer::kRetryMs));
    EXPECT_FALSE(m.Frame1->isVisibleTo(&m));
}

}  // namespace
