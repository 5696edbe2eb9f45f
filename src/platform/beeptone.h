#pragma once
// The refusal beep: a short tone made here, played through our own mixer (the
// desktop's bell is silent on most systems).
#include <cstdint>
#include <vector>

namespace platform {

// 44.1 kHz stereo 16-bit samples of the tone.
std::vector<int16_t> beepTone();
void playBeepTone();

}  // namespace platform
