#include "platform/sound.h"

#include "platform/mp3layout.h"
#include "platform/runtime.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <mpg123.h>

namespace platform {

namespace {
constexpr size_t kBufferValues = 4096 * 2;
constexpr int64_t kReadAheadBytes = 4096;

void initDecoder() {
    static const bool done = [] {
        mpg123_init();
        return true;
    }();
    (void)done;
}

// Where a frame does not follow the one before, libmpg123 once searched this far for the
// next; the channels' decoders search on to the end (see newDecoder).
constexpr int64_t kNearSearchBytes = 1024;
// Frames found further away count when this many follow one another, or reach the end.
constexpr int kRunFrames = 8;

// Walks every frame without decoding it, to the end of the audio, which it sets in span:
// past a download's gap of zeros, but not into noise after the audio, where the search
// finds a frame header now and then and no run of frames. Songs joined of parts at
// different sample rates (an encoder picks a lower one for a low bit rate) count each frame
// at its own rate: the decoder's own count takes every frame for one of the first.
int64_t walkedLength(mpg123_handle* h, AudioSpan& span) {
    using Samples = std::map<long, int64_t>;  // per sample rate
    Samples samples;
    Samples found;      // frames after a far search, until their run is long enough
    int foundRun = -1;  // their number, -1 for none
    mpg123_frameinfo fi{};
    // The first frame, which reading the format has taken already.
    if (mpg123_info(h, &fi) != MPG123_OK) return 0;
    samples[fi.rate] += mpg123_spf(h);
    int64_t next = int64_t(mpg123_framepos(h)) + fi.framesize;  // where the next frame belongs
    int64_t end = next;                                         // of the frames counted
    const auto take = [&] {
        for (const auto& [rate, n] : found) samples[rate] += n;
        found.clear();
        foundRun = -1;
        end = next;
    };
    bool noise = false;
    int r;
    for (;;) {
        r = mpg123_framebyframe_next(h);
        if (r != MPG123_OK && r != MPG123_NEW_FORMAT) break;
        if (mpg123_info(h, &fi) != MPG123_OK || fi.rate <= 0) continue;
        const int64_t at = mpg123_framepos(h);
        if (foundRun >= 0 && at != next) {
            noise = true;
            break;
        }
        if (at > next + kNearSearchBytes) foundRun = 0;
        next = at + fi.framesize;
        (foundRun >= 0 ? found : samples)[fi.rate] += mpg123_spf(h);
        if (foundRun < 0 || ++foundRun == kRunFrames) take();
    }
    if (r == MPG123_DONE && foundRun >= 0) take();  // frames up to the end
    noise = noise || foundRun >= 0;
    // One rate, walked to the end: the decoder's count, which knows the frames now and
    // takes a gapless header into account.
    int64_t length = mpg123_length(h);
    if (samples.size() > 1 || r != MPG123_DONE || noise) {
        double sum = 0;
        for (const auto& [rate, n] : samples) sum += double(n) * kMixRate / double(rate);
        length = std::llround(sum);
    }
    if (noise) span.end = std::min(span.end, span.start + end);
    return mpg123_seek(h, 0, SEEK_SET) >= 0 ? length : 0;
}

// The decoder's length in frames at the mixer's rate, 0 for none: from the Info/Xing
// header when it agrees with the file (gapless: encoder delay and padding taken off),
// from the audio bytes when the bit rate is constant, else by walking the file.
int64_t lengthOf(mpg123_handle* h, const mp3::Layout& layout, AudioSpan& span) {
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    // Reads up to the first audio frame, the Info/Xing frame included.
    if (mpg123_getformat(h, &rate, &channels, &encoding) != MPG123_OK) return 0;
    switch (mp3::lengthWay(layout)) {
    case mp3::LengthWay::Header:
        if (mpg123_framelength(h) == layout.headerFrames) return mpg123_length(h);
        break;  // the decoder took another header than the one checked
    case mp3::LengthWay::Bytes:
        return mp3::samplesFromBytes(layout) * kMixRate / layout.first.rate;
    case mp3::LengthWay::Walk:
        break;
    }
    return walkedLength(h, span);
}

// Milliseconds as the channel reports them: a song of more than 24 days (a file of
// gigabytes at a low bit rate) reads as the longest time there is, not as negative.
int32_t msOf(int64_t frames) { return int32_t(std::min<int64_t>(msForFrames(frames), INT32_MAX)); }

ssize_t readAt(int fd, void* buf, int64_t n, int64_t at) {
    ssize_t got;
    do {
        got = ::pread(fd, buf, size_t(n), off_t(at));
    } while (got < 0 && errno == EINTR);
    return got;
}

// The decoder reads the audio that the layout found and nothing around it: searching
// for a frame in the junk or the samples before it, it would take noise for frames.
mpg123_ssize_t readSpan(void* handle, void* buf, size_t n) {
    auto& s = *static_cast<AudioSpan*>(handle);
    const int64_t want = std::min<int64_t>(int64_t(n), s.end - s.start - s.pos);
    if (want <= 0) return 0;
    if (want >= kReadAheadBytes) {
        const ssize_t got = readAt(s.fd, buf, want, s.start + s.pos);
        if (got > 0) s.pos += got;
        return got;
    }
    if (s.pos < s.aheadAt || s.pos + want > s.aheadAt + s.aheadLen) {
        s.ahead.resize(size_t(kReadAheadBytes));
        const int64_t fill = std::min(kReadAheadBytes, s.end - s.start - s.pos);
        const ssize_t got = readAt(s.fd, s.ahead.data(), fill, s.start + s.pos);
        s.aheadAt = s.pos;
        s.aheadLen = std::max<ssize_t>(got, 0);
        if (got <= 0) return got;
    }
    const int64_t got = std::min(want, s.aheadAt + s.aheadLen - s.pos);
    std::memcpy(buf, s.ahead.data() + (s.pos - s.aheadAt), size_t(got));
    s.pos += got;
    return got;
}

off_t seekSpan(void* handle, off_t offset, int whence) {
    auto& s = *static_cast<AudioSpan*>(handle);
    const int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? s.pos : s.end - s.start;
    if ((whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) || base + offset < 0) {
        errno = EINVAL;
        return -1;
    }
    s.pos = base + offset;
    return off_t(s.pos);
}

mpg123_handle* newDecoder() {
    initDecoder();
    mpg123_handle* h = mpg123_new(nullptr, nullptr);
    if (!h) return nullptr;
    mpg123_replace_reader_handle(h, readSpan, seekSpan, nullptr);
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_FORCE_STEREO | MPG123_GAPLESS | MPG123_SKIP_ID3V2, 0);
    // Through a gap of any size, as common players play an incomplete download.
    mpg123_param(h, MPG123_RESYNC_LIMIT, -1, 0);
    mpg123_param(h, MPG123_FORCE_RATE, kMixRate, 0);
    mpg123_format_none(h);
    mpg123_format(h, kMixRate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    return h;
}
}  // namespace

// Opens path on h, delivering 44.1 kHz stereo 16 bit with its exact length
// known. Raises 53 for a missing file, 5 for one without playable audio.
void SoundChannel::Decoder::open(const QString& path) {
    // Without blocking: a pipe or a device is refused as soon as it is open.
    fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) raise(errno == ENOENT || errno == ENOTDIR || errno == ELOOP ? 53 : 5);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close();
        raise(53);
    }
    // A file without frames near its start is no song: refused before the decoder
    // would search it byte by byte.
    const mp3::Layout layout = mp3::readLayout(fd, st.st_size);
    if (layout.audio && !h) h = newDecoder();
    if (layout.audio && h) {
        span.fd = fd;
        span.start = layout.start;
        span.end = layout.end;
        span.pos = span.aheadAt = span.aheadLen = 0;
        // A song of a single frame has no next one to confirm it by; the layout has vetted it.
        const bool oneFrame = layout.first.kbps && layout.end - layout.start <= layout.first.bytes;
        mpg123_param(h, oneFrame ? MPG123_ADD_FLAGS : MPG123_REMOVE_FLAGS, MPG123_NO_READAHEAD, 0);
        if (mpg123_open_handle(h, &span) == MPG123_OK) {
            // Never more than the bytes hold at the lowest bit rate, 8 kbit/s: one ms a byte.
            frames = std::min<int64_t>(lengthOf(h, layout, span), framesForMs(st.st_size));
            if (frames > 0) return;
        }
    }
    close();
    raise(5);
}

void SoundChannel::Decoder::close() {
    if (h) mpg123_close(h);  // the handle stays for the next file
    if (fd >= 0) ::close(fd);
    fd = -1;
    frames = 0;
}

SoundChannel::Decoder::~Decoder() {
    close();
    if (h) mpg123_delete(h);
}

SoundChannel::SoundChannel() : buf_(kBufferValues) { Mixer::instance().add(this); }

SoundChannel::~SoundChannel() {
    Mixer::instance().remove(this);
    close();
}

void SoundChannel::setFileName(const QString& path) {
    std::lock_guard g(Mixer::instance().lock());
    fileName_ = path;
}

QString SoundChannel::fileName() const {
    std::lock_guard g(Mixer::instance().lock());
    return fileName_;
}

void SoundChannel::setFrom(int32_t ms) {
    std::lock_guard g(Mixer::instance().lock());
    from_ = std::max<int64_t>(framesForMs(ms), 0);
}

void SoundChannel::command(const QString& cmd) {
    const QString c = cmd.toLower();
    if (c == QLatin1String("open")) return open();
    const auto g = Mixer::instance().upToNow();
    if (c == QLatin1String("close")) {
        close();
    } else if (c == QLatin1String("play")) {
        play();
    } else if (c == QLatin1String("pause")) {
        if (mode_ == kModePlaying) mode_ = kModePaused;
    } else if (c == QLatin1String("stop")) {
        if (mode_ == kModePlaying || mode_ == kModePaused) mode_ = kModeStopped;
    } else {
        raise(5);
    }
}

void SoundChannel::open() {
    const QString path = fileName();
    {
        std::lock_guard g(Mixer::instance().lock());
        close();
    }
    if (path.isEmpty()) return;
    std::unique_ptr<Decoder> d;
    {
        std::lock_guard g(Mixer::instance().lock());
        d = std::move(spare_);
    }
    if (!d) d = std::make_unique<Decoder>();
    try {
        d->open(path);  // outside the lock: some files are walked whole
    } catch (...) {
        std::lock_guard g(Mixer::instance().lock());
        spare_ = std::move(d);
        throw;
    }
    Mixer& m = Mixer::instance();
    m.ensureOutput();
    const auto g = m.upToNow();
    close();
    decoder_ = std::move(d);
    handle_ = decoder_->h;
    lengthFrames_ = decoder_->frames;
    mode_ = kModeStopped;
}

void SoundChannel::close() {
    if (decoder_) {
        decoder_->close();
        spare_ = std::move(decoder_);
    }
    handle_ = nullptr;
    mode_ = kModeNotOpen;
    lengthFrames_ = 0;
    consumed_ = 0;
    from_ = -1;
    bufPos_ = bufLen_ = 0;
}

void SoundChannel::play() {
    if (!handle_) return;
    if (from_ >= 0) {
        const off_t at = mpg123_seek(handle_, off_t(std::min(from_, lengthFrames_)), SEEK_SET);
        // A stray stream can seek past the length it scanned to: the end is the end.
        if (at >= 0) consumed_ = std::min<int64_t>(at, lengthFrames_);
        bufPos_ = bufLen_ = 0;
        from_ = -1;
    }
    mode_ = consumed_ < lengthFrames_ ? kModePlaying : kModeStopped;
}

void SoundChannel::finish() {
    // The end test of the play loop compares position with length: keep them equal.
    consumed_ = lengthFrames_;
    mode_ = kModeStopped;
}

int32_t SoundChannel::position() {
    const auto g = Mixer::instance().upToNow();
    return msOf(consumed_);
}

int32_t SoundChannel::length() {
    std::lock_guard g(Mixer::instance().lock());
    return msOf(lengthFrames_);
}

int32_t SoundChannel::mode() {
    const auto g = Mixer::instance().upToNow();
    return mode_;
}

void SoundChannel::hush() {
    if (mode_ == kModePlaying || mode_ == kModePaused) mode_ = kModeStopped;
}

void SoundChannel::mixInto(int32_t* acc, int frames) {
    int newFormats = 0;
    while (frames > 0 && mode_ == kModePlaying) {
        if (bufPos_ == bufLen_) {
            size_t done = 0;
            const int r = mpg123_read(handle_, reinterpret_cast<unsigned char*>(buf_.data()), buf_.size() * 2, &done);
            if (done == 0) {
                if (r == MPG123_NEW_FORMAT && ++newFormats < 4) continue;
                finish();  // end of file, or a broken rest of it
                return;
            }
            bufPos_ = 0;
            bufLen_ = done / 2;
        }
        const int64_t n = std::min<int64_t>({frames, int64_t(bufLen_ - bufPos_) / 2, lengthFrames_ - consumed_});
        const int16_t* src = buf_.data() + bufPos_;
        for (int64_t i = 0; i < n * 2; ++i) acc[i] += src[i];
        acc += n * 2;
        frames -= int(n);
        bufPos_ += size_t(n) * 2;
        consumed_ += n;
        if (consumed_ >= lengthFrames_) finish();
        else if (n == 0) bufPos_ = bufLen_;  // an odd byte left over: read on
    }
}

}  // namespace platform
