// Channel rules as the main screen and the tag writers rely on them.
#include "catalogue/player_support.h"

#include "platform/runtime.h"
#include "platform/virtualtime.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const platform::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

// True while the process holds path open.
bool heldOpen(const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    for (const QFileInfo& fd : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System | QDir::Files))
        if (fd.symLinkTarget() == target) return true;
    return false;
}

void expectEmptyChannel(int16_t k) {
    EXPECT_EQ(PlayerPosition(k), 0) << k;
    EXPECT_EQ(PlayerLaenge(k), 0) << k;
    EXPECT_EQ(PlayerStatus(k), 0) << k;
    EXPECT_EQ(PlayerDatei(k), QString()) << k;
}

}  // namespace

TEST_F(PlayerTest, FreshChannelsReadZeroAndHostFormComesOnFirstUse) {
    frmPlayer::unload();
    EXPECT_FALSE(frmPlayer::loaded());
    EXPECT_EQ(PlayerDatei(3), QString());
    for (int16_t k = 0; k <= 2; ++k) expectEmptyChannel(k);
    EXPECT_TRUE(frmPlayer::loaded());
    EXPECT_FALSE(frmPlayer::instance().isVisible());
    EXPECT_EQ(errorOf([] { PlayerDatei(4); }), 9);
    EXPECT_EQ(errorOf([] { PlayerDatei(-1); }), 9);
    EXPECT_EQ(errorOf([] { PlayerPosition(3); }), 340);
    PlayerOeffnen(3, silent("a.mp3", 1000));  // no channel 3: passed over
    EXPECT_EQ(PlayerDatei(3), QString());
}

TEST_F(PlayerTest, LengthIsExactAndKnownRightAfterOpen) {
    const QString sub = dir + QStringLiteral("/Süße Lieder");
    struct Case { int32_t ms; int32_t seconds; } cases[] = {
        {150500, 150}, {151500, 152}, {183500, 184}, {1500, 2}, {2500, 2}, {499, 0}, {1, 0}, {300000, 300}};
    for (const Case& c : cases) {
        const QString f = testmedia::writeSilentMp3(sub + QStringLiteral("/Lied %1 ä.mp3").arg(c.ms), c.ms);
        PlayerOeffnen(0, f);
        EXPECT_EQ(PlayerDatei(0), f);  // as passed
        EXPECT_EQ(frmPlayer::instance().MMControl1(0).length(), c.ms);
        EXPECT_EQ(PlayerLaenge(0), c.seconds) << c.ms;
        EXPECT_EQ(PlayerPosition(0), 0);
        EXPECT_EQ(PlayerStatus(0), 0);
    }
}

TEST_F(PlayerTest, PlayPauseStopFollowTheOutputClock) {
    PlayerOeffnen(1, silent("a.mp3", 10000));
    PlayerAbspielen(1);
    EXPECT_EQ(PlayerStatus(1), 2);
    out->pull(1000);
    EXPECT_EQ(PlayerPosition(1), 1000);
    PlayerPause(1);
    EXPECT_EQ(PlayerStatus(1), 1);
    out->pull(500);
    EXPECT_EQ(PlayerPosition(1), 1000);
    PlayerAbspielen(1);  // resumes where it was paused
    out->pull(250);
    EXPECT_EQ(PlayerPosition(1), 1250);
    PlayerStop(1);
    EXPECT_EQ(PlayerStatus(1), 0);
    out->pull(700);
    EXPECT_EQ(PlayerPosition(1), 1250);  // stop keeps the file and the position
    EXPECT_FALSE(PlayerDatei(1).isEmpty());
    PlayerAbspielen(1);
    out->pull(3);
    EXPECT_EQ(PlayerPosition(1), 1253);
    PlayerPause(1);
    PlayerStop(1);
    EXPECT_EQ(PlayerStatus(1), 0);
}

TEST_F(PlayerTest, StartPositionAppliesToTheNextPlayOnly) {
    PlayerOeffnen(0, silent("a.mp3", 200000));
    PlayerStartSetzen(0, 83000);
    EXPECT_EQ(PlayerPosition(0), 0);
    PlayerAbspielen(0);
    EXPECT_EQ(PlayerPosition(0), 83000);
    out->pull(1000);
    EXPECT_EQ(PlayerPosition(0), 84000);
    PlayerPause(0);
    PlayerAbspielen(0);
    EXPECT_EQ(PlayerPosition(0), 84000);
    // A start beyond the end: the song is over at once.
    PlayerStartSetzen(0, 999999);
    PlayerAbspielen(0);
    expectAt(0, 0, 200000);
}

TEST_F(PlayerTest, AStartBeyondTheEndOfAStrayStreamStopsAtItsLength) {
    // Bytes a fuzzer made: the decoder seeks this stream to 292 ms of its 74.
    QString data = qEnvironmentVariable("MELOTRA_TEST_DATA");
    if (data.isEmpty()) data = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../data");
    const QString f = dir + "/stray.mp3";
    ASSERT_TRUE(QFile::copy(data + "/catalogue/suche_ueber_das_ende.mp3", f));
    platform::SoundChannel ch;
    ch.setFileName(f);
    ch.command("open");
    ASSERT_GT(ch.length(), 0);
    ch.setFrom(ch.length() + 19);
    ch.command("play");
    EXPECT_EQ(ch.position(), ch.length());
    EXPECT_EQ(ch.mode(), platform::kModeStopped);
}

TEST_F(PlayerTest, PositionStaysAtTheLengthAfterTheEnd) {
    PlayerOeffnen(0, silent("a.mp3", 3001));
    PlayerAbspielen(0);
    out->pull(3000);
    EXPECT_EQ(PlayerStatus(0), 2);
    EXPECT_EQ(PlayerPosition(0), 3000);
    out->pull(5000);
    expectAt(0, 0, 3001);
    EXPECT_EQ(PlayerPosition(0) / 1000, PlayerLaenge(0));
    PlayerAbspielen(0);  // nothing left to play
    expectAt(0, 0, 3001);
}

TEST_F(PlayerTest, OpeningClosesTheFormerFileAndTheEmptyNameReleases) {
    const QString a = silent("a.mp3", 5000);
    const QString b = silent("b.mp3", 7000);
    PlayerOeffnen(0, a);
    PlayerAbspielen(0);
    out->pull(1000);
    EXPECT_TRUE(heldOpen(a));
    PlayerOeffnen(0, b);
    EXPECT_FALSE(heldOpen(a));
    EXPECT_EQ(PlayerDatei(0), b);
    EXPECT_EQ(PlayerStatus(0), 0);
    EXPECT_EQ(PlayerPosition(0), 0);
    EXPECT_EQ(PlayerLaenge(0), 7);
    PlayerOeffnen(0, QString());
    EXPECT_FALSE(heldOpen(b));
    expectEmptyChannel(0);
    // Commands on a released channel do nothing.
    PlayerAbspielen(0);
    PlayerPause(0);
    PlayerStop(0);
    expectEmptyChannel(0);
}

TEST_F(PlayerTest, FilesThatCannotPlayLeaveAnEmptyChannel) {
    const QString good = silent("good.mp3", 5000);
    QDir().mkpath(dir + "/folder.mp3");
    const QString bad[] = {
        dir + "/missing.mp3",
        testmedia::writeGarbage(dir + "/garbage.mp3", 50000),
        testmedia::writeShortFile(dir + "/short.mp3", 100),
        testmedia::writeBytes(dir + "/empty.mp3", QByteArray()),
        testmedia::writeBytes(dir + "/tagonly.mp3", testmedia::id3v1Bytes({})),
        dir + "/folder.mp3",
    };
    for (const QString& f : bad) {
        PlayerOeffnen(0, good);
        PlayerAbspielen(0);
        PlayerOeffnen(0, f);
        expectEmptyChannel(0);
        PlayerAbspielen(0);
        out->pull(100);
        expectEmptyChannel(0);
    }
}

TEST_F(PlayerTest, TruncatedFilePlaysWhatItHoldsToItsEnd) {
    const QString f = testmedia::writeTruncatedMp3(dir + "/cut.mp3", 10000, 100000);
    PlayerOeffnen(0, f);
    const int32_t len = frmPlayer::instance().MMControl1(0).length();
    EXPECT_GT(len, 5000);
    EXPECT_LT(len, 10000);
    PlayerAbspielen(0);
    out->pull(12000);
    expectAt(0, 0, len);
    // A file cut inside its first frame.
    PlayerOeffnen(1, testmedia::writeTruncatedMp3(dir + "/cut2.mp3", 10000, 300));
    PlayerAbspielen(1);
    out->pull(100);
    EXPECT_EQ(PlayerStatus(1), 0);
}

TEST_F(PlayerTest, TaggedFileLengthLeavesTheTagOut) {
    testmedia::Id3v1 tag;
    tag.title = QStringLiteral("Titel");
    tag.genre = 17;
    PlayerOeffnen(0, testmedia::writeSilentMp3(dir + "/t.mp3", 61234, tag));
    EXPECT_EQ(frmPlayer::instance().MMControl1(0).length(), 61234);
}

TEST_F(PlayerTest, LengthProbe) {
    platform::VirtualTime vt;
    const QString f = silent("a.mp3", 200400);
    EXPECT_EQ(LiedLaengeErmitteln(f), 200);
    EXPECT_EQ(PlayerDatei(2), f);  // the probe keeps the file open
    // Short songs have their length too, however short.
    EXPECT_EQ(LiedLaengeErmitteln(silent("half.mp3", 500)), 0);
    EXPECT_EQ(LiedLaengeErmitteln(silent("blip.mp3", 120)), 0);
    EXPECT_EQ(PlayerDatei(2), dir + "/blip.mp3");
    EXPECT_EQ(LiedLaengeErmitteln(silent("more.mp3", 501)), 1);
    // A file that does not open has no length to wait for.
    const uint64_t before = vt.elapsed();
    EXPECT_EQ(LiedLaengeErmitteln(dir + "/missing.mp3"), 300);
    EXPECT_EQ(vt.elapsed(), before);
    EXPECT_EQ(PlayerDatei(2), QString());
    EXPECT_EQ(PlayerDatei(0), QString());
}

TEST_F(PlayerTest, FilesThatDoNotDecodeCostOneOpenAndNoWait) {
    platform::VirtualTime vt;
    using testmedia::Foreign;
    const std::pair<const char*, QByteArray> renamed[] = {
        {"wav", testmedia::foreignAudioBytes(Foreign::Wav, 300000)},
        {"flac", testmedia::foreignAudioBytes(Foreign::Flac, 300000)},
        {"ogg", testmedia::foreignAudioBytes(Foreign::Ogg, 300000)},
        {"aac", testmedia::foreignAudioBytes(Foreign::AacAdts, 300000)},
        {"m4a", testmedia::foreignAudioBytes(Foreign::Mp4, 300000)},
        {"id3-then-noise", testmedia::id3v2Bytes("Lied", "Band") + testmedia::foreignAudioBytes(Foreign::Flac, 200000)},
        {"empty", QByteArray()},
    };
    for (const auto& [name, bytes] : renamed) {
        const QString f = testmedia::writeBytes(dir + "/" + name + ".mp3", bytes);
        const uint64_t t0 = vt.elapsed();
        const int64_t r0 = playertest::bytesRead();
        EXPECT_EQ(LiedLaengeErmitteln(f), 300) << name;
        EXPECT_EQ(vt.elapsed(), t0) << name;
        // One look at its start, not the decoder's search repeated at every poll.
        EXPECT_LT(playertest::bytesRead() - r0, 96 * 1024) << name;
        EXPECT_EQ(PlayerDatei(2), QString()) << name;
    }
}

// Dither and a fade-in hold samples such as FF FF 00 00, which read as frame headers:
// a renamed WAV is refused as other data that is no MPEG audio is, and nothing of it
// plays; its samples without the RIFF header too, having no frames that follow one another.
TEST_F(PlayerTest, RenamedWavesAreRefusedWhateverTheirFirstSecondsHold) {
    platform::VirtualTime vt;
    const std::pair<const char*, QByteArray> waves[] = {
        {"dither", testmedia::toneWavBytes(60000, 440, 12000, 3000, 0)},
        {"fade", testmedia::toneWavBytes(60000, 440, 12000, 0, 10000)},
        {"dither-fade", testmedia::toneWavBytes(60000, 440, 12000, 3000, 5000)},
    };
    for (const auto& [name, wav] : waves) {
        for (const QByteArray& bytes : {wav, wav.mid(44)}) {
            const QString f = testmedia::writeBytes(dir + "/" + name + ".mp3", bytes);
            PlayerOeffnen(0, silent("good.mp3", 5000));
            PlayerOeffnen(0, f);
            expectEmptyChannel(0);
            PlayerAbspielen(0);
            EXPECT_EQ(PlayerStatus(0), 0) << name;
            const uint64_t t0 = vt.elapsed();
            EXPECT_EQ(LiedLaengeErmitteln(f), 300) << name << " " << bytes.size();
            EXPECT_EQ(vt.elapsed(), t0);
        }
    }
    // Before a song, the dither is passed over as other junk is: the song plays from its
    // first frame, not from noise the decoder would take for frames.
    const QString song = tone("song.mp3", 4000, 440, 12000);
    QFile s(song);
    ASSERT_TRUE(s.open(QIODevice::ReadOnly));
    const QString f = testmedia::writeBytes(
        dir + "/after-dither.mp3", testmedia::toneWavBytes(300, 440, 0, 300, 0).mid(44, 50000) + s.readAll());
    PlayerOeffnen(0, f);
    EXPECT_EQ(frmPlayer::instance().MMControl1(0).length(), 4000);
    EXPECT_EQ(alone(0, f, 4500), alone(0, song, 4500));
}

TEST_F(PlayerTest, APipeOrADeviceIsRefusedAtOnce) {
    const QString fifo = dir + "/pipe.mp3";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    // Should an open wait for a writer, a guard gives it one after a while.
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    bool guardOpened = false;
    std::thread guard([&] {
        std::unique_lock lock(m);
        for (std::chrono::milliseconds wait(5000); !cv.wait_for(lock, wait, [&] { return done; });
             wait = std::chrono::milliseconds(10)) {
            const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) ::close(fd);
            guardOpened = guardOpened || fd >= 0;
        }
    });
    PlayerOeffnen(0, silent("good.mp3", 3000));
    PlayerOeffnen(0, fifo);
    expectEmptyChannel(0);
    PlayerOeffnen(1, QStringLiteral("/dev/zero"));
    expectEmptyChannel(1);
    EXPECT_EQ(LiedLaengeErmitteln(fifo), 300);
    {
        std::lock_guard lock(m);
        done = true;
    }
    cv.notify_all();
    guard.join();
    EXPECT_FALSE(guardOpened) << "the open waited for a writer";
}

TEST_F(PlayerTest, WithoutADeviceTheChannelsFollowTheTickCounter) {
    platform::VirtualTime vt;
    platform::Mixer::instance().select(platform::AudioOutput::Silent);
    PlayerOeffnen(0, silent("a.mp3", 4000));
    PlayerAbspielen(0);
    vt.advance(1500);
    EXPECT_EQ(PlayerPosition(0), 1500);
    vt.advance(1);
    EXPECT_EQ(PlayerPosition(0), 1501);
    vt.advance(60000);
    expectAt(0, 0, 4000);
}
