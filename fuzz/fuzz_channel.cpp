// A playback channel over any bytes: opened, played a few thousand frames through
// the mixer (under its lock, as the device thread pulls), sought, closed. ASan and
// LeakSanitizer watch the decoder; the length is never negative.
#include "fuzz_support.h"
#include "platform/mixer.h"
#include "platform/runtime.h"
#include "platform/sound.h"

namespace {

platform::TestAudioOutput& output() {
    static platform::TestAudioOutput out;  // no device: the target pulls by hand
    return out;
}

void checkLength(platform::SoundChannel& ch, size_t size) {
    if (ch.length() < 0) fuzzsupport::finding("negative length");
    if (int64_t(ch.length()) > int64_t(size))
        fuzzsupport::finding("longer than the bytes hold:", QStringLiteral("%1 ms of %2 bytes").arg(ch.length()).arg(size));
    if (ch.position() < 0) fuzzsupport::finding("negative position");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::init();
    output();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzzsupport::writeFile(QStringLiteral("channel.mp3"), data, size);
    platform::SoundChannel ch;
    ch.setFileName(path);
    try {
        ch.command(QStringLiteral("open"));
    } catch (const platform::RuntimeError&) {
        // Not playable: the channel stays closed and says so.
        checkLength(ch, size);
        if (ch.length() != 0 || ch.mode() != platform::kModeNotOpen) fuzzsupport::finding("a failed open left a song");
        return 0;
    }
    checkLength(ch, size);
    ch.command(QStringLiteral("play"));
    output().pullFrames(3000);
    checkLength(ch, size);
    // Sought somewhere (the last byte picks where) and played on past the end.
    const int32_t len = ch.length();
    const int32_t from = size ? int32_t(int64_t(len) * data[size - 1] / 200) : 0;
    ch.setFrom(from);
    ch.command(QStringLiteral("play"));
    output().pullFrames(3000);
    checkLength(ch, size);
    if (ch.position() > ch.length())
        fuzzsupport::finding("position past the length:", QStringLiteral("%1 > %2 ms, from %3 ms")
                                                              .arg(ch.position()).arg(ch.length()).arg(from));
    ch.command(QStringLiteral("pause"));
    ch.command(QStringLiteral("close"));
    checkLength(ch, size);
    return 0;
}
