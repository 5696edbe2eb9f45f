#include "support/testmedia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cmath>
#include <lame/lame.h>
#include <mpg123.h>
#include <stdexcept>
#include <vector>

namespace testmedia {

namespace {

constexpr int kEncoderDelay = 576;
constexpr int kDecoderDelay = 529;

// The bit rates of MPEG-1 Layer III, in the order of their header index 1..14.
constexpr int kBitrates[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};

int bitrateIndex(int kbps) {
    for (int i = 0; i < 14; ++i)
        if (kBitrates[i] == kbps) return i + 1;
    throw std::invalid_argument("no MPEG-1 Layer III bit rate");
}

// Frame i's size: padding spread so the average bit rate is exact.
int frameSize(int kbps, int64_t i) {
    const int64_t per = 144000LL * kbps;
    return int((i + 1) * per / kRate - i * per / kRate);
}

void putFrameHeader(char* p, int kbps, bool padded) {
    p[0] = char(0xFF);
    p[1] = char(0xFB);  // MPEG-1, Layer III, no CRC
    p[2] = char((bitrateIndex(kbps) << 4) | (padded ? 0x02 : 0x00));  // 44.1 kHz
    p[3] = char(0x00);  // stereo
}

QByteArray frame(int kbps, int64_t i) {
    const int size = frameSize(kbps, i);
    QByteArray f(size, '\0');  // zero side info and main data: silence
    putFrameHeader(f.data(), kbps, size > 144000 * kbps / kRate);
    return f;
}

void putBE32(char* p, uint32_t v) {
    p[0] = char(v >> 24);
    p[1] = char(v >> 16);
    p[2] = char(v >> 8);
    p[3] = char(v);
}

uint16_t crc16(const char* data, int n) {
    uint16_t crc = 0;
    for (int i = 0; i < n; ++i) {
        crc ^= uint8_t(data[i]);
        for (int b = 0; b < 8; ++b) crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return crc;
}

// The "Info" frame and its LAME tag take 192 bytes; at low bit rates a frame is
// smaller, so the encoder writes that one frame at the lowest rate that holds it.
constexpr int kInfoFrameBytes = 192;
int infoFrameKbps(int kbps) {
    for (int k : kBitrates)
        if (k >= kbps && frameSize(k, 0) >= kInfoFrameBytes) return k;
    return kbps;
}

// "Info" frame with a LAME tag that trims the stream to its exact sample count.
QByteArray infoFrame(int kbps, int64_t audioFrames, int padding, uint32_t totalBytes) {
    QByteArray f = frame(infoFrameKbps(kbps), 0);
    char* p = f.data();
    memcpy(p + 36, "Info", 4);
    putBE32(p + 40, 0x0F);  // frames, bytes, TOC, quality
    putBE32(p + 44, uint32_t(audioFrames));
    putBE32(p + 48, totalBytes);
    for (int i = 0; i < 100; ++i) p[52 + i] = char(i * 256 / 100);
    putBE32(p + 152, 0);
    char* lame = p + 156;
    memcpy(lame, "LAME3.100", 9);
    lame[9] = 0x01;  // CBR
    lame[20] = char(std::min(kbps, 255));
    const uint32_t dp = (uint32_t(kEncoderDelay) << 12) | uint32_t(padding);
    lame[21] = char(dp >> 16);
    lame[22] = char(dp >> 8);
    lame[23] = char(dp);
    putBE32(lame + 28, totalBytes);
    const uint16_t crc = crc16(p, kInfoFrameBytes - 2);
    p[kInfoFrameBytes - 2] = char(crc >> 8);
    p[kInfoFrameBytes - 1] = char(crc);
    return f;
}

QByteArray field(const QString& text, const std::optional<QByteArray>& raw, int n) {
    QByteArray b = raw ? *raw : text.toLatin1();
    b = b.left(n);
    b.append(QByteArray(n - b.size(), '\0'));
    return b;
}

void mkParent(const QString& path) { QDir().mkpath(QFileInfo(path).absolutePath()); }

}  // namespace

int64_t samplesFor(int32_t lengthMs) {
    // Smallest count whose rounded-down milliseconds are lengthMs.
    return (int64_t(lengthMs) * kRate + 999) / 1000;
}

QByteArray id3v1Bytes(const Id3v1& tag) {
    QByteArray b("TAG");
    b += field(tag.title, tag.rawTitle, 30);
    b += field(tag.artist, tag.rawArtist, 30);
    b += field({}, tag.album, 30);
    b += field({}, tag.year, 4);
    b += field({}, tag.comment, 30);
    b += char(tag.genre);
    return b;
}

QByteArray silentMp3Bytes(int32_t lengthMs, int bitrateKbps, bool gaplessHeader) {
    const int64_t samples = samplesFor(lengthMs);
    if (!gaplessHeader) {
        QByteArray out;
        const int64_t frames = (samples + kSamplesPerFrame - 1) / kSamplesPerFrame;
        for (int64_t i = 0; i < frames; ++i) out += frame(bitrateKbps, i);
        return out;
    }
    // The decoder's own delay of 529 samples must fit into the padding.
    const int64_t frames = (samples + kEncoderDelay + kDecoderDelay + kSamplesPerFrame - 1) / kSamplesPerFrame;
    const int padding = int(frames * kSamplesPerFrame - kEncoderDelay - samples);
    QByteArray audio;
    for (int64_t i = 1; i <= frames; ++i) audio += frame(bitrateKbps, i);
    const uint32_t total = uint32_t(audio.size() + frameSize(infoFrameKbps(bitrateKbps), 0));
    return infoFrame(bitrateKbps, frames, padding, total) + audio;
}

QString writeBytes(const QString& path, const QByteArray& bytes) {
    mkParent(path);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test media " + path.toStdString());
    return path;
}

QString writeAppleDouble(const QString& path) {
    QByteArray b;
    const auto be32 = [&b](uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) b.append(char((v >> shift) & 0xFF));
    };
    be32(0x00051607);  // magic
    be32(0x00020000);  // version 2
    b.append("Mac OS X        ", 16);
    b.append('\0').append('\2');  // two entries
    be32(9);                       // Finder info
    be32(50);
    be32(32);
    be32(2);  // resource fork, empty, at the end
    be32(4096);
    be32(0);
    b.append("MPG3hook", 8);  // file type and creator
    b.append(QByteArray(4096 - b.size(), '\0'));
    return writeBytes(path, b);
}

QString writeSilentMp3(const QString& path, int32_t lengthMs, const SilentOptions& opt) {
    QByteArray b = silentMp3Bytes(lengthMs, opt.bitrateKbps, opt.gaplessHeader);
    if (opt.tag) b += id3v1Bytes(*opt.tag);
    return writeBytes(path, b);
}

QString writeSilentMp3(const QString& path, int32_t lengthMs, const Id3v1& tag) {
    SilentOptions opt;
    opt.tag = tag;
    return writeSilentMp3(path, lengthMs, opt);
}

QString writeSilentFrames(const QString& path, int frames, const SilentOptions& opt) {
    QByteArray b;
    for (int i = 0; i < frames; ++i) b += frame(opt.bitrateKbps, i);
    if (opt.tag) b += id3v1Bytes(*opt.tag);
    return writeBytes(path, b);
}

QString writeGarbage(const QString& path, int n, uint32_t seed) {
    QByteArray b(n, '\0');
    uint32_t x = seed ? seed : 1;
    for (int i = 0; i < n; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b[i] = char(x & 0x7F);  // never 0xFF: no frame sync
    }
    return writeBytes(path, b);
}

QString writeShortFile(const QString& path, int n) { return writeGarbage(path, n, 7); }

QString writeTruncatedMp3(const QString& path, int32_t lengthMs, int keepBytes) {
    return writeBytes(path, silentMp3Bytes(lengthMs).left(keepBytes));
}

QString writeToneMp3(const QString& path, int32_t lengthMs, double frequencyHz, int amplitude, int bitrateKbps,
                     const std::optional<Id3v1>& tag) {
    LameOptions o;
    o.bitrateKbps = bitrateKbps;
    o.tag = tag;
    return writeLameMp3(path, lengthMs, frequencyHz, amplitude, o);
}

QString writeLameMp3(const QString& path, int32_t lengthMs, double frequencyHz, int amplitude, const LameOptions& opt) {
    lame_global_flags* gf = lame_init();
    lame_set_in_samplerate(gf, kRate);
    lame_set_out_samplerate(gf, opt.sampleRate);
    lame_set_free_format(gf, opt.freeFormat ? 1 : 0);
    lame_set_num_channels(gf, 2);
    lame_set_mode(gf, STEREO);
    if (opt.vbr) {
        lame_set_VBR(gf, vbr_default);
        lame_set_VBR_q(gf, 4);
    } else {
        lame_set_brate(gf, opt.bitrateKbps);
        lame_set_VBR(gf, vbr_off);
    }
    lame_set_quality(gf, 7);
    lame_set_bWriteVbrTag(gf, opt.infoHeader ? 1 : 0);
    if (lame_init_params(gf) < 0) {
        lame_close(gf);
        throw std::runtime_error("lame_init_params failed");
    }
    const int64_t samples = samplesFor(lengthMs);
    std::vector<short> pcm(size_t(samples) * 2);
    for (int64_t i = 0; i < samples; ++i) {
        // A slow sweep in loudness makes VBR frames differ in size.
        const double swell = opt.vbr ? 0.5 + 0.5 * std::sin(2.0 * M_PI * double(i) / kRate) : 1.0;
        const short v = short(std::lround(swell * amplitude * std::sin(2.0 * M_PI * frequencyHz * double(i) / kRate)));
        pcm[size_t(2 * i)] = v;
        pcm[size_t(2 * i + 1)] = v;
    }
    QByteArray out;
    std::vector<unsigned char> buf(1 << 16);
    const int chunk = 8192;
    for (int64_t off = 0; off < samples; off += chunk) {
        const int n = int(std::min<int64_t>(chunk, samples - off));
        const int w = lame_encode_buffer_interleaved(gf, pcm.data() + 2 * off, n, buf.data(), int(buf.size()));
        if (w < 0) throw std::runtime_error("lame encode failed");
        out.append(reinterpret_cast<const char*>(buf.data()), w);
    }
    const int w = lame_encode_flush(gf, buf.data(), int(buf.size()));
    if (w > 0) out.append(reinterpret_cast<const char*>(buf.data()), w);
    if (opt.infoHeader) {
        const size_t tagLen = lame_get_lametag_frame(gf, buf.data(), buf.size());
        if (tagLen > 0 && tagLen <= size_t(out.size())) memcpy(out.data(), buf.data(), tagLen);
    }
    lame_close(gf);
    if (opt.id3v2PaddingBytes >= 0) {
        // An ID3v2.3 tag with one title frame and NUL padding, as taggers write it.
        QByteArray frame = QByteArray("TIT2") + QByteArray::fromHex("00000005") + QByteArray(2, 0) + QByteArray("\0Lied", 5);
        frame += QByteArray(opt.id3v2PaddingBytes, 0);
        const int n = int(frame.size());
        QByteArray head = QByteArray("ID3") + QByteArray::fromHex("030000");
        for (int shift : {21, 14, 7, 0}) head += char((n >> shift) & 0x7f);
        out.prepend(head + frame);
    }
    if (opt.tag) out += id3v1Bytes(*opt.tag);
    return writeBytes(path, out);
}

QByteArray id3v2Bytes(const QString& title, const QString& artist, int padding) {
    QByteArray frames;
    auto textFrame = [&frames](const char* id, const QString& text) {
        const QByteArray body = QByteArray(1, '\0') + text.toLatin1();  // encoding byte 0: Latin-1
        frames += id;
        for (int shift = 24; shift >= 0; shift -= 8) frames += char(body.size() >> shift);
        frames += QByteArray(2, '\0');  // flags
        frames += body;
    };
    textFrame("TIT2", title);
    textFrame("TPE1", artist);
    frames += QByteArray(padding, '\0');
    QByteArray b("ID3\x03\x00\x00", 6);
    for (int shift = 21; shift >= 0; shift -= 7) b += char((frames.size() >> shift) & 0x7F);  // synchsafe size
    return b + frames;
}

QString writeTaggerStyleMp3(const QString& path, int32_t lengthMs, const TaggerStyle& t) {
    QByteArray b = silentMp3Bytes(lengthMs);
    if (t.id3v2) b.prepend(id3v2Bytes(t.title, t.artist));
    if (t.id3v1) {
        Id3v1 v1;
        v1.title = t.title;
        v1.artist = t.artist;
        v1.genre = t.genre;
        v1.year = "2024";
        b += id3v1Bytes(v1);  // its fields are NUL-padded
    }
    return writeBytes(path, b);
}

QByteArray id3v2WithPicture(const QString& title, int pictureBytes) {
    QByteArray frames;
    auto addFrame = [&frames](const char* id, const QByteArray& body) {
        frames += id;
        for (int shift = 24; shift >= 0; shift -= 8) frames += char(body.size() >> shift);
        frames += QByteArray(2, '\0');
        frames += body;
    };
    addFrame("TIT2", QByteArray(1, '\0') + title.toLatin1());
    // Encoding, MIME type, picture type 3 (front cover), empty description, the picture.
    QByteArray picture("\xFF\xD8\xFF\xE0", 4);
    for (int i = 4; i < pictureBytes; ++i) picture += char((i * 131) & 0xFF);
    addFrame("APIC", QByteArray(1, '\0') + "image/jpeg" + QByteArray(1, '\0') + char(3) + QByteArray(1, '\0') + picture);
    QByteArray b("ID3\x03\x00\x00", 6);
    for (int shift = 21; shift >= 0; shift -= 7) b += char((frames.size() >> shift) & 0x7F);
    return b + frames;
}

void setHeaderFrames(QByteArray& mp3, uint32_t frames) {
    int at = mp3.indexOf("Info");
    if (at < 0 || at > 4096) at = mp3.indexOf("Xing");
    if (at < 0 || at > 4096) throw std::invalid_argument("no Info/Xing header");
    putBE32(mp3.data() + at + 8, frames);
}

QByteArray foreignAudioBytes(Foreign kind, int n) {
    QByteArray b;
    uint32_t x = 2463534242u;
    auto noise = [&x](int count) {
        QByteArray r(count, '\0');
        for (int i = 0; i < count; ++i) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            r[i] = char(x);  // every byte value, 0xFF included
        }
        return r;
    };
    switch (kind) {
    case Foreign::Wav:
        return toneWavBytes(std::max(1, n / 176), 440, 12000);
    case Foreign::Flac:
        b = QByteArray("fLaC\x00\x00\x00\x22", 8) + noise(n);
        return b;
    case Foreign::Ogg:
        while (b.size() < n) b += QByteArray("OggS\x00\x02", 6) + noise(4090);
        return b;
    case Foreign::AacAdts:
        // ADTS frames: a sync word like MPEG audio's, with the layer bits at zero.
        while (b.size() < n) b += QByteArray("\xFF\xF1\x50\x80\x2E\x7F\xFC", 7) + noise(361);
        return b;
    case Foreign::Mp4:
        b = QByteArray("\x00\x00\x00\x20" "ftypM4A \x00\x00\x00\x00" "M4A mp42isom\x00\x00\x00\x00", 32) + noise(n);
        return b;
    }
    return b;
}

QByteArray mp3InWave(const QByteArray& mp3) {
    const auto le32 = [](qsizetype v) {
        QByteArray b(4, '\0');
        qToLittleEndian(uint32_t(v), b.data());
        return b;
    };
    // Tag 0x55, 2 channels, 44.1 kHz, 16000 bytes a second, block 1, then MPEGLAYER3WAVEFORMAT's
    // id, flags, block size 417, 1 frame a block and the codec delay 1393.
    const QByteArray fmt = QByteArray::fromHex("5500020044ac0000803e000001000000" "0c00010002000000a10101007105");
    QByteArray chunks = "WAVEfmt " + le32(fmt.size()) + fmt + "fact" + le32(4) + le32(mp3.size() / 417 * 1152) +
                        "LIST" + le32(26) + "INFOISFT" + le32(14) + QByteArray("Lavf59.27.100", 14) + "data" +
                        le32(mp3.size()) + mp3;
    if (mp3.size() & 1) chunks += '\0';
    return "RIFF" + le32(chunks.size()) + chunks;
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read test media " + path.toStdString());
    return f.readAll();
}

int64_t decodedFrames(const QString& path) {
    mpg123_init();
    mpg123_handle* h = mpg123_new(nullptr, nullptr);
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_FORCE_STEREO | MPG123_GAPLESS, 0);
    mpg123_param(h, MPG123_RESYNC_LIMIT, -1, 0);
    mpg123_param(h, MPG123_FORCE_RATE, kRate, 0);
    mpg123_format_none(h);
    mpg123_format(h, kRate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
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

QByteArray toneWavBytes(int32_t lengthMs, double frequencyHz, int amplitude) {
    return toneWavBytes(lengthMs, frequencyHz, amplitude, 0, 0);
}

QByteArray toneWavBytes(int32_t lengthMs, double frequencyHz, int amplitude, int32_t ditherMs, int32_t fadeInMs) {
    const int64_t samples = samplesFor(lengthMs);
    const int64_t quiet = samplesFor(ditherMs);
    const int64_t fade = samplesFor(fadeInMs);
    uint32_t x = 88172645u;
    const auto dither = [&x] {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return int(x % 3) - 1;
    };
    const uint32_t dataBytes = uint32_t(samples * 4);
    QByteArray b;
    auto le32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) b += char(v >> (8 * i)); };
    auto le16 = [&](uint16_t v) { b += char(v); b += char(v >> 8); };
    b += "RIFF";
    le32(36 + dataBytes);
    b += "WAVEfmt ";
    le32(16);
    le16(1);
    le16(2);
    le32(kRate);
    le32(kRate * 4);
    le16(4);
    le16(16);
    b += "data";
    le32(dataBytes);
    for (int64_t i = 0; i < samples; ++i) {
        if (i < quiet) {
            le16(uint16_t(int16_t(dither())));
            le16(uint16_t(int16_t(dither())));
            continue;
        }
        const double gain = i - quiet < fade ? double(i - quiet) / double(fade) : 1.0;
        const auto v = uint16_t(
            int16_t(std::lround(gain * amplitude * std::sin(2.0 * M_PI * frequencyHz * double(i - quiet) / kRate))));
        le16(v);
        le16(v);
    }
    return b;
}

QString writeToneWav(const QString& path, int32_t lengthMs, double frequencyHz, int amplitude) {
    return writeBytes(path, toneWavBytes(lengthMs, frequencyHz, amplitude));
}

}  // namespace testmedia
