#include "platform/sound.h"

#include "platform/runtime.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <mpg123.h>

namespace platform {

namespace {
constexpr size_t kBufferValues = 4096 * 2;

void initDecoder() {
    static const bool done = [] {
        mpg123_init();
        return true;
    }();
    (void)done;
}

// A decoder for path that delivers 44.1 kHz stereo 16 bit with the exact
// length already scanned; nullptr when the file holds no playable audio.
mpg123_handle* openDecoder(const QString& path, int64_t& frames) {
    initDecoder();
    mpg123_handle* h = mpg123_new(nullptr, nullptr);
    if (!h) return nullptr;
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_FORCE_STEREO, 0);
    mpg123_param(h, MPG123_FORCE_RATE, kMixRate, 0);
    mpg123_format_none(h);
    mpg123_format(h, kMixRate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(h, QFile::encodeName(path).constData()) == MPG123_OK && mpg123_scan(h) == MPG123_OK) {
        frames = mpg123_length(h);
        if (frames > 0) return h;
    }
    mpg123_delete(h);
    return nullptr;
}
}  // namespace

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
    Mixer& m = Mixer::instance();
    std::lock_guard g(m.lock());
    m.catchUp();
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
    if (!QFileInfo(path).isFile()) raise(53);
    int64_t frames = 0;
    mpg123_handle* h = openDecoder(path, frames);  // outside the lock: scanning takes a moment
    if (!h) raise(5);
    Mixer& m = Mixer::instance();
    m.ensureOutput();
    std::lock_guard g(m.lock());
    m.catchUp();
    close();
    handle_ = h;
    lengthFrames_ = frames;
    mode_ = kModeStopped;
}

void SoundChannel::close() {
    if (handle_) mpg123_delete(handle_);
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
    Mixer& m = Mixer::instance();
    std::lock_guard g(m.lock());
    m.catchUp();
    return int32_t(msForFrames(consumed_));
}

int32_t SoundChannel::length() {
    std::lock_guard g(Mixer::instance().lock());
    return int32_t(msForFrames(lengthFrames_));
}

int32_t SoundChannel::mode() {
    Mixer& m = Mixer::instance();
    std::lock_guard g(m.lock());
    m.catchUp();
    return mode_;
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
