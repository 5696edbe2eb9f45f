#include "platform/soundserver.h"

#include <QByteArrayList>
#include <QElapsedTimer>
#include <SDL.h>
#include <dlfcn.h>
#include <pulse/pulseaudio.h>

namespace platform {

bool sdlMayTakePulseAudio(const QByteArray& driverHint) {
    if (driverHint.isEmpty()) return true;
    for (const QByteArray& name : driverHint.split(',')) {
        const QByteArray n = name.toLower();
        if (n == "pulseaudio" || n == "pulse") return true;
    }
    return false;
}

namespace {

struct Question {
    pa_mainloop* loop = pa_mainloop_new();
    pa_context* context = nullptr;
    pa_operation* operation = nullptr;
    QElapsedTimer clock;
    int timeoutMs;
    bool answered = false;
    bool sink = false;

    explicit Question(int ms) : timeoutMs(ms) { clock.start(); }
    ~Question() {
        // Disconnecting drops a request still open: its callback never comes.
        if (operation) pa_operation_unref(operation);
        if (context) {
            pa_context_disconnect(context);
            pa_context_unref(context);
        }
        if (loop) pa_mainloop_free(loop);
    }
    Question(const Question&) = delete;
    Question& operator=(const Question&) = delete;

    // Runs the loop until done() holds; false when the time is up or the loop fails.
    template <class Done>
    bool until(Done done) {
        while (!done()) {
            const qint64 left = timeoutMs - clock.elapsed();
            if (left <= 0) return false;
            if (pa_mainloop_prepare(loop, int(left * 1000)) < 0 || pa_mainloop_poll(loop) < 0 ||
                pa_mainloop_dispatch(loop) < 0)
                return false;
        }
        return true;
    }
};

}  // namespace

SinkAnswer askForSink(int timeoutMs) {
    const char* hint = SDL_GetHint(SDL_HINT_AUDIODRIVER);
    if (!sdlMayTakePulseAudio(QByteArray(hint ? hint : ""))) return SinkAnswer::NotAsked;
    Question q(timeoutMs);
    if (!q.loop) return SinkAnswer::NotAsked;
    q.context = pa_context_new(pa_mainloop_get_api(q.loop), "Melotra");
    // No server is started for the question: where none runs, SDL goes on to its next driver.
    if (!q.context || pa_context_connect(q.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return SinkAnswer::NotAsked;
    pa_context_state_t state = PA_CONTEXT_UNCONNECTED;
    const bool settled = q.until([&] {
        state = pa_context_get_state(q.context);
        return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
    });
    if (!settled && PA_CONTEXT_IS_GOOD(state)) return SinkAnswer::NoAnswer;
    if (state != PA_CONTEXT_READY) return SinkAnswer::NotAsked;
    q.operation = pa_context_get_server_info(
        q.context,
        [](pa_context*, const pa_server_info* i, void* self) {
            auto* q = static_cast<Question*>(self);
            q->answered = true;
            // The very names SDL copies; a server always has a source once it has a sink.
            q->sink = i && i->default_sink_name && *i->default_sink_name && i->default_source_name &&
                      *i->default_source_name;
        },
        &q);
    if (!q.operation) return SinkAnswer::NotAsked;
    if (!q.until([&] { return q.answered; })) return SinkAnswer::NoAnswer;
    return q.sink ? SinkAnswer::Sink : SinkAnswer::NoSink;
}

}  // namespace platform

// SDL asks for the server's names in its own thread too: on a change of a sink or source it
// asks again, and when the last sink goes before the answer comes, SDL dies on the missing
// names while the device is open. Defined here, this comes before libpulse's for every caller
// bound at load time (Debian's SDL links libpulse): the names it passes on are at worst empty.
namespace {

struct ServerInfoCall {
    pa_server_info_cb_t callback;
    void* userdata;
};

void withNames(pa_context* c, const pa_server_info* i, void* userdata) {
    const auto* call = static_cast<const ServerInfoCall*>(userdata);
    if (!i || (i->default_sink_name && i->default_source_name)) {
        call->callback(c, i, call->userdata);
        return;
    }
    pa_server_info named = *i;
    if (!named.default_sink_name) named.default_sink_name = "";
    if (!named.default_source_name) named.default_source_name = "";
    call->callback(c, &named, call->userdata);
}

// Told when the request is done or dropped, after its callback.
void forgetCall(pa_operation* o, void* userdata) {
    if (pa_operation_get_state(o) != PA_OPERATION_RUNNING) delete static_cast<ServerInfoCall*>(userdata);
}

}  // namespace

extern "C" pa_operation* pa_context_get_server_info(pa_context* c, pa_server_info_cb_t cb, void* userdata) {
    using Real = pa_operation* (*)(pa_context*, pa_server_info_cb_t, void*);
    static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "pa_context_get_server_info"));
    if (!real) return nullptr;
    if (!cb) return real(c, cb, userdata);
    auto* call = new ServerInfoCall{cb, userdata};
    pa_operation* o = real(c, &withNames, call);
    if (!o) {
        delete call;
        return nullptr;
    }
    pa_operation_set_state_callback(o, &forgetCall, call);
    return o;
}
