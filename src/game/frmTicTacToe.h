#pragma once
// Tic-tac-toe for two guests on a board of smiley cells. Yellow begins, the first
// complete line wins. The game closes itself after 20 seconds without a tap, so an
// abandoned game hands the kiosk back to the main screen.
// A game is created for each showing and destroyed after its modal loop.
#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>

class Funbutton;
class ctlSmilie;
namespace platform {
class VbTimer;
}

class frmTicTacToe : public QDialog {
    Q_OBJECT
public:
    // Loads a fresh game, shows it modally and returns once it has closed.
    static void Anzeigen(QWidget* parent = nullptr);
    // The game being shown, or nullptr.
    static frmTicTacToe* current();
    static bool visible();

    // Tests: receives the loaded and shown game in place of the modal loop; the game is
    // destroyed when the hook returns.
    using ShowHook = std::function<void(frmTicTacToe&)>;
    static void setShowHook(ShowHook hook);

    ~frmTicTacToe() override;

    // Mark colours.
    static constexpr int32_t Gelb = 0x00FFFF;
    static constexpr int32_t Gruen = 0x00FF00;
    static constexpr int32_t GelbBlass = 0xA0FFFF;
    static constexpr int32_t GruenBlass = 0xA0FFA0;

    // ---- controls ----
    std::array<ctlSmilie*, 9> ctlSmilie1{};  // index = row * 3 + column
    std::array<QWidget*, 8> Shape1{};        // 0-3 board lines, 4-7 frame
    Funbutton* cmdNeu = nullptr;
    Funbutton* cmdEnde = nullptr;
    platform::VbTimer* Timer1 = nullptr;

    // ---- fields ----
    int16_t Spieler = 1;  // 1 yellow, 2 green
    bool SpielEnde = false;

    int32_t BackColor() const { return backColor_; }
    // Fill colour of a board bar.
    static int32_t Fuellfarbe(const QWidget* bar);

    // ---- events ----
    void Form_Load();
    void Form_Activate();
    void ctlSmilie1_Click(int16_t Index);
    void cmdNeu_Click();
    void cmdEnde_Click();
    void Timer1_Timer();

private:
    explicit frmTicTacToe(QWidget* parent);
    void NeuesSpiel();
    void GewinnPruefen();
    void Unload();
    void TimerNeuStarten();

    int32_t backColor_ = 0;
};
