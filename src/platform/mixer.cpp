#include "platform/mixer.h"

#include "platform/clock.h"

#include <QFile>
#include <SDL.h>
#include <algorithm>
#include <cstring>

namespace platform {

namespace {
constexpr int kDeviceFrames = 1024;
constexpr int kChunkFrames = 4096;
}  // namespace

// The click sound: plays its samples once.
class Mixer::OneShot : public MixVoice {
public:
    std::vector<int16_t> pcm;
    size_t pos = 0;
    void mixInto(int32_t* acc, int frames) override {
        const size_t n = std::min(pcm.size() - pos, size_t(frames) * 2);
        for (size_t i = 0; i < n; ++i) acc[i] += pcm[pos + i];
        pos += n;
    }
    void hush() override {
        pcm.clear();
        pos = 0;
    }
};

Mixer& Mixer::instance() {
    // Never destroyed: the device thread may still call in while the program ends.
    static Mixer* m = new Mixer;
    return *m;
}

Mixer::Mixer() : oneShot_(new OneShot) { voices_.push_back(oneShot_); }

Mixer::~Mixer() {
    closeDevice();
    delete oneShot_;
}

void Mixer::add(MixVoice* v) {
    std::lock_guard g(mutex_);
    voices_.push_back(v);
}

void Mixer::remove(MixVoice* v) {
    std::lock_guard g(mutex_);
    voices_.erase(std::remove(voices_.begin(), voices_.end(), v), voices_.end());
}

bool Mixer::openDevice() {
    switch (askForSink_ ? askForSink_() : askForSink()) {
    case SinkAnswer::NoSink:
        reason_ = QStringLiteral("Der Tonserver (PulseAudio) hat kein Ausgabegerät.");
        return false;
    case SinkAnswer::NoAnswer:
        reason_ = QStringLiteral("Der Tonserver (PulseAudio) antwortet nicht.");
        return false;
    case SinkAnswer::NotAsked:
    case SinkAnswer::Sink:
        break;
    }
    // SIGINT and SIGTERM belong to the program's own shut-down, not to SDL's quit event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        reason_ = QString::fromUtf8(SDL_GetError());
        return false;
    }
    SDL_AudioSpec want{};
    SDL_AudioSpec have{};
    want.freq = kMixRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kDeviceFrames;
    want.callback = &Mixer::deviceCallback;
    want.userdata = this;
    // No changes allowed: SDL converts to whatever the hardware wants.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
        reason_ = QString::fromUtf8(SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void Mixer::closeDevice() {
    if (device_ == 0) return;
    // Not under our lock: closing waits for a running callback, which takes it.
    SDL_CloseAudioDevice(device_);
    device_ = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void Mixer::ensureOutput() {
    if (!chosen_) select(AudioOutput::Device);
}

void Mixer::select(AudioOutput kind) {
    closeDevice();
    std::lock_guard g(mutex_);
    chosen_ = true;
    wanted_ = kind;
    kind_ = kind;
    lastTick_ = tickCount();
    silentMs_ = 0;
    silentFrames_ = 0;
    openWanted();
}

void Mixer::openWanted() {
    bool open = true;
    if (wanted_ == AudioOutput::Device) open = openDevice();
    if (wanted_ == AudioOutput::Test) open = testDevicePresent_;
    if (open) {
        kind_ = wanted_;
        if (missing_) {
            missing_ = false;
            report(true);
        }
        return;
    }
    standIn();
}

void Mixer::standIn() {
    kind_ = AudioOutput::Silent;
    missing_ = true;
    nextTry_ = tickCount() + kRetryMs;
    report(false);
}

bool Mixer::outputLost() const {
    if (missing_ || kind_ != wanted_) return false;
    // SDL marks a device that failed (server gone, card pulled) stopped; it never pauses ours.
    if (kind_ == AudioOutput::Device) return device_ != 0 && SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED;
    return kind_ == AudioOutput::Test && !testDevicePresent_;
}

std::unique_lock<std::recursive_mutex> Mixer::upToNow() {
    std::unique_lock g(mutex_);
    if (outputLost()) {
        // The songs stand where the lost device left them; silence keeps time from here.
        reason_ = QStringLiteral("Das Tongerät ist während der Wiedergabe ausgefallen.");
        lastTick_ = tickCount();
        silentMs_ = 0;
        silentFrames_ = 0;
        standIn();
        // Closing waits for the device's callback, which takes the lock.
        g.unlock();
        closeDevice();
        g.lock();
    }
    catchUp();
    return g;
}

void Mixer::report(bool working) {
    if (report_) report_(working, working ? QString() : reason_);
}

void Mixer::setOutputReport(OutputReport r) {
    std::lock_guard g(mutex_);
    report_ = std::move(r);
    if (missing_) report(false);
}

void Mixer::catchUp() {
    if (kind_ != AudioOutput::Silent) return;
    const uint32_t t = tickCount();
    const int32_t elapsed = int32_t(t - lastTick_);
    lastTick_ = t;
    if (elapsed > 0) {  // otherwise the clock was replaced: start from here
        silentMs_ += uint64_t(elapsed);
        const uint64_t target = uint64_t(framesForMs(int64_t(silentMs_)));
        while (silentFrames_ < target) {
            const int n = int(std::min<uint64_t>(kChunkFrames, target - silentFrames_));
            scratch_.resize(size_t(n) * 2);
            render(scratch_.data(), n);
            silentFrames_ += uint64_t(n);
        }
    }
    // The songs stand where the time has brought them: a device that comes now goes on from there.
    if (missing_ && int32_t(t - nextTry_) >= 0) openWanted();
}

void Mixer::render(int16_t* out, int frames) {
    acc_.assign(size_t(frames) * 2, 0);
    for (MixVoice* v : voices_) v->mixInto(acc_.data(), frames);
    for (size_t i = 0; i < acc_.size(); ++i) out[i] = int16_t(std::clamp(acc_[i], -32768, 32767));
}

void Mixer::deviceCallback(void* self, uint8_t* stream, int len) {
    auto* m = static_cast<Mixer*>(self);
    std::lock_guard g(m->mutex_);
    int16_t* out = reinterpret_cast<int16_t*>(stream);
    // A lost device SDL still calls until it is closed: the silent output has taken over.
    if (m->kind_ != AudioOutput::Device) {
        std::memset(stream, 0, size_t(len));
        return;
    }
    const int frames = len / 4;
    for (int done = 0; done < frames;) {
        const int n = std::min(kChunkFrames, frames - done);
        m->render(out + size_t(done) * 2, n);
        done += n;
    }
}

void Mixer::playOneShot(std::vector<int16_t> pcm) {
    ensureOutput();
    const auto g = upToNow();
    oneShot_->pcm = std::move(pcm);
    oneShot_->pos = 0;
}

void Mixer::reset() {
    select(AudioOutput::Silent);
    std::lock_guard g(mutex_);
    for (MixVoice* v : voices_) v->hush();
}

namespace {
// The WAV file as 44.1 kHz stereo 16-bit samples; empty when it cannot be read.
std::vector<int16_t> loadWav(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = f.readAll();
    SDL_AudioSpec wavFormat{};
    uint8_t* buf = nullptr;
    uint32_t len = 0;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.constData(), int(bytes.size()));
    if (!rw || !SDL_LoadWAV_RW(rw, 1, &wavFormat, &buf, &len)) return {};
    std::vector<int16_t> out;
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, wavFormat.format, wavFormat.channels, wavFormat.freq, AUDIO_S16SYS, 2, kMixRate) >= 0) {
        std::vector<uint8_t> work(size_t(len) * size_t(std::max(cvt.len_mult, 1)));
        if (len) std::memcpy(work.data(), buf, len);
        cvt.buf = work.data();
        cvt.len = int(len);
        if (cvt.needed == 0 || SDL_ConvertAudio(&cvt) == 0) {
            const int outLen = cvt.needed ? cvt.len_cvt : int(len);
            out.resize(size_t(outLen) / 2);
            std::memcpy(out.data(), work.data(), out.size() * 2);
        }
    }
    SDL_FreeWAV(buf);
    return out;
}
}  // namespace

void playSoundAsync(const QString& path) {
    std::vector<int16_t> pcm = loadWav(path);
    if (!pcm.empty()) Mixer::instance().playOneShot(std::move(pcm));
}

TestAudioOutput::TestAudioOutput(bool present) {
    Mixer& m = Mixer::instance();
    {
        std::lock_guard g(m.lock());
        m.testDevicePresent_ = present;
    }
    m.select(AudioOutput::Test);
}

void TestAudioOutput::plugIn() {
    Mixer& m = Mixer::instance();
    std::lock_guard g(m.lock());
    m.testDevicePresent_ = true;
}

void TestAudioOutput::unplug() {
    Mixer& m = Mixer::instance();
    std::lock_guard g(m.lock());
    m.testDevicePresent_ = false;
}

TestAudioOutput::~TestAudioOutput() {
    // Afterwards silence that follows the tick counter; tests never open the device.
    Mixer& m = Mixer::instance();
    {
        std::lock_guard g(m.lock());
        m.testDevicePresent_ = true;
    }
    m.select(AudioOutput::Silent);
}

std::vector<int16_t> TestAudioOutput::pull(int64_t ms) {
    ms_ += uint64_t(ms);
    const int64_t target = framesForMs(int64_t(ms_));
    return pullFrames(target - int64_t(frames_));
}

std::vector<int16_t> TestAudioOutput::pullFrames(int64_t frames) {
    std::vector<int16_t> out(size_t(std::max<int64_t>(frames, 0)) * 2);
    Mixer& m = Mixer::instance();
    std::lock_guard g(m.lock());
    // A card that was found pulled plays nothing: the silent output has the songs.
    const int64_t heard = m.kind_ == AudioOutput::Test ? frames : 0;
    for (int64_t done = 0; done < heard;) {
        const int n = int(std::min<int64_t>(kChunkFrames, heard - done));
        m.render(out.data() + size_t(done) * 2, n);
        done += n;
    }
    frames_ += uint64_t(std::max<int64_t>(frames, 0));
    return out;
}

TestSoundServer::TestSoundServer(bool sink) : sink_(sink) {
    Mixer& m = Mixer::instance();
    {
        std::lock_guard g(m.lock());
        m.askForSink_ = [this] {
            ++asked_;
            return sink_ ? SinkAnswer::Sink : SinkAnswer::NoSink;
        };
    }
    m.select(AudioOutput::Device);
}

void TestSoundServer::loadSink() {
    std::lock_guard g(Mixer::instance().lock());
    sink_ = true;
}

int TestSoundServer::asked() const {
    std::lock_guard g(Mixer::instance().lock());
    return asked_;
}

TestSoundServer::~TestSoundServer() {
    Mixer& m = Mixer::instance();
    m.select(AudioOutput::Silent);
    std::lock_guard g(m.lock());
    m.askForSink_ = nullptr;
}

}  // namespace platform
