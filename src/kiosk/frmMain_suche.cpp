// frmMain: archive sorting, search, navigation and the lock.
#include "base/ErrPtnr.h"
#include "base/ErrorHandler.h"
#include "base/globals.h"
#include "base/modStandard.h"
#include "catalogue/modPlayer.h"
#include "controls/Funbutton/Funbutton.h"
#include "controls/ctlVirtuelleTastatur/TastaturLayout.h"
#include "controls/ctlVirtuelleTastatur/ctlVirtuelleTastatur.h"
#include "kiosk/frmMain.h"
#include "kiosk/grid/FlexGrid.h"
#include "kiosk/logic/zeittext.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/guard.h"
#include "platform/runtime.h"
#include "platform/twips.h"
#include "platform/twipsgeom.h"
#include "platform/vbtimer.h"
#include "settings/frmStart.h"
#include "settings/startcontrols.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <QProxyStyle>
#include <QSignalBlocker>
#include <algorithm>
#include <array>

using namespace platform;

namespace {

const std::vector<QString> SuchZeilen{QStringLiteral(" 1234567890"), QStringLiteral("QWERTZUIOPÜBS"),
                                      QStringLiteral(" ASDFGHJKLÖÄ"), QStringLiteral("  YXCVBNMSpace")};
// A duration sorts by its whole seconds ("100:00" after "20:00"); one not read yet comes first.
QString DauerSortierText(const QString& text) {
    if (text.isEmpty()) return text;
    return QString::number(CLng(kiosklogic::DauerInSekunden(text))).rightJustified(10, u'0');
}

const std::vector<QString> SchlossZeilen{QStringLiteral("QWERTZUIOPÜ"), QStringLiteral(" ASDFGHJKLÖÄ"),
                                         QStringLiteral("  YXCVBNM")};

// The box hides its text behind the character kept in its "PasswordChar" property.
class PasswortStil : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override {
        if (hint == SH_LineEdit_PasswordCharacter && widget) {
            const QString c = widget->property("PasswordChar").toString();
            if (!c.isEmpty()) return c.at(0).unicode();
        }
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

// Programmatic scrolls show the vertical bar for the moment of the change.
void ScrollNach(kioskgrid::FlexGrid& g, int top) {
    g.setScrollBars(2);
    g.setTopRow(top);
    g.setScrollBars(0);
}

void GanzeZeile(kioskgrid::FlexGrid& g) {
    g.setCol(0);
    g.setColSel(g.Cols() - 1);
}

void Markieren(kioskgrid::FlexGrid& g, int zeile) {
    g.setRow(zeile);
    g.setRowSel(zeile);
}

// Whenever the box hides, a typed password goes with it.
class PasswortVergessen : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override {
        auto* box = static_cast<QLineEdit*>(watched);
        if (e->type() == QEvent::Hide && !box->property("PasswordChar").toString().isEmpty() &&
            !box->text().isEmpty()) {
            // Quietly: an empty text is no password entry to test.
            const QSignalBlocker still(box);
            box->clear();
        }
        return false;
    }
};

}  // namespace

void frmMain::connectSuche() {
    Timer2 = new VbTimer(this, 5000, true);
    Timer2->onTimer = [this] { Timer2_Timer(); };
    txtSortierung->setStyle(new PasswortStil);
    txtSortierung->style()->setParent(txtSortierung);
    txtSortierung->installEventFilter(new PasswortVergessen(txtSortierung));

    kioskgrid::FlexGrid* g = MSFlexGrid1;
    connect(g, &kioskgrid::FlexGrid::MouseDown, this, [this](int16_t b, int16_t s, float x, float y) {
        guardEvent("frmMain", "MSFlexGrid1_MouseDown", [&] { MSFlexGrid1_MouseDown(b, s, x, y); });
    });
    connect(g, &kioskgrid::FlexGrid::KeyDown, this, [this](int16_t& k, int16_t s) {
        guardEvent("frmMain", "MSFlexGrid1_KeyDown", [&] { MSFlexGrid1_KeyDown(k, s); });
    });
    connect(g, &kioskgrid::FlexGrid::DblClick, this,
            [this] { guardEvent("frmMain", "MSFlexGrid1_DblClick", [this] { MSFlexGrid1_DblClick(); }); });
    connect(g, &kioskgrid::FlexGrid::SelChange, this,
            [this] { guardEvent("frmMain", "MSFlexGrid1_SelChange", [this] { MSFlexGrid1_SelChange(); }); });
    connect(g, &kioskgrid::FlexGrid::Validate, this, [this](bool& c) {
        guardEvent("frmMain", "MSFlexGrid1_Validate", [&] { MSFlexGrid1_Validate(c); });
    });
    // On losing the focus: a handler on gaining it would never let the archive keep it.
    connect(g, &kioskgrid::FlexGrid::LostFocus, this,
            [this] { guardEvent("frmMain", "MSFlexGrid1_FocusEvent", [this] { MSFlexGrid1_FocusEvent(); }); });
    connect(ctlVirtuelleTastatur1, &ctlVirtuelleTastatur::KeyClick, this, [this](const QString& d) {
        guardEvent("frmMain", "ctlVirtuelleTastatur1_KeyClick", [&] { ctlVirtuelleTastatur1_KeyClick(d); });
    });
    for (int16_t i = 0; i < 4; ++i) {
        Funbutton* b = FunbuttonArchivNav[i];
        connect(b, &Funbutton::Click, this,
                [this, i] { guardEvent("frmMain", "FunbuttonArchivNav_Click", [&] { FunbuttonArchivNav_Click(i); }); });
        connect(b, &Funbutton::ClickDisabled, this, [this, i] {
            guardEvent("frmMain", "FunbuttonArchivNav_ClickDisabled", [&] { FunbuttonArchivNav_ClickDisabled(i); });
        });
        connect(b, &Funbutton::MouseUp, this, [this, i](int16_t bt, int16_t s, float x, float y) {
            guardEvent("frmMain", "FunbuttonArchivNav_MouseUp", [&] { FunbuttonArchivNav_MouseUp(i, bt, s, x, y); });
        });
    }
    connect(Schloss, &Funbutton::Click, this,
            [this] { guardEvent("frmMain", "Schloss_Click", [this] { Schloss_Click(); }); });
    connect(Schloss2, &Funbutton::Click, this,
            [this] { guardEvent("frmMain", "Schloss2_Click", [this] { Schloss2_Click(); }); });
    connect(txtSortierung, &QLineEdit::textChanged, this,
            [this] { guardEvent("frmMain", "txtSortierung_Change", [this] { txtSortierung_Change(); }); });
}

QString frmMain::PasswordChar() const { return txtSortierung->property("PasswordChar").toString(); }

bool frmMain::PasswortEingabe() const { return !txtSortierung->isHidden() && !PasswordChar().isEmpty(); }

void frmMain::setPasswordChar(const QString& c) {
    txtSortierung->setProperty("PasswordChar", c);
    // The box asks its style for the character only when the style changes.
    QEvent neu(QEvent::StyleChange);
    QCoreApplication::sendEvent(txtSortierung, &neu);
    txtSortierung->setEchoMode(c.isEmpty() ? QLineEdit::Normal : QLineEdit::Password);
    // The keyboard's key numbers would spell the password in the trace.
    ctlVirtuelleTastatur1->Verdeckt = !c.isEmpty();
}

void frmMain::TimerNeuStarten() {
    Timer2->setEnabled(false);
    Timer2->setEnabled(true);
}

// ---- sorting ----------------------------------------------------------------------

void frmMain::Sortieren(bool TastaturEinblenden, bool MarkierungBehalten) {
    ErrPtnr::CallStack(
        QStringLiteral("[frmMain] Private Sub Sortieren(TastaturEinblenden As Boolean, MarkierungBehalten As Boolean)"));
    ErrPtnr::CallStackParam(QStringLiteral("MarkierungBehalten"), MarkierungBehalten);
    ErrPtnr::CallStackParam(QStringLiteral("TastaturEinblenden"), TastaturEinblenden);
    kioskgrid::FlexGrid& G = *MSFlexGrid1;
    G.setRedraw(false);
    const int offset = ArchivZeile - G.TopRow();
    // A remembered row that the grid no longer has (after a rescan) re-marks nothing.
    const bool zeileDa = ArchivZeile >= 0 && ArchivZeile < G.Rows();
    std::array<QString, 4> alt;
    if (zeileDa)
        for (int c = 0; c < 4; ++c) alt[c] = G.TextMatrix(ArchivZeile, c);
    if (G.Rows() - 1 > 0) {
        G.setRow(1);
        G.setRowSel(G.Rows() - 1);
    }
    const int c = SortierSpalte == 1 ? 5 : SortierSpalte;
    G.setCol(c);
    G.setColSel(c);
    G.setColSortText(3, DauerSortierText);
    G.setSort(7);
    blockingSleep(100);
    G.setRowSel(G.Row());
    G.setRedraw(true);
    if (G.Rows() - 1 > 0) G.setTopRow(G.Row());
    if (MarkierungBehalten && zeileDa) {
        for (int i = 1; i < G.Rows(); ++i) {
            bool gleich = true;
            for (int k = 0; k < 4 && gleich; ++k) gleich = G.TextMatrix(i, k) == alt[k];
            if (!gleich) continue;
            Markieren(G, i);
            if (i - offset >= 1 && i - offset < G.Rows())
                ScrollNach(G, i - offset);
            else if (i >= 1 && i < offset)
                ScrollNach(G, i);
            GanzeZeile(G);
            ArchivZeile = static_cast<int32_t>(G.Row());
            break;
        }
    }
    GanzeZeile(G);
    TimerNeuStarten();
    if (TastaturEinblenden && !ctlVirtuelleTastatur1->isVisible()) {
        txtSortierung->setText(QString());
        setPasswordChar(QString());
        txtSortierung->setMaxLength(10);
        txtSortierung->setVisible(true);
        setTwLeft(txtSortierung, -TwWidth(txtSortierung));
        const unsigned nr = ++eingabeNr_;
        TastaturVorbereiten(true, SuchZeilen);
        ctlVirtuelleTastatur1->setVisible(true);
        TastaturEinfahren(nr);
    }
    ZeitenEinlesen(true);
    ZeitenNeustart = true;
}

// ---- the sliding keyboard ------------------------------------------------------------

void frmMain::TastaturVorbereiten(bool Loeschen, const std::vector<QString>& Zeilen) {
    ctlVirtuelleTastatur& K = *ctlVirtuelleTastatur1;
    const double W = Width();
    const int H = Height();
    // Where the designed keyboard is wider than the screen (800 x 600) or would cover the
    // search box, its keys get smaller: every key stays whole and can be typed.
    constexpr int Taste = 1200;
    constexpr int Rand = 120;
    const int innen = std::min<int>(pxToTwips(width()), CLng(W));
    const int unterBox = TwTop(txtSortierung) + TwHeight(txtSortierung) + Rand;
    const tastatur::Einpassung e = tastatur::Einpassen(Zeilen, Taste, innen - 2 * Rand, H - 300 - unterBox);
    K.LoeschenSichtbar(Loeschen);
    K.HideSichtbar(false);
    K.EnterSichtbar(false);
    K.Massstab(e.Massstab);
    K.KeyHeight(CInt(e.Taste));
    K.KeyWidth(CInt(e.Taste));
    K.KeyBackColor(frmStart::instance().PicFarbe->BackColor());
    for (size_t i = 0; i < Zeilen.size(); ++i) K.Tastatur_Ini(static_cast<int16_t>(i), Zeilen[i]);
    K.setLeft(CLng(W / 2 - K.Width() / 2.0));
    TastaturZielTop = static_cast<int16_t>(CInt(H - K.Height() - 300));
    K.setTop(H);
}

bool frmMain::TastaturEinfahren(unsigned nr) {
    ctlVirtuelleTastatur& K = *ctlVirtuelleTastatur1;
    const double W = Width();
    const int H = Height();
    const int s1 = CLng((H - TastaturZielTop) / 10.0);
    const int s2 = CLng((W / 2 + TwWidth(txtSortierung) / 2.0) / 10.0);
    for (int n = 0; n < 10 && !ProgrammEnde; ++n) {
        // A tap served by the wait may have begun another entry, or the tick ended this one.
        if (eingabeNr_ != nr) return false;
        if (K.Top() > TastaturZielTop) K.setTop(K.Top() - s1);
        setTwLeft(txtSortierung, TwLeft(txtSortierung) + s2);
        MySleep(20);
    }
    return eingabeNr_ == nr && !ProgrammEnde;
}

void frmMain::Timer2_Timer() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub Timer2_Timer()"));
    Timer2->setEnabled(false);
    const unsigned nr = ++eingabeNr_;
    ctlVirtuelleTastatur& K = *ctlVirtuelleTastatur1;
    const double W = Width();
    const int H = Height();
    const int s1 = CLng((H - 7665) / 10.0);
    const int s2 = CLng((W / 2 + TwWidth(txtSortierung) / 2.0) / 10.0);
    for (int n = 0; n < 10 && !ProgrammEnde; ++n) {
        K.setTop(K.Top() + s1);
        setTwLeft(txtSortierung, TwLeft(txtSortierung) + s2);
        MySleep(20);
        // A new entry begun during the slide keeps its box and keyboard.
        if (eingabeNr_ != nr) return;
    }
    K.setVisible(false);
    txtEingabe->setVisible(false);
    txtSortierung->setVisible(false);
}

// ---- search -------------------------------------------------------------------------

void frmMain::ctlVirtuelleTastatur1_KeyClick(const QString& Daten) {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub ctlVirtuelleTastatur1_KeyClick(Daten As String)"));
    const bool passwort = !PasswordChar().isEmpty();
    // The trace reaches the error dialog and the protocol file: a password letter shows as the box shows it.
    ErrPtnr::CallStackParam(QStringLiteral("Daten"), passwort && Daten.size() == 1 ? PasswordChar() : Daten);
    TimerNeuStarten();
    QLineEdit& T = *txtSortierung;
    if (Daten == QLatin1String("{BACKSPACE}")) {
        if (!T.text().isEmpty()) T.setText(T.text().left(T.text().size() - 1));
    } else if (T.text().size() < T.maxLength()) {
        T.setText(T.text() + Daten.toUpper());
    }
    // A password never moves the marked song: that would show it to anyone watching.
    if (passwort) return;
    const QString such = T.text().toLower();
    if (such.isEmpty()) return;
    kioskgrid::FlexGrid& G = *MSFlexGrid1;
    for (int i = 1; i < G.Rows(); ++i) {
        if (G.TextMatrix(i, SortierSpalte).left(such.size()).toLower() != such) continue;
        Markieren(G, i);
        ScrollNach(G, i);
        GanzeZeile(G);
        ArchivZeile = static_cast<int32_t>(i);
        ZeitenEinlesen(true);
        ZeitenNeustart = true;
        return;
    }
}

// ---- arrow buttons ----------------------------------------------------------------------

void frmMain::FunbuttonArchivNav_Click(int16_t Index) {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub FunbuttonArchivNav_Click(Index As Integer)"));
    ErrPtnr::CallStackParam(QStringLiteral("Index"), Index);
    kioskgrid::FlexGrid& G = Index < 2 ? *MSFlexGrid1 : *MSFlexGrid2;
    const int m = ScrollAbstand;
    bool bewegt = false;
    if ((Index == 0 || Index == 2) && G.Row() >= 2) {
        G.setRow(G.Row() - 1);
        bewegt = true;
        const int r = G.Row();
        if (Index == 0 && r - G.TopRow() < m) {
            if (r - m + 1 >= 1)
                ScrollNach(G, r - m + 1);
            else if (G.TopRow() >= 2)
                ScrollNach(G, G.TopRow() - 1);
        } else if (Index == 2 && r - G.TopRow() < m - 1 && r - m + 2 >= 1) {
            ScrollNach(G, r - m + 2);
        }
    } else if ((Index == 1 || Index == 3) && G.Row() < G.Rows() - 1) {
        G.setRow(G.Row() + 1);
        bewegt = true;
        const int r = G.Row();
        if (Index == 1 && r - G.TopRow() + 1 >= m) {
            ScrollNach(G, r - m + 1);
        } else if (Index == 3 && r - G.TopRow() + 1 >= m - 1 && r - m + 2 >= 1) {
            ScrollNach(G, r - m + 2 < G.Rows() ? r - m + 2 : G.Rows() - 1);
        }
    }
    if (bewegt) {
        G.setRowSel(G.Row());
        GanzeZeile(G);
    }
    pumpEvents();
    // The screen may have closed while the events were served.
    if (ProgrammEnde) return;
    G.SetFocus();
    ArchivZeile = static_cast<int32_t>(MSFlexGrid1->Row());
    EnableButtons();
}

void frmMain::FunbuttonArchivNav_ClickDisabled(int16_t Index) {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub FunbuttonArchivNav_ClickDisabled(Index As Integer)"));
    ErrPtnr::CallStackParam(QStringLiteral("Index"), Index);
    (Index < 2 ? MSFlexGrid1 : MSFlexGrid2)->SetFocus();
}

void frmMain::FunbuttonArchivNav_MouseUp(int16_t Index, int16_t Button, int16_t Shift, float X, float Y) {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub FunbuttonArchivNav_MouseUp(Index As Integer, Button As "
                                      "Integer, Shift As Integer, X As Single, Y As Single)"));
    ErrPtnr::CallStackParam(QStringLiteral("Y"), Y);
    ErrPtnr::CallStackParam(QStringLiteral("X"), X);
    ErrPtnr::CallStackParam(QStringLiteral("Shift"), Shift);
    ErrPtnr::CallStackParam(QStringLiteral("Button"), Button);
    ErrPtnr::CallStackParam(QStringLiteral("Index"), Index);
    if (Index == 0 || Index == 1) ZeitenEinlesen(true);
}

// ---- archive grid events ----------------------------------------------------------------

void frmMain::MSFlexGrid1_MouseDown(int16_t Button, int16_t Shift, float X, float Y) {
    ErrPtnr::CallStack(QStringLiteral(
        "[frmMain] Private Sub MSFlexGrid1_MouseDown(Button As Integer, Shift As Integer, X As Single, Y As Single)"));
    ErrPtnr::CallStackParam(QStringLiteral("Y"), Y);
    ErrPtnr::CallStackParam(QStringLiteral("X"), X);
    ErrPtnr::CallStackParam(QStringLiteral("Shift"), Shift);
    ErrPtnr::CallStackParam(QStringLiteral("Button"), Button);
    kioskgrid::FlexGrid& G = *MSFlexGrid1;
    withErrorHandler(QStringLiteral("frmMain"), QStringLiteral("MSFlexGrid1_MouseDown"), [&](ErrorHandler& on) {
        on.resumeNext();
        frmStart& s = frmStart::instance();
        on([&] {
            if (Button == 2 && !s.chkRechteMaustaste->isChecked()) platform::popupMenu(s.menuKontext, QCursor::pos());
        });
        on([&] {
            if (Button == 1 && G.MouseRow() == 0 && G.MouseCol() < 4) {
                SortierSpalte = static_cast<int16_t>(G.MouseCol());
                Sortieren(G.MouseCol() < 3, true);
            }
        });
        on([&] {
            // Before the first marking there is no song row to go back to; the header is none.
            if (G.MouseCol() >= 3 && ArchivZeile >= 1 && ArchivZeile < G.Rows()) {
                G.setRow(ArchivZeile);
                GanzeZeile(G);
            }
        });
        on([&] {
            if (G.MouseRow() > 0) ArchivZeile = static_cast<int32_t>(G.Row());
        });
    });
}

void frmMain::MSFlexGrid1_KeyDown(int16_t& KeyCode, int16_t Shift) {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub MSFlexGrid1_KeyDown(KeyCode As Integer, Shift As Integer)"));
    ErrPtnr::CallStackParam(QStringLiteral("Shift"), Shift);
    // A key's code spells its letter: while a password is typed, the trace shows it as the box does.
    ErrPtnr::CallStackParam(QStringLiteral("KeyCode"),
                            PasswortEingabe() ? TraceValue(PasswordChar()) : TraceValue(KeyCode));
    kioskgrid::FlexGrid& G = *MSFlexGrid1;
    // A held key repeats the moves only: the tag editor, play-now and take-over come once per press.
    const bool befehl = !G.KeyIsRepeat();
    switch (KeyCode) {
    case 13:
        if (befehl) menuTags_Click();
        break;
    case 32:
        if (!befehl || !Uebernehmen->Enabled()) break;
        // Without a song row marked the playlist and the music stay as they are.
        if (G.Row() < 1 || G.Row() >= G.Rows() || G.TextMatrix(G.Row(), 0).isEmpty()) break;
        // Play at once: the playlist goes down to its header row, so the song becomes row 1.
        MSFlexGrid2->Clear();
        MSFlexGrid2->setRows(1);
        TabellenBeschriften(true);
        for (int16_t k = 0; k < 2; ++k) {
            PlayerStop(k);
            PlayerOeffnen(k, QString());
        }
        pumpEvents();
        if (ProgrammEnde) return;
        AktuelleZeile = 0;
        // The song may be the one just stopped: it starts again, it was not played to its end.
        AktuelleDatei.clear();
        Uebernehmen_Click();
        G.SetFocus();
        break;
    case 39:
        if (befehl && Uebernehmen->Enabled()) Uebernehmen_Click();
        break;
    case 38:
        if (G.Row() >= G.TopRow()) break;
        if (G.Row() > 1) {
            if (!G.RowIsVisible(G.Row() - 1)) ScrollNach(G, G.TopRow() - 1);
        } else if (G.Rows() > 1) {
            ScrollNach(G, 1);
        }
        break;
    case 40:
        if (G.Row() + 1 <= G.TopRow()) break;
        if (G.Row() + 1 <= G.Rows() - 1) {
            if (!G.RowIsVisible(G.Row() + 1)) ScrollNach(G, G.TopRow() + 1);
        } else {
            ScrollNach(G, G.Rows() - 1);
        }
        break;
    default: break;
    }
    ArchivZeile = static_cast<int32_t>(G.Row());
}

void frmMain::MSFlexGrid1_DblClick() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub MSFlexGrid1_DblClick()"));
    if (frmStart::instance().chkPlaylistDoppelklick->isChecked() && MSFlexGrid1->MouseRow() >= 1 &&
        Uebernehmen->Enabled())
        Uebernehmen_Click();
}

void frmMain::MSFlexGrid1_SelChange() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub MSFlexGrid1_SelChange()"));
    MSFlexGrid1->setRowSel(MSFlexGrid1->Row());
}

void frmMain::MSFlexGrid1_Validate(bool& Cancel) {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub MSFlexGrid1_Validate(Cancel As Boolean)"));
    ErrPtnr::CallStackParam(QStringLiteral("Cancel"), Cancel);
    EnableButtons();
}

void frmMain::MSFlexGrid1_FocusEvent() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub MSFlexGrid1_LostFocus()"));
    try {
        MSFlexGrid2->SetFocus();
    } catch (const RuntimeError&) {
    }
}

// ---- lock -----------------------------------------------------------------------------

void frmMain::Schloss_Click() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub Schloss_Click()"));
    SchlossProzedur();
}

void frmMain::Schloss2_Click() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub Schloss2_Click()"));
    SchlossProzedur();
}

void frmMain::SchlossProzedur() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub SchlossProzedur()"));
    QLineEdit& T = *txtSortierung;
    setTwLeft(&T, -TwWidth(&T));
    T.setText(QString());
    setPasswordChar(QStringLiteral("#"));
    T.setMaxLength(99);
    T.setVisible(true);
    T.setFocus();
    // A full five seconds for the new entry, also when the search's time is nearly up.
    TimerNeuStarten();
    const unsigned nr = ++eingabeNr_;
    TastaturVorbereiten(false, SchlossZeilen);
    // The keyboard shows only while its box does: a tick or another entry during the slide wins.
    if (TastaturEinfahren(nr) && T.isVisible()) ctlVirtuelleTastatur1->setVisible(true);
}

void frmMain::txtSortierung_Change() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub txtSortierung_Change()"));
    if (PasswordChar().isEmpty()) return;
    if (txtSortierung->text().toLower() != frmStart::instance().txtPasswort->text().toLower()) return;
    SchlossProzedur2();
    txtSortierung->setText(QString());
    txtSortierung->setVisible(false);
    ctlVirtuelleTastatur1->setVisible(false);
}

void frmMain::SchlossProzedur2() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub SchlossProzedur2()"));
    // Beside the playlist, in a column of its own (a small screen), the lock keeps its
    // place: below the trash can it would stand on the time bar.
    if (TwLeft(Schloss) == TwLeft(cmdLoeschen)) setTwTop(Schloss, TwTop(cmdLoeschen) + TwHeight(cmdLoeschen) + 120);
    if (Schloss->property("Tag").toString() == QLatin1String("Zu")) {
        Schloss->setVisible(true);
        Schloss2->setVisible(false);
        Schloss->setProperty("Tag", QStringLiteral("Auf"));
    } else {
        Schloss2->setVisible(true);
        Schloss->setVisible(false);
        Schloss->setProperty("Tag", QStringLiteral("Zu"));
    }
    setTwTop(Schloss2, TwTop(Schloss));
    setTwLeft(Schloss2, TwLeft(Schloss));
    EnableButtons();
}
