// Song lengths at open: from the Info/Xing frame when it agrees with the file, from
// the bytes of a constant bit rate, else by walking the file; the same as decoding
// every sample, to within one frame where the bytes give it.
#include "catalogue/player_support.h"

#include "platform/virtualtime.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

using playertest::bytesRead;
using playertest::decodedFrames;
using playertest::decodedMs;

namespace {

constexpr int32_t kOneFrameMs = 27;  // 1152 samples at 44.1 kHz

int32_t lengthAtOpen(int16_t k, const QString& f) {
    PlayerOeffnen(k, f);
    return frmPlayer::instance().MMControl1(k).length();
}

// Loudness of the output between two times (ms) of a recording.
double rms(const std::vector<int16_t>& v, int64_t fromMs, int64_t toMs) {
    const size_t a = size_t(platform::framesForMs(fromMs)) * 2;
    const size_t b = std::min(v.size(), size_t(platform::framesForMs(toMs)) * 2);
    double sum = 0;
    for (size_t i = a; i < b; ++i) sum += double(v[i]) * v[i];
    return b > a ? std::sqrt(sum / double(b - a)) : 0;
}

// Silent frames of Layer III: MPEG-1 at 48 kHz, where every frame of a bit rate has the same
// size, so no padding tells a part at another rate by where its frames end; or MPEG-2 at
// 24 kHz, the rate an encoder picks for 64 kbit/s.
QByteArray plainFrames(int count, int kbps, int rate) {
    const bool mpeg1 = rate == 48000;
    const std::vector<int> rates = mpeg1 ? std::vector<int>{32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}
                                         : std::vector<int>{8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    const auto index = std::find(rates.begin(), rates.end(), kbps) - rates.begin() + 1;
    if ((rate != 48000 && rate != 24000) || index > int(rates.size())) throw std::invalid_argument("no such frame");
    QByteArray f((mpeg1 ? 144000 : 72000) * kbps / rate, '\0');
    f[0] = char(0xFF);
    f[1] = char(mpeg1 ? 0xFB : 0xF3);
    f[2] = char(index << 4 | 0x04);
    return f.repeated(count);
}

}  // namespace

TEST_F(PlayerTest, LengthAtOpenEqualsAFullDecodeWithAndWithoutHeader) {
    struct Case {
        const char* name;
        bool vbr;
        int kbps;
        bool header;
        int id3v2Padding;
        int32_t ms;
    } cases[] = {
        {"cbr-info", false, 128, true, -1, 61789},  {"cbr-info-short", false, 128, true, -1, 1234},
        {"cbr-plain", false, 128, false, -1, 4321}, {"vbr-xing", true, 0, true, -1, 30333},
        {"vbr-plain", true, 0, false, -1, 7777},    {"cbr320-id3v2", false, 320, true, 3000, 9999},
        {"vbr-id3v2-plain", true, 0, false, 512, 2345},
    };
    for (const Case& c : cases) {
        testmedia::LameOptions o;
        o.vbr = c.vbr;
        if (c.kbps) o.bitrateKbps = c.kbps;
        o.infoHeader = c.header;
        o.id3v2PaddingBytes = c.id3v2Padding;
        o.tag = testmedia::Id3v1{QStringLiteral("Titel"), QStringLiteral("Band"), 3, {}, {}, {}, {}, {}};
        const QString f = testmedia::writeLameMp3(dir + "/" + c.name + ".mp3", c.ms, 440, 9000, o);
        PlayerOeffnen(0, f);
        const int32_t atOpen = frmPlayer::instance().MMControl1(0).length();
        EXPECT_EQ(atOpen, int32_t(platform::msForFrames(decodedFrames(f)))) << c.name;
        // The gapless header trims the encoder's delay and padding: exactly the encoded length.
        if (c.header) EXPECT_EQ(atOpen, c.ms) << c.name;
        else EXPECT_GT(atOpen, c.ms) << c.name;
        // Played to its end, the channel's position meets that length.
        PlayerAbspielen(0);
        out->pull(c.ms + 3000);
        expectAt(0, 0, atOpen);
    }
}

TEST_F(PlayerTest, ProbeReadsALengthKnownAtOpenWithoutWaiting) {
    platform::VirtualTime vt;
    const QString f = silent("a.mp3", 200400);
    const uint64_t before = vt.elapsed();
    EXPECT_EQ(LiedLaengeErmitteln(f), 200);
    EXPECT_EQ(vt.elapsed(), before);
}

// At low bit rates a frame is smaller than the gapless header; the test songs (and the
// benchmarks' thousand-song archives at 32 kbit/s) must still carry the header whole.
TEST_F(PlayerTest, SilentSongsOfEveryBitRateOpenWithTheirExactLength) {
    for (int kbps : {32, 48, 56, 64, 128, 320}) {
        testmedia::SilentOptions o;
        o.bitrateKbps = kbps;
        const QString f = testmedia::writeSilentMp3(dir + QStringLiteral("/s%1.mp3").arg(kbps), 61789, o);
        PlayerOeffnen(0, f);
        EXPECT_EQ(frmPlayer::instance().MMControl1(0).length(), 61789) << kbps;
        EXPECT_EQ(platform::msForFrames(decodedFrames(f)), 61789) << kbps;
    }
}

TEST_F(PlayerTest, HeaderlessConstantBitRateIsMeasuredFromItsBytesAndVaryingFilesAreWalked) {
    // Five minutes of plain 128 kbit/s frames between the tags taggers write.
    const QByteArray plain = testmedia::silentMp3Bytes(300000, 128, false);
    const QString five = testmedia::writeBytes(dir + "/five.mp3", testmedia::id3v2Bytes("Lied", "Band") + plain +
                                                                     testmedia::id3v1Bytes({}));
    int64_t before = bytesRead();
    const int32_t len = lengthAtOpen(0, five);
    EXPECT_LT(bytesRead() - before, plain.size() / 16) << "the file was read through";
    EXPECT_NEAR(len, decodedMs(five), kOneFrameMs);
    EXPECT_NEAR(len, 300000, 100);
    // Encoded by LAME without its header, at 320 kbit/s and in VBR, and two files of
    // different rates joined: only the constant one is measured from its bytes.
    testmedia::LameOptions cbr;
    cbr.bitrateKbps = 320;
    cbr.infoHeader = false;
    testmedia::LameOptions vbr;
    vbr.vbr = true;
    vbr.infoHeader = false;
    const QString c = testmedia::writeLameMp3(dir + "/cbr.mp3", 20000, 440, 9000, cbr);
    const QString v = testmedia::writeLameMp3(dir + "/vbr.mp3", 60000, 440, 9000, vbr);
    ASSERT_GT(QFileInfo(v).size(), 200000);
    QFile cf(c), vf(v);
    ASSERT_TRUE(cf.open(QIODevice::ReadOnly) && vf.open(QIODevice::ReadOnly));
    const QString joined = testmedia::writeBytes(dir + "/joined.mp3", cf.readAll() + plain.left(400000));
    before = bytesRead();
    const int32_t cbrLen = lengthAtOpen(0, c);
    EXPECT_LT(bytesRead() - before, QFileInfo(c).size() / 4);
    EXPECT_NEAR(cbrLen, decodedMs(c), kOneFrameMs);
    for (const QString& f : {v, joined}) EXPECT_EQ(lengthAtOpen(0, f), decodedMs(f)) << f.toStdString();
    EXPECT_NEAR(lengthAtOpen(0, joined), 20000 + 400000 * 8 / 128, 100);
}

TEST_F(PlayerTest, JoinedFilesPlayWholeAndAHeaderNeverStretchesTheLength) {
    const auto bytes = [](const QString& f) {
        QFile file(f);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    // cat a.mp3 b.mp3: the first part's Info header counts only its own frames.
    const QString a = tone("a.mp3", 7300, 440, 12000);
    const QString b = tone("b.mp3", 7400, 660, 12000);
    const QString ab = testmedia::writeBytes(dir + "/ab.mp3", bytes(a) + bytes(b));
    const int32_t len = lengthAtOpen(0, ab);
    EXPECT_EQ(len, decodedMs(ab));
    EXPECT_NEAR(len, 14700, 100);
    EXPECT_EQ(PlayerLaenge(0), 15);
    PlayerAbspielen(0);
    const std::vector<int16_t> heard = out->pull(16000);
    EXPECT_GT(rms(heard, 13000, 14500), 4000) << "the second part is not heard";
    expectAt(0, 0, len);

    // A header that counts a third more frames than the file holds.
    QByteArray counted = testmedia::silentMp3Bytes(7300);
    testmedia::setHeaderFrames(counted, 7300 * 441 / 11520 * 4 / 3);
    const QString more = testmedia::writeBytes(dir + "/more.mp3", counted);
    EXPECT_NEAR(lengthAtOpen(0, more), decodedMs(more), kOneFrameMs);
    EXPECT_LT(lengthAtOpen(0, more), 7400);

    // 7 KB whose header claims three billion frames: a short song, not a negative
    // one, and it plays to its end so that the queue moves on.
    QByteArray claimed = testmedia::silentMp3Bytes(380);
    ASSERT_LT(claimed.size(), 7200);
    testmedia::setHeaderFrames(claimed, 3000000000u);
    const QString huge = testmedia::writeBytes(dir + "/huge.mp3", claimed);
    const int32_t hugeLen = lengthAtOpen(1, huge);
    EXPECT_GE(hugeLen, 0);
    EXPECT_LE(hugeLen, claimed.size());
    EXPECT_NEAR(hugeLen, decodedMs(huge), kOneFrameMs);
    PlayerAbspielen(1);
    out->pull(2000);
    expectAt(1, 0, hugeLen);
    EXPECT_EQ(LiedLaengeErmitteln(huge), 0);
}

// Songs joined by cat, without a length header: a cover picture between them, and a part at
// another bit rate in the middle, which a sample of the file may pass over and whose frames
// may end where a frame of the rest would. Each is measured as a full decode measures it.
TEST_F(PlayerTest, JoinedSongsWithoutHeaderAreMeasuredAsAFullDecode) {
    const QByteArray v1 = testmedia::id3v1Bytes({});
    const auto song = [](int32_t ms, int kbps) { return testmedia::silentMp3Bytes(ms, kbps, false); };
    struct Case {
        const char* name;
        QByteArray bytes;
        int32_t ms;  // what the parts hold
    } cases[] = {
        {"picture", testmedia::id3v2Bytes("A", "Band") + song(240000, 192) + v1 +
                        testmedia::id3v2WithPicture("B", 300 * 1024) + song(240000, 192) + v1, 480000},
        {"64", song(240000, 128) + song(25000, 64) + song(240000, 128), 505000},
        {"320", song(240000, 128) + song(10000, 320) + song(240000, 128), 490000},
        // 1042 frames at 64 kbit/s take the bytes of 521 at 128, 416 at 320 those of 1040.
        {"64-48k", plainFrames(10000, 128, 48000) + plainFrames(1042, 64, 48000) + plainFrames(10000, 128, 48000),
         505008},
        {"320-48k", plainFrames(10000, 128, 48000) + plainFrames(416, 320, 48000) + plainFrames(10000, 128, 48000),
         489984},
        {"64-24k", song(240000, 128) + plainFrames(1042, 64, 24000) + song(240000, 128), 505008},
        {"24k-first", plainFrames(6, 64, 24000) + song(60000, 128), 60144},
    };
    for (const Case& c : cases) {
        const QString f = testmedia::writeBytes(dir + "/" + c.name + ".mp3", c.bytes);
        const int32_t decoded = decodedMs(f);
        EXPECT_NEAR(decoded, c.ms, 3 * kOneFrameMs) << c.name;
        EXPECT_NEAR(lengthAtOpen(0, f), decoded, 100) << c.name;
    }
}

TEST_F(PlayerTest, ABigCoverPictureIsSkippedNotRead) {
    const QString f = testmedia::writeBytes(dir + "/cover.mp3", testmedia::id3v2WithPicture("Lied", 512 * 1024) +
                                                                    testmedia::silentMp3Bytes(5000));
    const int64_t before = bytesRead();
    EXPECT_EQ(lengthAtOpen(0, f), 5000);
    EXPECT_LT(bytesRead() - before, 96 * 1024);
    PlayerAbspielen(0);
    out->pull(6000);
    expectAt(0, 0, 5000);
}

// Songs as downloads and other tools leave them: bytes after the audio that are no tag
// (zeros, noise, a Lyrics3 v1 tag), an MP3 in RIFF/WAVE, free format in frames of 72
// bytes, a jingle of two frames with zeros after it, a gap of zeros where a download lost
// bytes. Each is measured as a full decode plays it and plays on to where its sound ends.
TEST_F(PlayerTest, SongsWithBytesAroundOrInsideTheirAudioPlayWhatAFullDecodeHolds) {
    const auto lame = [this](int32_t ms, bool header, int rate, int kbps) {
        const testmedia::LameOptions o{kbps, false, header, rate, rate != testmedia::kRate, -1, {}};
        return testmedia::readBytes(testmedia::writeLameMp3(dir + "/lame.mp3", ms, 440, 12000, o));
    };
    const QByteArray plain = lame(8000, false, testmedia::kRate, 128);
    const QByteArray lyrics = "LYRICSBEGIN" + QByteArray("La la la\r\n").repeated(500) + "LYRICSEND" +
                              testmedia::id3v1Bytes({});
    const int first = 417 + ((plain[2] >> 1) & 1);  // a padded frame of 128 kbit/s takes 418 bytes
    const QByteArray jingle = plain.left(first + 417 + ((plain[first + 2] >> 1) & 1));
    const QByteArray free16 = lame(8000, false, 16000, 16);
    ASSERT_EQ(uint8_t(free16[2]) >> 4, 0) << "not free format";
    QByteArray gap = lame(21000, true, testmedia::kRate, 128);
    gap.replace(200 * 1024, 3 * 1024, QByteArray(3 * 1024, '\0'));
    const std::tuple<const char*, QByteArray, int32_t, QByteArray> cases[] = {
        // name, file, tolerance (of the length and the sound's end), the audio the full decode is of
        {"zeros", plain + QByteArray(100 * 1024, '\0'), 100, {}},
        // A decoder searching the noise finds a frame header now and then: not played.
        {"noise", plain + testmedia::foreignAudioBytes(testmedia::Foreign::Flac, 100 * 1024).mid(8), 100, plain},
        {"lyrics3", plain + lyrics, 100, {}},
        {"riff", testmedia::mp3InWave(plain), 100, {}},
        {"free16", free16, 100, {}},
        {"jingle", jingle + QByteArray(500, '\0'), 100, {}},
        {"jingle-lyrics3", jingle + lyrics, 100, {}},
        {"gap", gap, 300, {}},
    };
    for (const auto& [name, bytes, near, audio] : cases) {
        const QString f = testmedia::writeBytes(dir + "/" + name + ".mp3", bytes);
        const int32_t decoded = decodedMs(audio.isEmpty() ? f : testmedia::writeBytes(dir + "/audio.mp3", audio));
        PlayerOeffnen(0, f);
        EXPECT_EQ(PlayerDatei(0), f) << name << " refused";
        const int32_t len = frmPlayer::instance().MMControl1(0).length();
        EXPECT_NEAR(len, decoded, near) << name;
        // Played in the play loop's steps, it stops where its sound ends, at its length.
        PlayerAbspielen(0);
        std::vector<int16_t> heard;
        int32_t stopped = -1;
        for (int32_t t = 250; t < len + 1000; t += 250) {
            const std::vector<int16_t> v = out->pull(250);
            heard.insert(heard.end(), v.begin(), v.end());
            if (stopped < 0 && PlayerStatus(0) != 2) stopped = t;
        }
        EXPECT_NEAR(stopped, len, near + 250) << name;
        expectAt(0, 0, len);
        if (len > 1000) {
            EXPECT_GT(rms(heard, len - near - 500, len - near), 4000) << name;
        }
    }
    EXPECT_EQ(LiedLaengeErmitteln(dir + "/jingle.mp3"), 0);
    // A RIFF/WAVE that says MPEG audio but holds samples is no song.
    const QByteArray samples = testmedia::toneWavBytes(20000, 440, 12000, 3000, 0).mid(44);
    EXPECT_EQ(LiedLaengeErmitteln(testmedia::writeBytes(dir + "/pcm.mp3", testmedia::mp3InWave(samples))), 300);
}
