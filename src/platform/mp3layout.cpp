#include "platform/mp3layout.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace platform::mp3 {

namespace {

// Junk a decoder passes over before the first frame; beyond it a file is no song.
constexpr int64_t kSearchBytes = 64 * 1024;
// The first read; it holds kRunFrames frames at the usual bit rates.
constexpr int64_t kFirstRead = 16 * 1024;
// Audio starts where this many frames follow one another, or where frames follow one
// another up to the end: the samples of other formats (dither, a fade-in) hold single
// frame headers by chance, and now and then one that points at another.
constexpr int kRunFrames = 8;
// A free-format frame's size is only known from where its header comes again, and noise
// repeats a few bytes at short distances: a run of such frames must also cover this many
// bytes, so that small frames (8 kbit/s at 8 kHz takes 72 bytes) need more of them.
constexpr int64_t kFreeRunBytes = 768;
constexpr int kFreeMaxBytes = 2900;
// A Lyrics3 v1 tag, which stands before an ID3v1 tag, holds at most this many bytes of text.
constexpr int64_t kLyrics1Bytes = 5100;
// With an Info/Xing header the frame sizes are sampled in this many windows of this size.
constexpr int kWindows = 12;
constexpr int64_t kWindowBytes = 4096;
// Without one, a window every few seconds of audio, each of a few frames: a part at
// another bit rate that lasts longer than that shows in a window.
constexpr int kDenseSeconds = 4;
constexpr int kDenseMaxWindows = 256;
constexpr int kDenseWindowFrames = 3;
// Smaller files are walked: that reads no more than the samples would.
constexpr int64_t kBytesFrom = 2 * kWindows * kWindowBytes;

constexpr int kKbps[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
};
constexpr int kRates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};

int64_t readAt(int fd, int64_t pos, uint8_t* buf, int64_t n) {
    if (pos < 0 || n <= 0) return 0;
    ssize_t got;
    do {
        got = ::pread(fd, buf, size_t(n), off_t(pos));
    } while (got < 0 && errno == EINTR);
    return got < 0 ? 0 : int64_t(got);
}

uint32_t be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
uint32_t le32(const uint8_t* p) { return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]; }

// The size of an ID3v2 tag at p (10 bytes), 0 if there is none.
int64_t id3v2Size(const uint8_t* p) {
    if (std::memcmp(p, "ID3", 3) != 0 || p[3] == 0xff || p[4] == 0xff) return 0;
    if ((p[6] | p[7] | p[8] | p[9]) & 0x80) return 0;
    const int64_t body = int64_t(p[6]) << 21 | int64_t(p[7]) << 14 | int64_t(p[8]) << 7 | p[9];
    return 10 + body + ((p[5] & 0x10) ? 10 : 0);
}

// The size of a tag that ends at end (ID3v1, APEv2, Lyrics3 v1 and v2), 0 if none does.
int64_t trailingTagSize(int fd, int64_t floor, int64_t end) {
    // The last 128 bytes at most, read once: each kind of tag ends in its own mark.
    uint8_t last[128];
    const int64_t k = std::min<int64_t>(128, end - floor);
    if (k <= 0 || readAt(fd, end - k, last, k) != k) return 0;
    const uint8_t* b = last + k;  // the end
    if (k == 128 && std::memcmp(last, "TAG", 3) == 0) return 128;
    if (k >= 32 && std::memcmp(b - 32, "APETAGEX", 8) == 0) {
        const int64_t n = int64_t(le32(b - 20)) + ((le32(b - 12) & 0x80000000u) ? 32 : 0);
        if (n >= 32 && end - n >= floor) return n;
    }
    if (k >= 15 && std::memcmp(b - 9, "LYRICS200", 9) == 0) {
        int64_t n = 0;
        for (const uint8_t* d = b - 15; d < b - 9; ++d) {
            if (*d < '0' || *d > '9') return 0;
            n = n * 10 + (*d - '0');
        }
        if (end - 15 - n >= floor) return n + 15;
    }
    if (k >= 9 && std::memcmp(b - 9, "LYRICSEND", 9) == 0) {
        const int64_t from = std::max(floor, end - 9 - kLyrics1Bytes - 11);
        std::vector<uint8_t> text(size_t(end - 9 - from));
        const int64_t n = readAt(fd, from, text.data(), int64_t(text.size()));
        for (int64_t i = n - 11; i >= 0; --i)
            if (std::memcmp(text.data() + i, "LYRICSBEGIN", 11) == 0) return end - from - i;
    }
    return 0;
}

// The first run of frames in buf (bytes from base on, the audio ending at end): a
// frame whose successor follows where its size says, or that reaches the end. Its
// offset in buf, or -1.
int64_t findRun(const uint8_t* buf, int64_t n, int64_t base, int64_t end, const Frame* like) {
    for (int64_t q = 0; q + 4 <= n; ++q) {
        const std::optional<Frame> f = frameAt(buf + q);
        if (!f || f->kbps == 0 || (like && !f->sameStream(*like))) continue;
        const int64_t next = q + f->bytes;
        if (base + next >= end) {
            if (q == 0) return q;  // a song of one frame, or cut inside its first
            continue;
        }
        if (next + 4 > n) continue;
        const std::optional<Frame> g = frameAt(buf + next);
        if (!g || g->kbps == 0 || !g->sameStream(*f)) continue;
        const int64_t third = next + g->bytes;
        if (base + third < end && third + 4 <= n) {
            const std::optional<Frame> h = frameAt(buf + third);
            if (!h || !h->sameStream(*f)) continue;
        }
        return q;
    }
    return -1;
}

// A RIFF/WAVE file whose format is MPEG audio (ffmpeg and Windows tools write an MP3 so,
// format tag 0x55, or 0x50 for Layers I and II) holds the stream in its data chunk: its
// bytes [from, to). False for any other RIFF, samples of a renamed WAV among them.
bool riffMpegData(int fd, int64_t size, int64_t& from, int64_t& to) {
    uint8_t c[10];
    if (readAt(fd, 0, c, 4) != 4 || readAt(fd, 8, c + 4, 4) != 4) return false;
    if (std::memcmp(c, "RIFF", 4) != 0 || std::memcmp(c + 4, "WAVE", 4) != 0) return false;
    bool mpeg = false;
    int64_t at = 12;
    for (int i = 0; i < 64 && readAt(fd, at, c, 8) == 8; ++i) {
        const int64_t n = le32(c + 4);
        if (std::memcmp(c, "fmt ", 4) == 0) {
            if (n < 2 || readAt(fd, at + 8, c + 8, 2) != 2) return false;
            const int tag = c[8] | c[9] << 8;
            mpeg = tag == 0x55 || tag == 0x50;
            if (!mpeg) return false;
        } else if (std::memcmp(c, "data", 4) == 0) {
            from = at + 8;
            // A writer that never came back to fill the size in leaves 0 or all ones.
            to = n == 0 || n == 0xffffffff ? size : std::min(size, from + n);
            return mpeg && from < to;
        }
        at += 8 + n + (n & 1);
    }
    return false;
}

// Other formats renamed .mp3 (RIFF/WAVE, FLAC, Ogg, MP4) are never MPEG audio, whatever
// their samples look like.
bool foreignFormat(const uint8_t* p, int64_t n) {
    if (n < 12) return false;
    for (const char* magic : {"RIFF", "RIFX", "RF64", "fLaC", "OggS"})
        if (std::memcmp(p, magic, 4) == 0) return true;
    return std::memcmp(p + 4, "ftyp", 4) == 0;
}

// The header bits that stay the same from frame to frame of a free-format stream:
// all but the padding bit, the private bit and the mode extension.
bool sameFreeHeader(const uint8_t* a, const uint8_t* b) {
    return a[0] == b[0] && a[1] == b[1] && (a[2] & 0xfc) == (b[2] & 0xfc) && (a[3] & 0xc0) == (b[3] & 0xc0);
}

int slotBytes(const Frame& f) { return f.layer == 1 ? 4 : 1; }

// Layer III side information, which follows the header (and its CRC).
int sideInfoBytes(const Frame& f) { return f.version == 10 ? (f.mono ? 17 : 32) : (f.mono ? 9 : 17); }

// A frame holds its header, its CRC and, in Layer III, its side information.
int leastFrameBytes(const Frame& f, const uint8_t* header) {
    return 4 + ((header[1] & 1) ? 0 : 2) + (f.layer == 3 ? sideInfoBytes(f) : 0);
}

// 1 when the bytes from at in buf to the end of the audio (end - base) are zeros, 0 when
// they are not, -1 when they are as far as buf goes and it ends before the audio does.
int zerosToEnd(const uint8_t* buf, int64_t n, int64_t base, int64_t at, int64_t end) {
    const int64_t stop = std::min(n, end - base);
    for (int64_t i = at; i < stop; ++i)
        if (buf[i]) return 0;
    return stop < end - base ? -1 : 1;
}

// Counts the frames that follow one another from q in buf (bytes from base on, the
// audio ending at end): 1 when they do kRunFrames times or reach the end, 0 when the
// chain breaks, -1 when it runs out of buf first.
int framesFollow(const uint8_t* buf, int64_t n, int64_t base, int64_t q, int64_t dataStart, int64_t end) {
    const std::optional<Frame> first = q + 4 <= n ? frameAt(buf + q) : std::nullopt;
    if (!first) return 0;
    int free = 0;  // the unpadded size of a free-format frame
    if (first->kbps == 0) {
        for (int64_t r = q + 4; r + 4 <= n && r <= q + kFreeMaxBytes; ++r) {
            if (!sameFreeHeader(buf + q, buf + r)) continue;
            free = int(r - q) - (first->padded ? slotBytes(*first) : 0);
            break;
        }
        if (free == 0) return q + kFreeMaxBytes + 4 > n ? -1 : 0;
        if (free < leastFrameBytes(*first, buf + q)) return 0;
    }
    int64_t at = q;
    for (int count = 1;; ++count) {
        const std::optional<Frame> f = frameAt(buf + at);
        const int bytes = free ? free + (f->padded ? slotBytes(*f) : 0) : f->bytes;
        at += bytes;
        // The tag of a song joined on is passed over, as a decoder passes over it.
        if (base + at < end && at + 10 <= n) at += id3v2Size(buf + at);
        // A song of one frame, or cut inside its first, is taken only where the data begins.
        if (base + at >= end) return count > 1 || base + q == dataStart ? 1 : 0;
        if (count >= kRunFrames && (!free || at - q >= kFreeRunBytes)) return 1;
        if (at + 4 > n) return -1;
        // Songs joined of parts at other rates go on in frames of another stream.
        const std::optional<Frame> g = frameAt(buf + at);
        if (g && (free ? sameFreeHeader(buf + q, buf + at) : g->kbps != 0)) continue;
        // A jingle of a few frames where the data begins, and nothing but zeros after it
        // (a download's padding).
        return count > 1 && base + q == dataStart ? zerosToEnd(buf, n, base, at, end) : 0;
    }
}

// Where the audio starts in buf (bytes from pos on, n of them read so far; read on up to
// its size as needed): the first frame from which frames follow one another. -1 for none.
int64_t findStart(int fd, std::vector<uint8_t>& buf, int64_t& n, int64_t pos, int64_t end) {
    for (int64_t r = 0;;) {
        for (; r + 4 <= n; ++r) {
            if (!frameAt(buf.data() + r)) continue;
            int follow = framesFollow(buf.data(), n, pos, r, pos, end);
            if (follow < 0 && n < int64_t(buf.size())) break;  // read on, then look at r again
            if (follow < 0) {
                // A run that begins near the end of the search: followed in a read of its own.
                std::vector<uint8_t> more(size_t(2 * kFirstRead));
                const int64_t m = readAt(fd, pos + r, more.data(), std::min(int64_t(more.size()), end - pos - r));
                follow = framesFollow(more.data(), m, pos + r, 0, pos, end);
            }
            if (follow > 0) return r;
        }
        if (n >= int64_t(buf.size())) return -1;
        const int64_t got = readAt(fd, pos + n, buf.data() + n, int64_t(buf.size()) - n);
        if (got <= 0) return -1;
        n += got;
    }
}

void readHeader(Layout& l, const uint8_t* f, int64_t n) {
    if (l.first.layer != 3) return;
    const int at = 4 + sideInfoBytes(l.first);
    if (at + 16 > n || (std::memcmp(f + at, "Xing", 4) != 0 && std::memcmp(f + at, "Info", 4) != 0)) return;
    l.header = true;
    const uint32_t flags = be32(f + at + 4);
    int o = at + 8;
    if (flags & 1) {
        l.headerFrames = be32(f + o);
        o += 4;
    }
    if (flags & 2) l.headerBytes = be32(f + o);
}

// Walks the frames of each window; any window without its run of frames, or with a
// break in it, makes the file one to walk. Without an Info/Xing header the windows lie a
// few seconds apart, and every frame must sit where the first frame's size puts it: a tag,
// a gap or a part at another bit rate before a window moves its frames off that grid.
void sample(Layout& l, int fd) {
    const int64_t span = l.end - l.start;
    const int slot = slotBytes(l.first);
    int windows = kWindows;
    int64_t size = kWindowBytes;
    if (!l.header) {
        const double seconds = double(span) * 8 / (l.first.kbps * 1000.0);
        windows = std::clamp(int(seconds / kDenseSeconds) + 2, kWindows, kDenseMaxWindows);
        size = kDenseWindowFrames * int64_t(l.first.bytes + slot) + 4;
    }
    std::vector<uint8_t> buf(static_cast<size_t>(size));
    std::vector<int64_t> at;  // where the frames were found, from the first frame on
    bool constant = true;
    int64_t last = -1;
    for (int i = 0; i < windows && (constant || l.header); ++i) {
        const int64_t off = l.start + (span > size ? (span - size) * i / (windows - 1) : 0);
        if (off == last) continue;
        last = off;
        const int64_t n = readAt(fd, off, buf.data(), std::min(size, l.end - off));
        int64_t q = findRun(buf.data(), n, off, l.end, &l.first);
        // In a stream of one bit rate a window begins within a frame.
        if (q < 0 || (!l.header && q > l.first.bytes + slot)) {
            constant = false;
            continue;
        }
        while (q + 4 <= n) {
            const std::optional<Frame> f = frameAt(buf.data() + q);
            if (!f || f->kbps == 0 || !f->sameStream(l.first)) {
                constant = false;
                break;
            }
            if (f->kbps != l.first.kbps) constant = false;
            l.paddingSeen |= f->padded;
            l.minBytes = l.minBytes ? std::min(l.minBytes, f->bytes) : f->bytes;
            l.maxBytes = std::max(l.maxBytes, f->bytes);
            at.push_back(off + q - l.start);
            q += f->bytes;
        }
    }
    if (constant && !l.header) {
        // Padding keeps each frame less than a slot away from its place on the grid.
        const double mean = l.first.meanBytes(l.paddingSeen);
        for (const int64_t a : at)
            if (std::abs(double(a) - std::nearbyint(double(a) / mean) * mean) > slot) constant = false;
    }
    l.constant = constant && l.first.kbps != 0;
}

}  // namespace

double Frame::meanBytes(bool padding) const {
    const double slot = layer == 1 ? 4.0 : 1.0;
    const double perSlot = (layer == 1 ? 12000.0 : (layer == 3 && version != 10) ? 72000.0 : 144000.0) * kbps / rate;
    return slot * (padding ? perSlot : std::floor(perSlot));
}

std::optional<Frame> frameAt(const uint8_t* p) {
    if (p[0] != 0xff || (p[1] & 0xe0) != 0xe0) return std::nullopt;
    const int v = (p[1] >> 3) & 3;
    const int layerBits = (p[1] >> 1) & 3;
    const int bi = p[2] >> 4;
    const int ri = (p[2] >> 2) & 3;
    if (v == 1 || layerBits == 0 || bi == 15 || ri == 3) return std::nullopt;
    Frame f;
    f.version = v == 3 ? 10 : v == 2 ? 20 : 25;
    f.layer = 4 - layerBits;
    f.kbps = kKbps[v == 3 ? 0 : 1][f.layer - 1][bi];
    f.rate = kRates[v == 3 ? 0 : v == 2 ? 1 : 2][ri];
    f.padded = (p[2] >> 1) & 1;
    f.mono = (p[3] >> 6) == 3;
    f.samples = f.layer == 1 ? 384 : (f.layer == 3 && f.version != 10) ? 576 : 1152;
    if (f.kbps) {
        if (f.layer == 1) f.bytes = (12000 * f.kbps / f.rate + (f.padded ? 1 : 0)) * 4;
        else f.bytes = (f.layer == 3 && f.version != 10 ? 72000 : 144000) * f.kbps / f.rate + (f.padded ? 1 : 0);
    }
    return f;
}

Layout readLayout(int fd, int64_t size) {
    Layout l;
    // Leading ID3v2 tags are skipped by their size, pictures and all.
    int64_t pos = 0;
    uint8_t head[10];
    bool riff = false;
    for (int i = 0; i < 8 && readAt(fd, pos, head, 10) == 10; ++i) {
        if (i == 0) riff = std::memcmp(head, "RIFF", 4) == 0;
        const int64_t n = id3v2Size(head);
        if (!n) break;
        pos += n;
    }
    if (pos >= size) return l;
    l.end = size;
    // An MP3 in RIFF/WAVE: the data chunk is the stream, the chunks around it are not.
    if (int64_t from = 0, to = 0; riff && riffMpegData(fd, size, from, to)) {
        pos = from;
        l.end = to;
    }
    for (int i = 0; i < 8; ++i) {
        const int64_t n = trailingTagSize(fd, pos, l.end);
        if (!n) break;
        l.end -= n;
    }

    std::vector<uint8_t> buf(size_t(std::min(kSearchBytes, l.end - pos)));
    int64_t n = readAt(fd, pos, buf.data(), std::min(kFirstRead, int64_t(buf.size())));
    if (foreignFormat(buf.data(), n)) return l;
    int64_t q = findStart(fd, buf, n, pos, l.end);
    if (q < 0) return l;
    // The Info/Xing header lies within the first frame's first 200 bytes.
    if (q + 200 > n) {
        n = readAt(fd, pos + q, buf.data(), std::min<int64_t>(int64_t(buf.size()), l.end - pos - q));
        pos += q;
        q = 0;
    }
    const std::optional<Frame> first = n - q >= 4 ? frameAt(buf.data() + q) : std::nullopt;
    if (!first) return l;  // the file changed meanwhile
    l.audio = true;
    l.start = pos + q;
    l.first = *first;
    readHeader(l, buf.data() + q, n - q);
    if (l.first.kbps) sample(l, fd);
    return l;
}

LengthWay lengthWay(const Layout& l) {
    const int64_t audio = l.end - l.start;
    if (l.header) {
        // Trusted only when its bytes are the file's audio (not the first of joined
        // files, not a cut download) and its frames are of a size the file has.
        if (l.headerFrames <= 0 || l.headerBytes <= 0) return LengthWay::Walk;
        if (std::llabs(l.headerBytes - audio) > std::max(l.maxBytes, l.first.bytes)) return LengthWay::Walk;
        // The count leaves the header's own frame out.
        const bool sized = l.headerBytes >= l.headerFrames * (l.minBytes - 1) &&
                           l.headerBytes <= (l.headerFrames + 1) * (l.maxBytes + 1);
        return sized ? LengthWay::Header : LengthWay::Walk;
    }
    return l.constant && audio >= kBytesFrom ? LengthWay::Bytes : LengthWay::Walk;
}

int64_t samplesFromBytes(const Layout& l) {
    return std::llround(double(l.end - l.start) / l.first.meanBytes(l.paddingSeen)) * l.first.samples;
}

}  // namespace platform::mp3
