#pragma once
// One audio output for the whole program: every playing sound channel and the
// asynchronous click sound are added up (int16 saturation) and fed to it.
// The output is the sound device (SDL, 44.1 kHz stereo 16 bit); without a device
// a silent output consumes at the pace of tickCount(); tests pull by hand.
// A device that cannot be opened (a USB card plugged in late, a sound server not up
// yet), or that goes away while it plays (a card pulled, a sound server restarted), is
// tried again every few seconds; meanwhile the silent output keeps the songs going as
// if heard, so that the queue and its start times stay true, and the device takes over
// from where each song then stands. A PulseAudio server without any sink counts as a
// missing device: SDL is not let at it (see soundserver.h).
#include "platform/soundserver.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace platform {

inline constexpr int kMixRate = 44100;

enum class AudioOutput { Device, Silent, Test };

// A source the mixer pulls from (called with the mixer's lock held).
class MixVoice {
public:
    virtual ~MixVoice() = default;
    // Adds up to frames stereo frames to acc (2 values per frame).
    virtual void mixInto(int32_t* acc, int frames) = 0;
    // Falls silent at once (lock held).
    virtual void hush() = 0;
};

class Mixer {
public:
    static Mixer& instance();

    // The lock every voice's state lives under (the device thread takes it too).
    std::recursive_mutex& lock() { return mutex_; }
    void add(MixVoice* v);
    void remove(MixVoice* v);

    // Opens the output when none is chosen yet: the device, or silence without one.
    void ensureOutput();
    void select(AudioOutput kind);
    AudioOutput output() const { return kind_; }
    // Told on the user-interface thread whether the chosen output works: false when it
    // could not be opened or went away, and after each attempt again that failed; true
    // once it opens.
    // Installed while the output is missing, it is told so at once.
    using OutputReport = std::function<void(bool working, const QString& reason)>;
    void setOutputReport(OutputReport r);
    static constexpr uint32_t kRetryMs = 3000;
    // On the user-interface thread, without the lock: notices an output that went away,
    // lets the silent output consume what the tick counter says has passed, and tries a
    // missing output again when that is due. Returns the lock, held.
    std::unique_lock<std::recursive_mutex> upToNow();
    // Mixes frames into out (2 values per frame). Lock held.
    void render(int16_t* out, int frames);

    // Asynchronous WAV playback; a new sound replaces the one still playing.
    void playOneShot(std::vector<int16_t> pcm);

    // Silence from here on: every voice hushed, the click sound dropped, the silent
    // output's clock starting anew. Tests begin with it, so no sound of one reaches the next.
    void reset();

private:
    friend class TestAudioOutput;
    friend class TestSoundServer;
    Mixer();
    ~Mixer();
    void closeDevice();
    bool openDevice();
    // Opens the wanted output; on failure the silent output stands in until a retry works.
    void openWanted();
    void catchUp();  // lock held
    // The silent output stands in from here on, and the wanted one is tried again later.
    void standIn();
    bool outputLost() const;
    void report(bool working);
    static void deviceCallback(void* self, uint8_t* stream, int len);

    std::recursive_mutex mutex_;
    std::vector<MixVoice*> voices_;
    std::vector<int32_t> acc_;
    std::vector<int16_t> scratch_;
    AudioOutput kind_ = AudioOutput::Device;
    AudioOutput wanted_ = AudioOutput::Device;
    bool missing_ = false;      // the wanted output could not be opened
    uint32_t nextTry_ = 0;
    QString reason_;
    OutputReport report_;
    bool testDevicePresent_ = true;
    std::function<SinkAnswer()> askForSink_;  // a test's in place of the server's
    bool chosen_ = false;
    uint32_t device_ = 0;
    // Silent output clock.
    uint32_t lastTick_ = 0;
    uint64_t silentMs_ = 0;
    uint64_t silentFrames_ = 0;
    class OneShot;
    OneShot* oneShot_;
};

// Milliseconds to frames: the smallest count that reads back as ms.
inline int64_t framesForMs(int64_t ms) { return (ms * kMixRate + 999) / 1000; }
inline int64_t msForFrames(int64_t frames) { return frames * 1000 / kMixRate; }

// Plays a WAV file without waiting for it (a missing or unreadable file plays nothing).
void playSoundAsync(const QString& path);

// For tests: while it exists the mixer feeds no device; the test pulls mixed samples.
// Made absent, it fails to open like a missing sound device until plugIn(); unplug()
// takes it away as a card pulled mid-song. Pulls while it is not the output give silence.
class TestAudioOutput {
public:
    explicit TestAudioOutput(bool present = true);
    void plugIn();
    void unplug();
    ~TestAudioOutput();
    TestAudioOutput(const TestAudioOutput&) = delete;
    TestAudioOutput& operator=(const TestAudioOutput&) = delete;
    // Pulls ms of output (frames follow the total pulled time exactly).
    std::vector<int16_t> pull(int64_t ms);
    std::vector<int16_t> pullFrames(int64_t frames);

private:
    uint64_t ms_ = 0;
    uint64_t frames_ = 0;
};

// For tests: while it exists the device is the real one (SDL's dummy driver in tests), and the
// mixer asks this, not the sound server, whether there is a sink before it lets SDL open it.
// Afterwards the silent output follows the tick counter again.
class TestSoundServer {
public:
    explicit TestSoundServer(bool sink);
    void loadSink();
    int asked() const;
    ~TestSoundServer();
    TestSoundServer(const TestSoundServer&) = delete;
    TestSoundServer& operator=(const TestSoundServer&) = delete;

private:
    bool sink_;
    int asked_ = 0;
};

}  // namespace platform
