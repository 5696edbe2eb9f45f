#include "platform/endsignals.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int g_pipe[2] = {-1, -1};
bool g_requested = false;
QSocketNotifier* g_notifier = nullptr;
std::function<void()>& onEndRequest() {
    static std::function<void()> f;
    return f;
}

extern "C" void onEndSignal(int) {
    // Only async-signal-safe calls here; a full pipe already holds a pending request.
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

void serveEndRequest() {
    char buf[64];
    while (::read(g_pipe[0], buf, sizeof buf) > 0) {
    }
    if (onEndRequest()) onEndRequest()();
}

}  // namespace

void catchEndRequests(std::function<void()> onEnd) {
    onEndRequest() = std::move(onEnd);
    if (g_pipe[0] < 0) {
        if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
        g_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(g_notifier, &QSocketNotifier::activated, [] { serveEndRequest(); });
#ifndef QT_NO_SESSIONMANAGER
        if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QObject::connect(app, &QGuiApplication::commitDataRequest, [](QSessionManager&) {
                if (onEndRequest()) onEndRequest()();
            });
#endif
    }
    struct sigaction sa {};
    sa.sa_handler = &onEndSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : kSignals) ::sigaction(s, &sa, nullptr);
}

void releaseEndRequests() {
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    for (int s : kSignals) ::sigaction(s, &sa, nullptr);
    onEndRequest() = nullptr;
    g_requested = false;
}

bool endRequested() { return g_requested; }
void markEndRequested() { g_requested = true; }

}  // namespace platform
