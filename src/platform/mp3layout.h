#pragma once
// Where an MP3 file's audio lies and what its frame headers tell, found with a few
// small reads: the tags at both ends, the first frames, an Info/Xing header and
// frame headers sampled over the whole file. The channel takes a song's length
// from this without reading the file through whenever it can, and its decoder
// reads no byte outside the audio found here.
#include <cstdint>
#include <optional>

namespace platform::mp3 {

// One MPEG audio frame header (Layer I, II or III of MPEG 1, 2 or 2.5).
struct Frame {
    int version = 0;  // 10 (MPEG 1), 20 (MPEG 2) or 25 (MPEG 2.5)
    int layer = 0;    // 1 to 3
    int kbps = 0;     // 0: free format, its size unknown
    int rate = 0;     // Hz
    bool padded = false;
    bool mono = false;
    int bytes = 0;    // the whole frame, header included (0 in free format)
    int samples = 0;  // per channel
    bool sameStream(const Frame& o) const { return version == o.version && layer == o.layer && rate == o.rate; }
    // The average size of frames at this bit rate when the encoder pads as the
    // standard says; without padding frames stay at the size rounded down.
    double meanBytes(bool padding) const;
};
// The header of the 4 bytes at p, if they are one.
std::optional<Frame> frameAt(const uint8_t* p);

struct Layout {
    bool audio = false;  // frames that follow one another behind the leading tags
    int64_t start = 0;   // the first frame
    int64_t end = 0;     // the file without its trailing tags (ID3v1, APE, Lyrics3)
    Frame first;
    // An Info/Xing header in the first frame; its counts, -1 where it has none.
    bool header = false;
    int64_t headerFrames = -1;
    int64_t headerBytes = -1;
    // Frame headers sampled over the file.
    // Every sample found its frames, all at one bit rate and, without a header, each
    // where the first frame's size puts it.
    bool constant = false;
    bool paddingSeen = false;
    int minBytes = 0;
    int maxBytes = 0;
};
// Reads what the layout says from the open file fd of size bytes.
Layout readLayout(int fd, int64_t size);

enum class LengthWay {
    Header,  // the Info/Xing header's count agrees with the file
    Bytes,   // constant bit rate: the audio bytes over the frame size
    Walk,    // anything else is walked frame by frame
};
LengthWay lengthWay(const Layout& l);
// For LengthWay::Bytes: the samples (per channel, at the stream's rate) the audio holds.
int64_t samplesFromBytes(const Layout& l);

}  // namespace platform::mp3
