#include "catalogue/modPlayer.h"

#include "platform/runtime.h"
#include "platform/sound.h"

std::array<QString, 4> PlayerDateien;

namespace {
frmPlayer* g_frmPlayer = nullptr;

platform::SoundChannel& channel(const int16_t& Kanal) { return frmPlayer::instance().MMControl1(Kanal); }
}  // namespace

frmPlayer::frmPlayer() {
    setObjectName(QStringLiteral("frmPlayer"));
    for (auto& c : m_MMControl1) c = std::make_unique<platform::SoundChannel>();
}

frmPlayer::~frmPlayer() {
    if (g_frmPlayer == this) g_frmPlayer = nullptr;
}

frmPlayer& frmPlayer::instance() {
    if (!g_frmPlayer) g_frmPlayer = new frmPlayer;
    return *g_frmPlayer;
}

bool frmPlayer::loaded() { return g_frmPlayer != nullptr; }

void frmPlayer::unload() { delete g_frmPlayer; }

platform::SoundChannel& frmPlayer::MMControl1(int16_t Index) {
    if (Index < 0 || Index >= int16_t(m_MMControl1.size())) platform::raise(340);
    return *m_MMControl1[size_t(Index)];
}

int32_t PlayerPosition(const int16_t& Kanal) { return channel(Kanal).position(); }

void PlayerStartSetzen(const int16_t& Kanal, const int32_t& Startposition) { channel(Kanal).setFrom(Startposition); }

int32_t PlayerLaenge(const int16_t& Kanal) {
    return int32_t(platform::roundHalfEven(channel(Kanal).length() / 1000.0));
}

int16_t PlayerStatus(const int16_t& Kanal) {
    switch (channel(Kanal).mode()) {
    case MCI_MODE_PLAY: return 2;
    case MCI_MODE_PAUSE: return 1;
    default: return 0;
    }
}

void PlayerOeffnen(const int16_t& Kanal, const QString& Datei) {
    try {
        platform::SoundChannel& c = channel(Kanal);
        c.command(QStringLiteral("close"));
        c.setFileName(Datei);  // the full path: no short names needed here
        try {
            c.command(QStringLiteral("open"));
        } catch (const std::exception&) {
            // The channel is closed now: it must not go on naming the file it had.
            PlayerDateien[size_t(Kanal)].clear();
            return;
        }
        PlayerDateien[size_t(Kanal)] = Datei;
    } catch (const std::exception&) {
    }
}

QString PlayerDatei(const int16_t& Kanal) {
    if (Kanal < 0 || Kanal >= int16_t(PlayerDateien.size())) platform::raise(9);
    return PlayerDateien[size_t(Kanal)];
}

void PlayerLeer(const int16_t&, const int32_t&) {}

void PlayerAbspielen(const int16_t& Kanal) { channel(Kanal).command(QStringLiteral("play")); }

void PlayerPause(const int16_t& Kanal) { channel(Kanal).command(QStringLiteral("pause")); }

void PlayerStop(const int16_t& Kanal) { channel(Kanal).command(QStringLiteral("stop")); }

int32_t LiedLaengeErmitteln(const QString& Datei) {
    const int16_t probe = PlayerKanalProbe;
    PlayerOeffnen(probe, Datei);
    // The channel knows the length to the millisecond when "open" returns: a song
    // shorter than half a second reads 0 s and is measured all the same. A file that
    // did not open never reports a length, so there is nothing to wait for.
    if (channel(probe).mode() == platform::kModeNotOpen) return 300;
    return PlayerLaenge(probe);
}
