#include "platform/beeptone.h"

#include "platform/mixer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform {
namespace {
constexpr double kHz = 880.0;
constexpr int kMs = 150;
constexpr int kFadeMs = 10;  // soft edges: no click at start and end
constexpr double kLevel = 0.3 * 32767;
}  // namespace

std::vector<int16_t> beepTone() {
    const int frames = static_cast<int>(framesForMs(kMs));
    const int fade = static_cast<int>(framesForMs(kFadeMs));
    std::vector<int16_t> pcm(size_t(frames) * 2);
    for (int i = 0; i < frames; ++i) {
        const double edge = std::min({1.0, double(i) / fade, double(frames - 1 - i) / fade});
        const double v = kLevel * edge * std::sin(2 * std::numbers::pi * kHz * i / kMixRate);
        pcm[size_t(i) * 2] = pcm[size_t(i) * 2 + 1] = static_cast<int16_t>(std::lrint(v));
    }
    return pcm;
}

void playBeepTone() { Mixer::instance().playOneShot(beepTone()); }

}  // namespace platform
