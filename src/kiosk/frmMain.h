#pragma once
// The guest screen of the kiosk: archive grid above, playlist grid below, the touch
// buttons beside them, the time bar under the playlist and the message frame in the
// middle. It reads the start dialog's controls as the live settings.
#include "base/ScanReceiver.h"
#include "kiosk/logic/playlistdatei.h"

#include <QDateTime>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class Funbutton;
class QFrame;
class QLabel;
class QLineEdit;
class ctlVirtuelleTastatur;
namespace kioskgrid {
class FlexGrid;
}
namespace platform {
class BinaryFile;
class VbTimer;
}

class frmMain : public QWidget {
    Q_OBJECT
public:
    // The global instance; the first access loads it, which runs Form_Load as the load event.
    static frmMain& instance();
    static bool loaded();
    // The hand-over's explicit call of Form_Load. Before the screen exists, that call and
    // the load event it causes together leave the state of one run whose grids already
    // carry the shadow colour of the buttons' first initialisation.
    static void FormLoadFromHandOver();
    // Tests: destroys the screen, so the next access builds a fresh one.
    static void resetForTests();

    // ---- controls ----
    kioskgrid::FlexGrid* MSFlexGrid1 = nullptr;  // archive
    kioskgrid::FlexGrid* MSFlexGrid2 = nullptr;  // playlist
    Funbutton* Uebernehmen = nullptr;
    std::array<Funbutton*, 2> cmdHoch{};  // 0 up, 1 down
    Funbutton* cmdLoeschen = nullptr;
    std::array<Funbutton*, 4> FunbuttonArchivNav{};  // archive up/down, playlist up/down
    Funbutton* Schloss = nullptr;
    Funbutton* Schloss2 = nullptr;
    Funbutton* cmdSmilie = nullptr;
    Funbutton* Positionsgrafik = nullptr;
    Funbutton* cmdFragezeichen = nullptr;
    QFrame* Frame1 = nullptr;
    QLabel* lblStartmeldung = nullptr;
    QLabel* lblStartmeldung2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QWidget* Balken = nullptr;  // time bar
    QLabel* Balkentext = nullptr;
    QLineEdit* txtEingabe = nullptr;     // password entry of the lock
    QLineEdit* txtSortierung = nullptr;  // search text
    ctlVirtuelleTastatur* ctlVirtuelleTastatur1 = nullptr;
    platform::VbTimer* Timer1 = nullptr;
    platform::VbTimer* TimerStartmeldung = nullptr;
    platform::VbTimer* TimerFarbe = nullptr;
    platform::VbTimer* TimerPlaylist = nullptr;  // keeps the playlist file in step with the queue

    // The thirteen touch buttons in the order in which they are coloured and initialised.
    std::array<Funbutton*, 13> touchButtons() const;

    // ---- fields ----
    int16_t FadingSekunden = 0;
    int16_t ScrollAbstand = 5;

    // ---- play loop ----
    int16_t AktPlayer = 0;       // current playback channel, 0 or 1
    QString AktuelleDatei;       // song started last; empty once its row went
    int16_t AktuelleZeile = 0;   // 1 after the top row was started
    double Startzeit = 0;        // date value of that start (0: the zero date)
    int32_t Liedlaenge = 0;      // seconds, read half a second after the start
    QDateTime LetzteMinute;      // last per-minute refresh; invalid reads as minute 0
    int16_t BalkenLaenge = 0;    // length the time bar was last scaled for
    // ---- song lengths ----
    bool ZeitenNeustart = false;
    bool ZeitenEinlesenAbgeschlossen = false;
    // Source of the random fill's numbers in [0, 1); tests put a seeded one here.
    std::function<double()> Zufallszahl;

    int32_t BackColor() const { return backColor_; }
    void setBackColor(int32_t c);
    static int32_t BalkenFarbe(const QWidget* Balken);

    // ---- start-up and shut-down ----
    void Form_Load();
    void Form_Activate();
    void Form_Click();
    void Form_QueryUnload(int16_t& Cancel, int16_t& UnloadMode);
    void Form_Unload(int16_t& Cancel);
    void Form_KeyDown(int16_t KeyCode, int16_t Shift);

    // ---- archive ----
    void Einlesen(QString& Startordner);
    // offen: the song as the scan holds it open, read from there.
    void EineZeileInsArchiv(const QString& Datei, int32_t optYRow, const platform::BinaryFile* offen = nullptr);
    void Archiv();
    static QString SemikolonErsetzen(const QString& a);

    // ---- headers and messages ----
    void TabellenBeschriften(bool NurPlaylist);
    void TabelleLeeren(kioskgrid::FlexGrid* FlexGrid);
    // Shows the message frame for ms milliseconds; a message already shown gets its full time anew.
    // With ms 0 the message stays until it is taken away.
    void Startmeldung(const QString& Zeile1, const QString& Zeile2, int ms);
    // Whether the sound device works (told by the mixer).
    void Tonausgabe(bool geht, const QString& grund);
    void TimerStartmeldung_Timer();

    // ---- colours and layout ----
    void Einfaerben(int32_t Hintergrund, int32_t Vordergrund);
    void TimerFarbe_Timer();
    void Form_Resize();
    void Spaltenbreite();
    // The form's Width and Height in twips: its outer size, frame included, as the layout
    // and the slides of the search box and keyboard measure it.
    int32_t Width() const;
    int32_t Height() const;

    // ---- play loop, time bar, take-over, button states ----
    // Fires at the moment the current song's end test will pass, between Timer1's ticks.
    platform::VbTimer* TimerWechsel = nullptr;
    void Timer1_Timer();
    void Naechstes();
    void Pause();
    void Positionsgrafik_Click();
    void Zeitbalken();
    // Places the bar's caption where it reads whole: on the bar when it fits there,
    // else right after the bar's end; black or white by what lies behind it.
    void BalkentextPlatzieren();
    void Uebernehmen_Click();
    void EnableButtons();

    // ---- song lengths, start times, playlist file ----
    void PlaylistSpeichern();
    void PlaylistEinlesen();
    // The hand-over's reading of the last playlist: a queue that is live (after "Zurück")
    // is kept, not replaced by the file.
    void LetztePlaylisteEinlesen();
    // Every second: the file follows the queue, so a power cut or a kill loses nothing.
    void TimerPlaylist_Timer();
    void ZeitenEinlesen(bool NurSichtbareZeilen);
    void Uhrzeiten();

    // ======== playlist editing, keys and pointer ========
public:
    // Connects the controls of this topic (called once by the constructor).
    void connectBearbeiten();

    // ---- moving and deleting playlist rows (Index 0 up, 1 down) ----
    void cmdHoch_MouseDown(int16_t Index, int16_t Button, int16_t Shift, float X, float Y);
    void cmdHoch_Click(int16_t Index);
    void cmdHoch_ClickDisabled(int16_t Index);
    void cmdLoeschen_MouseDown(int16_t Button, int16_t Shift, float X, float Y);
    void Loeschen();

    // ---- the playlist grid's events ----
    void MSFlexGrid2_DblClick();
    void MSFlexGrid2_KeyDown(int16_t& KeyCode, int16_t Shift);
    void MSFlexGrid2_MouseDown(int16_t Button, int16_t Shift, float X, float Y);
    void MSFlexGrid2_SelChange();
    void MSFlexGrid2_Validate(bool& Cancel);

    // ---- pointer on the free area of the form ----
    void Form_MouseDown(int16_t Button, int16_t Shift, float X, float Y);
    // The operator's menu at the pointer, unless right clicks are switched off.
    static void KontextmenueZeigen(int16_t Button);

    // ======== archive sorting, search, navigation and the lock ========
public:
    // Connects the controls of this topic (called once by the constructor).
    void connectSuche();

    // ---- archive navigation ----
    int32_t ArchivZeile = 0;      // the archive row that counts as marked
    int16_t SortierSpalte = 0;    // 0 Titel, 1 Interpret, 2 Genre, 3 Dauer
    int16_t TastaturZielTop = 0;  // where the sliding keyboard stops (twips)
    platform::VbTimer* Timer2 = nullptr;  // hides search box and keyboard 5 s after the last key

    void Sortieren(bool TastaturEinblenden, bool MarkierungBehalten);
    void MSFlexGrid1_MouseDown(int16_t Button, int16_t Shift, float X, float Y);
    void MSFlexGrid1_KeyDown(int16_t& KeyCode, int16_t Shift);
    void MSFlexGrid1_DblClick();
    void MSFlexGrid1_SelChange();
    void MSFlexGrid1_Validate(bool& Cancel);
    void MSFlexGrid1_FocusEvent();
    void ctlVirtuelleTastatur1_KeyClick(const QString& Daten);
    void Timer2_Timer();
    void FunbuttonArchivNav_Click(int16_t Index);
    void FunbuttonArchivNav_ClickDisabled(int16_t Index);
    void FunbuttonArchivNav_MouseUp(int16_t Index, int16_t Button, int16_t Shift, float X, float Y);

    // ---- lock ----
    void Schloss_Click();
    void Schloss2_Click();
    void SchlossProzedur();
    void txtSortierung_Change();
    void SchlossProzedur2();

private:
    // Lays the keyboard out with the given rows below the bottom edge, centred.
    void TastaturVorbereiten(bool Loeschen, const std::vector<QString>& Zeilen);
    // Slides the keyboard up to TastaturZielTop and the box in from the left. False when
    // entry nr is no longer the current one when the slide ends (or the program ends).
    bool TastaturEinfahren(unsigned nr);
    // Counts the slides of box and keyboard, in and out: a slide whose number is no longer
    // the latest stops, so a tap or a tick served by its waits decides what shows.
    unsigned eingabeNr_ = 0;
    void TimerNeuStarten();
    // The box's password character ("" in search mode).
    void setPasswordChar(const QString& c);
public:
    QString PasswordChar() const;
    // The lock's password entry is up: its box shows, in password mode.
    bool PasswortEingabe() const;

    // ======== operator commands ========
public:
    // Connects the controls of this topic (called once by the constructor).
    void connectBefehle();

    void menuBeenden_Click();
    void menuTags_Click();
    void menuDateiEntfernen_Click();
    void menuExplorerAnzeigen_Click();
    void menuNeuEinlesen_Click();
    void menuBeendenMitWinamp_Click();

private:
    void Zurueck();
    // The archive row of the operator's command; 0 when no song row is marked.
    int befehlsZeile() const;
    // Set while a rescan fills the archive: a second one would add every song twice.
    bool neuEinlesenLaeuft_ = false;
    bool neuEinlesenNochmal_ = false;

    // ======== game and information openers, idle timer ========
public:
    // Connects the controls of this topic (called once by the constructor).
    void connectOeffner();

    platform::VbTimer* TimerVerbinden = nullptr;

    void cmdSmilie_MouseUp(int16_t Button, int16_t Shift, float X, float Y);
    void cmdSmilie_Click();
    void Label5_Click();
    void Label4_Click();
    void TimerVerbinden_Timer();
    void txtEingabe_Change();

    // Spare procedures that nothing calls.
    // Enlarges the picture by Prozent percent around its centre.
    void Image_Groesse(QLabel* Cont, int16_t Prozent);
    bool ImageGroesseLaeuft = false;
    void MSFlexGrid1_ItemClick(QObject* Item);
    QPointer<QObject> GewaehltesItem;
    void LeerMethode();
    // Appends a row per line of Text (see kiosklogic::ZeilenAusText) and marks whole rows.
    void TabelleAusText(kioskgrid::FlexGrid* Grid, const QString& Text, const QString& Praefix, int optStart = 1);

private:
    void LeereProzedur();

    // ======== help tour ========
public:
    // Connects the controls of this topic (called once by the constructor).
    void connectHilfe();

    class ctlSprechblase* ctlSprechblase1 = nullptr;  // the tour's bubble, hidden between tours
    bool HilfeLaeuft = false;                          // a tour is running

    // The help button and F1: points at eight places of the screen, one after another.
    void cmdFragezeichen_Click();

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    frmMain();
    ~frmMain() override;
    void buildControls();
    void placeDesign();
    void paintButtonPictures();
    void setGridColoursFromShadow();
    // Connects the play loop's buttons and lets the tag writers see AktPlayer.
    void connectMusik();
    void disconnectMusik();
    // The end test and, when it passes, the hand-over to the next song.
    void Wechsel();
    // Aims TimerWechsel at the moment of the next hand-over, when that can be foreseen.
    void WechselZeitGeben();
    // Tries the random fill again after a pick that found nothing to play.
    void ZufallNochmal();
    static constexpr uint32_t kZufallNochmalMs = 3000;
    // Archive rows of the songs sounding now, which the random fill passes over.
    std::vector<int32_t> KlingendeZeilen() const;
    // Takes the marked archive row over under the limit and duplicate rules, whatever the lock.
    void MarkierteUebernehmen();

    // The scan delivers its rows here.
    class Scan : public ScanReceiver {
    public:
        explicit Scan(frmMain& m) : m_(m) {}
        void EineZeileInsArchiv(const QString& Datei, int32_t optYRow) override;
        void songFound(const QString& Datei, const platform::BinaryFile& file) override;
        void showFound(const QString& caption) override;
        bool stopRequested() const override;
        bool wantsTotal() const override { return false; }  // Einlesen drops it
        // A hand-over during a rescan fills the archive anew: the rescan gives way.
        bool replacesRunningScan() const override { return true; }
        // Shows the last count that the pacing held back.
        void showLastFound();

    private:
        frmMain& m_;
        QString pending_;
        uint32_t shownAt_ = 0;
        bool shownOnce_ = false;
    };
    std::unique_ptr<Scan> scan_;

    int32_t backColor_ = 0;
    // Set while the first hand-over's explicit Form_Load stands for both runs.
    bool twoRuns_ = false;
    // The shut-down runs once, however often the window is asked to close.
    bool shutDown_ = false;
    // The playlist file's rule; see PlaylistSicherung.
    kiosklogic::PlaylistSicherung sicherung_;
    bool sicherungFehlgeschlagen_ = false;  // the last periodic save failed; it was logged
    // The live queue as the file stores it, and the songs playing now made known to the rule.
    QList<kiosklogic::Playlistsatz> Warteschlange() const;
    void LaufendeLiederMelden();
    // Since the sound device was found missing, until it opens.
    bool keineTonausgabe_ = false;
    bool tonMeldung_ = false;  // the frame is held open by the sound's message
    // Since the random fill found nothing to play, until a song plays; and when it tries next.
    bool zufallFehlt_ = false;
    uint32_t zufallNochmalAb_ = 0;
};
