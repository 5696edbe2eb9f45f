#pragma once
// The three playback channels: 0 and 1 alternate for the songs, 2 only measures
// lengths. Each channel is one sound device on the hidden host form frmPlayer.
// Positions and start positions in milliseconds, lengths read in whole seconds.
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>

namespace platform {
class SoundChannel;
}

// Mode values the channels report (the multimedia device's numbers).
inline constexpr int32_t MCI_MODE_PLAY = 526;
inline constexpr int32_t MCI_MODE_PAUSE = 529;

// Channel numbers.
inline constexpr int16_t PlayerKanalA = 0;
inline constexpr int16_t PlayerKanalB = 1;
inline constexpr int16_t PlayerKanalProbe = 2;

// The file last opened successfully per channel (slot 3 has no channel).
extern std::array<QString, 4> PlayerDateien;

int32_t PlayerPosition(const int16_t& Kanal);                               // ms
void PlayerStartSetzen(const int16_t& Kanal, const int32_t& Startposition);  // ms, for the next "play"
int32_t PlayerLaenge(const int16_t& Kanal);                                 // whole seconds, half to even
int16_t PlayerStatus(const int16_t& Kanal);                                 // 2 playing, 1 paused, 0 else
// Closes the channel and opens Datei on it; any error ends it silently.
// The empty name releases the channel and leaves PlayerDatei empty.
void PlayerOeffnen(const int16_t& Kanal, const QString& Datei);
QString PlayerDatei(const int16_t& Kanal);  // 0..3, else runtime error 9
void PlayerLeer(const int16_t& Kanal, const int32_t& Wert);
void PlayerAbspielen(const int16_t& Kanal);
void PlayerPause(const int16_t& Kanal);
void PlayerStop(const int16_t& Kanal);
// Opens Datei on channel 2 and reads its length at once; 300 for a file that does not open.
int32_t LiedLaengeErmitteln(const QString& Datei);

// Hidden host of the three channel devices; never shown.
class frmPlayer : public QWidget {
    Q_OBJECT
public:
    static frmPlayer& instance();
    static bool loaded();
    // Closes the channels and destroys the instance (shut-down).
    static void unload();

    // The control array MMControl1, indexes 0..2 (other indexes: runtime error 340).
    platform::SoundChannel& MMControl1(int16_t Index);

    ~frmPlayer() override;

private:
    frmPlayer();
    std::array<std::unique_ptr<platform::SoundChannel>, 3> m_MMControl1;
};
