// The sound server asked before SDL is let at it: only where SDL would take PulseAudio, never
// waiting long, and SDL's own question for the server's names answered by the program's.
#include "platform/soundserver.h"
#include "support/testenv.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <cstring>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pulse/introspect.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

TEST(SoundServer, AskedOnlyWhereSdlWouldTakePulseAudio) {
    for (const char* hint : {"", "pulseaudio", "pulse", "PulseAudio", "alsa,pulse", ",pulse"})
        EXPECT_TRUE(platform::sdlMayTakePulseAudio(hint)) << hint;
    for (const char* hint : {"dummy", "disk", "alsa", "pipewire", "pulseau", " pulse", "dummy,"})
        EXPECT_FALSE(platform::sdlMayTakePulseAudio(hint)) << hint;
    // The tests' own dummy driver: nothing is asked, SDL opens as it always did.
    EXPECT_EQ(platform::askForSink(), platform::SinkAnswer::NotAsked);
}

// The variables libpulse and SDL read, set for the test and restored after it.
class ServerAt {
public:
    explicit ServerAt(const QString& socket) {
        qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
        qputenv("SDL_AUDIODRIVER", "pulseaudio");
    }
    ~ServerAt() {
        qunsetenv("PULSE_SERVER");
        qputenv("SDL_AUDIODRIVER", "dummy");
    }
    ServerAt(const ServerAt&) = delete;
    ServerAt& operator=(const ServerAt&) = delete;
};

TEST(SoundServer, NoServerLeavesItToSdlAndOneThatDoesNotAnswerIsGivenUpSoon) {
    const QString dir = testenv::freshFolder(QStringLiteral("pulse"));
    {
        const ServerAt none(dir + QStringLiteral("/none"));
        EXPECT_EQ(platform::askForSink(), platform::SinkAnswer::NotAsked);
    }
    // A server that takes the connection and says nothing, as a stopped one does.
    const QByteArray path = (dir + QStringLiteral("/mute")).toUtf8();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(size_t(path.size()), sizeof addr.sun_path);
    std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(fd, 4), 0);
    {
        const ServerAt mute(QString::fromUtf8(path));
        QElapsedTimer t;
        t.start();
        EXPECT_EQ(platform::askForSink(100), platform::SinkAnswer::NoAnswer);
        EXPECT_GE(t.elapsed(), 90);
        EXPECT_LT(t.elapsed(), 1000);
    }
    ::close(fd);
}

// SDL's backend finds the function by the global lookup of a library linked to libpulse: the
// program's definition must be the one found, or SDL copies missing names.
TEST(SoundServer, SdlAsksTheProgramForTheServersNames) {
    void* found = dlsym(RTLD_DEFAULT, "pa_context_get_server_info");
    EXPECT_EQ(found, reinterpret_cast<void*>(&pa_context_get_server_info));
    EXPECT_NE(dlsym(RTLD_NEXT, "pa_context_get_server_info"), nullptr);
}

}  // namespace
