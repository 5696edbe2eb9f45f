#pragma once
// Test media written by the tests themselves: MP3 files of an exact length,
// with or without an ID3v1 tag, broken ones, real tones, and WAV clicks.
//
// Silent MP3s are MPEG-1 Layer III, 44.1 kHz, stereo, constant bit rate. The
// first frame is an "Info" frame with a LAME tag whose encoder delay and padding
// trim the stream to an exact number of samples, so the decoder reports exactly
// samplesFor(lengthMs) samples and the length in milliseconds (samples * 1000 /
// 44100, rounded down) is lengthMs exactly, for any length from 1 ms. The audio
// frames hold all-zero side information and decode to silence.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace testmedia {

inline constexpr int kRate = 44100;
inline constexpr int kSamplesPerFrame = 1152;

// Samples a file of lengthMs must hold so that it reads back as lengthMs.
int64_t samplesFor(int32_t lengthMs);

// ID3v1 tag fields. title/artist are cut or zero-padded to 30 bytes (Latin-1);
// raw fields, when set, are used byte for byte (cut/zero-padded to 30).
struct Id3v1 {
    QString title;
    QString artist;
    uint8_t genre = 255;
    std::optional<QByteArray> rawTitle;
    std::optional<QByteArray> rawArtist;
    QByteArray album;    // 30 bytes, zero-padded
    QByteArray year;     // 4 bytes
    QByteArray comment;  // 30 bytes
};
// The 128 bytes of the tag ("TAG" + fields).
QByteArray id3v1Bytes(const Id3v1& tag);

struct SilentOptions {
    int bitrateKbps = 128;       // any MPEG-1 Layer III bit rate (32..320)
    bool gaplessHeader = true;   // false: plain frames, length = frames * 1152 samples
    std::optional<Id3v1> tag;    // appended as the last 128 bytes
};

// Writes a silent MP3 of exactly lengthMs (see above); returns path. Creates folders.
QString writeSilentMp3(const QString& path, int32_t lengthMs, const SilentOptions& opt = {});
QString writeSilentMp3(const QString& path, int32_t lengthMs, const Id3v1& tag);
// The bytes of such a file (no tag).
QByteArray silentMp3Bytes(int32_t lengthMs, int bitrateKbps = 128, bool gaplessHeader = true);
// Plain frames without header: exactly frames * 1152 samples.
QString writeSilentFrames(const QString& path, int frames, const SilentOptions& opt = {});

// Broken files: random-looking garbage of n bytes (no MPEG sync), a file of n
// bytes shorter than a tag (n < 128), and the first n bytes of a valid file.
QString writeGarbage(const QString& path, int n, uint32_t seed = 1);
QString writeShortFile(const QString& path, int n);
QString writeTruncatedMp3(const QString& path, int32_t lengthMs, int keepBytes);
// Any bytes.
QString writeBytes(const QString& path, const QByteArray& bytes);
// The AppleDouble file a Mac writes beside a song on a foreign disk ("._Lied.mp3"):
// 4096 bytes, magic 00 05 16 07, the Finder info and an empty resource fork.
QString writeAppleDouble(const QString& path);

// A real sine tone encoded with LAME (44.1 kHz stereo, CBR, with its gapless
// tag: decodes to exactly samplesFor(lengthMs) samples, lossy in value).
// amplitude 0..32767 for both channels.
QString writeToneMp3(const QString& path, int32_t lengthMs, double frequencyHz, int amplitude,
                     int bitrateKbps = 128, const std::optional<Id3v1>& tag = std::nullopt);

// A tone encoded with LAME as the options say: CBR or VBR, with or without the
// Info/Xing frame (without it the decoder gives the whole frames, delay and
// padding included), optionally behind an ID3v2 tag padded with NULs.
struct LameOptions {
    int bitrateKbps = 128;         // CBR only
    bool vbr = false;
    bool infoHeader = true;
    int sampleRate = kRate;        // of the stream; the tone is resampled to it
    bool freeFormat = false;       // frames of the bit rate without its header index
    int id3v2PaddingBytes = -1;    // -1: no ID3v2 tag
    std::optional<Id3v1> tag;
};
QString writeLameMp3(const QString& path, int32_t lengthMs, double frequencyHz, int amplitude, const LameOptions& opt);

// Songs as common taggers leave them: an ID3v2.3 tag (title and artist frames,
// zero padding) in front of the audio and an ID3v1 tag at the end whose text fields
// are NUL-padded and whose genre byte is 255 ("none").
struct TaggerStyle {
    QString title;
    QString artist;
    bool id3v2 = true;
    bool id3v1 = true;
    uint8_t genre = 255;
};
// The ID3v2.3 tag with a TIT2 and a TPE1 frame (Latin-1) and padding zero bytes.
QByteArray id3v2Bytes(const QString& title, const QString& artist, int padding = 512);
QString writeTaggerStyleMp3(const QString& path, int32_t lengthMs, const TaggerStyle& t);

// An ID3v2.3 tag holding a title and a JPEG cover picture (APIC) of pictureBytes.
QByteArray id3v2WithPicture(const QString& title, int pictureBytes);
// Sets the frame count of the Info/Xing header in mp3 (the file's bytes).
void setHeaderFrames(QByteArray& mp3, uint32_t frames);

// Files named .mp3 that hold other audio, as renamed downloads do: the first
// bytes of each format followed by n bytes of its kind of data.
enum class Foreign { Wav, Flac, Ogg, AacAdts, Mp4 };
QByteArray foreignAudioBytes(Foreign kind, int n);

// An MP3 stored in RIFF/WAVE as ffmpeg -f wav and Windows tools write it: format tag 0x55
// (MPEG Layer III), a fact and a LIST chunk, the stream in the data chunk.
QByteArray mp3InWave(const QByteArray& mp3);
QByteArray readBytes(const QString& path);

// Stereo samples at 44.1 kHz that decoding every frame of path delivers, the
// decoder set up as the channels set it up (gapless), as common players decode a file:
// on through a gap of any length.
int64_t decodedFrames(const QString& path);

// 16-bit PCM WAV, 44.1 kHz stereo, sine tone.
QByteArray toneWavBytes(int32_t lengthMs, double frequencyHz, int amplitude);
// The same as exports and recorders leave it: the tone begins after ditherMs of
// near-silence (samples of -1, 0 and 1, as dither leaves them) and swells in over fadeInMs.
QByteArray toneWavBytes(int32_t lengthMs, double frequencyHz, int amplitude, int32_t ditherMs, int32_t fadeInMs);
QString writeToneWav(const QString& path, int32_t lengthMs, double frequencyHz, int amplitude);

}  // namespace testmedia
