#pragma once
// The PulseAudio server that SDL's audio would talk to, asked before SDL is let at it.
// SDL's PulseAudio backend (2.26, as Debian builds it) copies the server's default sink and
// source names without looking: a server without any sink has neither, and SDL dies inside
// SDL_InitSubSystem. So the sound device is opened only once the server says it has a sink.
#include <QByteArray>

namespace platform {

enum class SinkAnswer {
    NotAsked,  // SDL will not take PulseAudio (another driver named, or no server runs)
    Sink,
    NoSink,
    NoAnswer,  // a server that does not answer in time: SDL would wait for it for ever
};

// Whether SDL may take its PulseAudio backend with this SDL_AUDIODRIVER value: unset or empty,
// or a comma list naming it ("pulseaudio" or "pulse", in any letter case).
bool sdlMayTakePulseAudio(const QByteArray& driverHint);

inline constexpr int kSinkAnswerMs = 250;
// Asks on the calling thread, waiting at most timeoutMs; a server that answers takes a few ms.
SinkAnswer askForSink(int timeoutMs = kSinkAnswerMs);

}  // namespace platform
