// The archive grid: the scan of the song folder, one row per song, the grid headers
// and the message frame.
#include "base/ErrPtnr.h"
#include "base/ErrorHandler.h"
#include "base/frmDatei.h"
#include "base/globals.h"
#include "base/modStandard.h"
#include "catalogue/modMP3Tags.h"
#include "kiosk/frmMain.h"
#include "kiosk/grid/FlexGrid.h"
#include "platform/clock.h"
#include "platform/runtime.h"
#include "platform/vbtimer.h"
#include "settings/frmStart.h"
#include "settings/settingslogic.h"

#include <QFrame>
#include <QLabel>

// ---- the scan's receiver -----------------------------------------------------

void frmMain::Scan::EineZeileInsArchiv(const QString& Datei, int32_t optYRow) { m_.EineZeileInsArchiv(Datei, optYRow); }
void frmMain::Scan::songFound(const QString& Datei, const platform::BinaryFile& file) {
    m_.EineZeileInsArchiv(Datei, 0, &file);
}

namespace {
// A repaint of the count per file costs more than the file itself on a large tree.
constexpr uint32_t kFoundPaceMs = 50;
}

void frmMain::Scan::showFound(const QString& caption) {
    pending_ = caption;
    const uint32_t now = platform::tickCount();
    if (shownOnce_ && now - shownAt_ < kFoundPaceMs) return;
    shownOnce_ = true;
    shownAt_ = now;
    showLastFound();
}

void frmMain::Scan::showLastFound() {
    if (pending_.isEmpty()) return;
    if (frmStart::loaded()) frmStart::instance().lblGefunden->setText(pending_);
    pending_.clear();
}

bool frmMain::Scan::stopRequested() const { return ProgrammEnde; }

// ---- archive fill ------------------------------------------------------------

void frmMain::Einlesen(QString& Startordner) {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Public Sub Einlesen(Startordner$)"));
    ErrPtnr::CallStackParam(QStringLiteral("Startordner$"), Startordner);
    withErrorHandler(QStringLiteral("frmMain"), QStringLiteral("Einlesen"), [&](ErrorHandler& on) {
        if (!IDEMode()) on.resumeNext();
        if (settingslogic::trimBlanks(Startordner).isEmpty()) return;
        on([&] { MSFlexGrid1->Clear(); });
        on([&] {
            int32_t nDirs = 0;
            int32_t nFiles = 0;
            QStringList files;
            const bool withSubfolders = true;
            frmDatei::FindFile(Startordner, QStringLiteral("*.mp3"), nDirs, nFiles, files, withSubfolders);
        });
        on([&] { scan_->showLastFound(); });
        // A quit during the scan: the screen is being shut down, nothing more to show.
        if (ProgrammEnde) return;
        if (MSFlexGrid1->Rows() - 1 > 0) {
            on([&] { MSFlexGrid1->setRow(1); });
            on([&] { MSFlexGrid1->setCol(0); });
            on([&] { MSFlexGrid1->setColSel(MSFlexGrid1->Cols() - 1); });
            on([&] { MSFlexGrid1->setTopRow(1); });
        }
        on([&] { TabellenBeschriften(false); });
    });
}

void frmMain::EineZeileInsArchiv(const QString& Datei, int32_t optYRow, const platform::BinaryFile* offen) {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub EineZeileInsArchiv(Datei$, optYRow%)"));
    ErrPtnr::CallStackParam(QStringLiteral("optYRow%"), optYRow);
    ErrPtnr::CallStackParam(QStringLiteral("Datei$"), Datei);
    kioskgrid::FlexGrid& g = *MSFlexGrid1;
    // One opening of the file gives the three fields the three readers would. A file
    // that is there but cannot be read (no permission, device error) gets no row and
    // keeps the one it has, without a dialog; a missing one gets the readers' texts.
    SongTags tags;
    try {
        tags = offen ? ReadSongTagsFrom(Datei, *offen) : ReadSongTagsOrRaise(Datei);
    } catch (const platform::RuntimeError& e) {
        if (e.number() != 53) {
            ErrPtnr::LogUnreadable(Datei, e.number(), e.description());
            return;
        }
        tags = ReadSongTags(Datei);
    }
    QString titel = tags.title;
    if (titel.isEmpty()) titel = QStringLiteral("Unbekannt");
    int zeile;
    if (optYRow != 0) {
        g.setRow(optYRow);
        zeile = optYRow;
    } else {
        g.AddItem(titel);
        zeile = g.Rows() - 1;
        g.setRow(zeile);
    }
    if (g.Rows() < 4 && g.TextMatrix(1, 0).isEmpty()) {
        g.RemoveItem(1);
        if (zeile > 1) --zeile;
        g.setRow(zeile);
    }
    g.setTextMatrix(zeile, 0, SemikolonErsetzen(titel));
    // The path is the song's identity: it is kept exactly as the file system gives it.
    g.setTextMatrix(zeile, 4, Datei);
    g.setTextMatrix(zeile, 1, SemikolonErsetzen(tags.artist));
    g.setTextMatrix(zeile, 2, SemikolonErsetzen(tags.genre));
    g.setTextMatrix(zeile, 5, g.TextMatrix(zeile, 1) + g.TextMatrix(zeile, 0));
}

void frmMain::Archiv() {
    MSFlexGrid1->Clear();
    MSFlexGrid1->setRows(1);
}

QString frmMain::SemikolonErsetzen(const QString& a) {
    if (a.isEmpty()) return QString();
    QString s = a;
    s.replace(QLatin1Char(';'), QLatin1Char('_'));
    return s;
}

// ---- grid headers ------------------------------------------------------------

void frmMain::TabellenBeschriften(bool NurPlaylist) {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub TabellenBeschriften(NurPlaylist As Boolean)"));
    ErrPtnr::CallStackParam(QStringLiteral("NurPlaylist"), NurPlaylist);
    const char* const dritte[2] = {"Dauer", "Start"};
    for (int i = NurPlaylist ? 1 : 0; i < 2; ++i) {
        kioskgrid::FlexGrid& g = i == 0 ? *MSFlexGrid1 : *MSFlexGrid2;
        for (int c = 0; c < 4; ++c) g.setColAlignment(c, 1);
        Spaltenbreite();
        const QString kopf[4] = {QStringLiteral("Titel"), QStringLiteral("Interpret"), QStringLiteral("Genre"),
                                 QString::fromLatin1(dritte[i])};
        for (int c = 0; c < 4; ++c) g.setTextMatrix(0, c, kopf[c]);
        // The playlist keeps its marking, or none: after a rescan the trash can still hits the
        // song a guest marked, not the one playing.
        const int zeile = i == 0 ? 1 : g.Row();
        g.setRow(0);
        for (int c = 0; c < 4; ++c) {
            g.setCol(c);
            g.setCellFontBold(true);
        }
        if (g.Rows() > 1 && zeile >= 1 && zeile < g.Rows()) {
            g.setRow(zeile);
            g.setCol(0);
            g.setColSel(g.Cols() - 1);
        }
    }
}

void frmMain::TabelleLeeren(kioskgrid::FlexGrid* FlexGrid) {
    FlexGrid->Clear();
    FlexGrid->setRows(2);
    TabellenBeschriften(false);
    FlexGrid->setFixedRows(1);
}

// ---- message frame -----------------------------------------------------------

void frmMain::Startmeldung(const QString& Zeile1, const QString& Zeile2, int ms) {
    tonMeldung_ = false;
    lblStartmeldung->setText(Zeile1);
    lblStartmeldung2->setText(Zeile2);
    TimerStartmeldung->setEnabled(false);
    if (ms > 0) {
        TimerStartmeldung->setInterval(ms);
        TimerStartmeldung->setEnabled(true);
    }
    Frame1->show();
    Frame1->raise();
}

// No sound device: the music goes on unheard until one opens. The message stays as long as
// that lasts; one shown meanwhile has its time, and the next failed attempt brings this back.
// A take-over empties the frame's labels but leaves it to this message, which goes with the sound.
void frmMain::Tonausgabe(bool geht, const QString& grund) {
    if (geht) {
        keineTonausgabe_ = false;
        if (tonMeldung_ && !TimerStartmeldung->Enabled()) Frame1->hide();
        tonMeldung_ = false;
        return;
    }
    if (!keineTonausgabe_) ErrPtnr::LogLine(QStringLiteral("Keine Tonausgabe: ") + grund);
    keineTonausgabe_ = true;
    if (Frame1->isVisibleTo(this) && TimerStartmeldung->Enabled()) return;
    Startmeldung(QStringLiteral("Keine Tonausgabe!"), QString(), 0);
    tonMeldung_ = true;
}

void frmMain::TimerStartmeldung_Timer() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub TimerStartmeldung_Timer()"));
    TimerStartmeldung->setEnabled(false);
    Frame1->hide();
    tonMeldung_ = false;
}
