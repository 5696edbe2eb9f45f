#pragma once
// A playback channel device: string commands "open", "close", "play", "pause" and
// "stop", a file name and a start position to set, position, length (ms) and mode
// to read. Decodes MP3 by the full path and plays through the shared mixer.
#include "platform/mixer.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

struct mpg123_handle_struct;

namespace platform {

// Mode values as the multimedia device reports them.
inline constexpr int32_t kModeNotOpen = 524;
inline constexpr int32_t kModeStopped = 525;
inline constexpr int32_t kModePlaying = 526;
inline constexpr int32_t kModePaused = 529;

// The part of an open file that holds its audio, as a channel's decoder reads it.
struct AudioSpan {
    int fd = -1;
    int64_t start = 0;
    int64_t end = 0;
    int64_t pos = 0;  // from start
    // The decoder reads a frame's header and body apart and, searching for a frame,
    // byte by byte: small reads come from bytes read ahead.
    std::vector<uint8_t> ahead;
    int64_t aheadAt = 0;  // from start
    int64_t aheadLen = 0;
};

class SoundChannel : public MixVoice {
public:
    SoundChannel();
    ~SoundChannel() override;
    SoundChannel(const SoundChannel&) = delete;
    SoundChannel& operator=(const SoundChannel&) = delete;

    void setFileName(const QString& path);
    QString fileName() const;
    // The position the next "play" starts from (ms).
    void setFrom(int32_t ms);
    // "open" of a file that cannot be played raises error 53 (missing) or 5;
    // "open" of the empty name leaves the channel closed. Commands on a closed
    // channel do nothing; an unknown command raises error 5.
    void command(const QString& cmd);

    int32_t position();  // ms
    int32_t length();    // ms; known as soon as "open" returns
    int32_t mode();

    void mixInto(int32_t* acc, int frames) override;
    void hush() override;

private:
    void open();
    void close();
    void play();
    void finish();

    // An open file with its decoder; kept after a close for the next open, since
    // setting a decoder up costs more than reading a length from a header.
    struct Decoder {
        mpg123_handle_struct* h = nullptr;
        int fd = -1;
        AudioSpan span;
        int64_t frames = 0;
        void open(const QString& path);
        void close();
        ~Decoder();
    };

    QString fileName_;
    std::unique_ptr<Decoder> decoder_;
    std::unique_ptr<Decoder> spare_;
    mpg123_handle_struct* handle_ = nullptr;
    int32_t mode_ = kModeNotOpen;
    int64_t lengthFrames_ = 0;
    int64_t consumed_ = 0;   // frames handed to the output
    int64_t from_ = -1;      // pending start position in frames
    std::vector<int16_t> buf_;
    size_t bufPos_ = 0;      // in values (2 per frame)
    size_t bufLen_ = 0;
};

}  // namespace platform
