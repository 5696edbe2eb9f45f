// Song lengths at open: from the Info/Xing frame when there is one, else by walking
// the file; either way the same as decoding every sample.
#include "catalogue/player_support.h"

#include "platform/virtualtime.h"

#include <QFile>
#include <mpg123.h>

namespace {

// Samples a full decode delivers, set up as the channels decode (44.1 kHz stereo, gapless).
int64_t decodedFrames(const QString& path) {
    mpg123_init();
    mpg123_handle* h = mpg123_new(nullptr, nullptr);
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_FORCE_STEREO | MPG123_GAPLESS, 0);
    mpg123_param(h, MPG123_FORCE_RATE, platform::kMixRate, 0);
    mpg123_format_none(h);
    mpg123_format(h, platform::kMixRate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    int64_t frames = 0;
    if (mpg123_open(h, QFile::encodeName(path).constData()) == MPG123_OK) {
        std::vector<unsigned char> buf(1 << 16);
        for (;;) {
            size_t done = 0;
            const int r = mpg123_read(h, buf.data(), buf.size(), &done);
            frames += int64_t(done / 4);
            if (r != MPG123_OK && r != MPG123_NEW_FORMAT) break;
        }
    }
    mpg123_delete(h);
    return frames;
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
