#include "settings/frmStart.h"

#include "base/ErrPtnr.h"
#include "base/globals.h"
#include "base/modBrowseForFolder.h"
#include "base/modStandard.h"
#include "platform/clock.h"
#include "platform/colors.h"
#include "platform/dialogs.h"
#include "platform/fonts.h"
#include "platform/guard.h"
#include "platform/program.h"
#include "platform/runtime.h"
#include "platform/screen.h"
#include "platform/settingsstore.h"
#include "platform/textbox.h"
#include "platform/toplevel.h"
#include "platform/twips.h"
#include "platform/twipsgeom.h"
#include "platform/vbtimer.h"
#include "settings/settingslogic.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QSlider>
#include <QStandardPaths>
#include <cstdio>
#include <optional>
#include <vector>

using namespace settingslogic;

namespace {
frmStart* g_instance = nullptr;

constexpr int ClientWidth = 10050;
constexpr int ClientHeight = 7485;

template <class W>
W* place(W* w, int left, int top, int width, int height) {
    platform::setTwGeometry(w, left, top, width, height);
    return w;
}

// Defaults of the settings that are fixed texts ("" where computed).
const std::array<const char*, 17> FixedDefaults{
    "",      "",      "False", "False", "True",  "16776960", "16711680", "10", "True",
    "0",     "False", "False", "False", "True",  "",         "True",     "3",
};

QString musicFolder() {
    QString m = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    // A relative entry in user-dirs.dirs is invalid by the XDG rules: the default folder stands.
    if (!QDir::isAbsolutePath(m)) m = QDir::homePath() + QStringLiteral("/Music");
    if (QDir(m).exists()) return m;
    return QDir::homePath();
}
}  // namespace

frmStart& frmStart::instance() {
    if (!g_instance) g_instance = new frmStart;
    if (!g_instance->loaded_) g_instance->Form_Load();
    return *g_instance;
}

bool frmStart::loaded() { return g_instance && g_instance->loaded_; }

void frmStart::resetForTests() {
    if (!g_instance) return;
    g_instance->hide();
    g_instance->Unload();
    g_instance->autostartOff_ = false;
    g_instance->speicherfehlerGemeldet_ = false;
    g_instance->lesefehlerGemeldet_ = false;
}

frmStart::frmStart() : QDialog(nullptr) {
    setWindowTitle(QStringLiteral("Melotra"));
    // The substitute face runs wider than the original one: narrowed, every caption fits its place.
    QFont f = platform::vbFont(QStringLiteral("MS Sans Serif"), 8);
    f.setStretch(85);
    setFont(f);
    setFixedSize(platform::twipsToPx(ClientWidth), platform::twipsToPx(ClientHeight));
    buildControls();
    buildMenu();
    TimerAutostart = new platform::VbTimer(this, 1000, false);
    TimerAutostart->onTimer = [this] { TimerAutostart_Timer(); };
    // Shown again over the full-screen kiosk, it must come to the top.
    platform::bringToFrontWhenShown(this);
}

void frmStart::buildControls() {
    auto handler = [](const char* proc, auto body) {
        return [proc, body] { platform::guardEvent("frmStart", proc, [&] { body(); }); };
    };
    auto reset = [this] { AutostartZuruecksetzen(); };
    auto check = [&](const char* caption, int left, int top, const char* clickProc) {
        auto* c = place(new QCheckBox(QString::fromUtf8(caption), this), left, top, left < 4000 ? 4335 : 5190, 255);
        if (clickProc) connect(c, &QCheckBox::toggled, this, handler(clickProc, reset));
        return c;
    };
    auto label = [&](const char* caption, int left, int top, int width, int height = 255) {
        return place(new QLabel(QString::fromUtf8(caption), this), left, top, width, height);
    };
    auto button = [&](const char* caption, int left, int top, int width, int height) {
        return place(new QPushButton(QString::fromUtf8(caption), this), left, top, width, height);
    };

    chkZufall = check("Falls Playliste leer, zufällige Lieder laden", 180, 120, "chkZufall_Click");
    chkPlayliste = check("letzte Playliste einlesen", 4680, 120, "chkPlayliste_Click");
    chkPlaylistDoppelklick = check("Doppelklick für Playliste aktivieren", 180, 480, "chkPlaylistDoppelklick_Click");
    chkFenster = check("Fenster maximieren", 4680, 480, "chkFenster_Click");
    chkSmilie = check("Button für Tic-Tac-Toe-Spiel anzeigen", 180, 840, "chkSmilie_Click");
    chkMuelleimer = check("Mülleimer/Umsortieren nur mit der rechten Maustaste", 4680, 840, "chkMuelleimer_Click");
    chkPause = check("Pause mit Klick auf Note aktivieren", 180, 1200, "chkPause_Click");
    chkRechteMaustaste = check("Rechte Maustaste deaktivieren (Beenden mit F12)", 4680, 1200, "chkRechteMaustaste_Click");
    chkWindowsBlockieren = check("Windows-Benutzung blockieren", 180, 1560, nullptr);

    Label4 = label("Maximale Anzahl an Liedern in der Playliste:", 180, 2160, 3195);
    cmbAnzahl = place(new QComboBox(this), 3420, 2100, 1335, 315);
    connect(cmbAnzahl, &QComboBox::currentIndexChanged, this, handler("cmbAnzahl_Click", reset));
    Label9 = label("Schriftgröße:", 6900, 2160, 1035);
    cmbSchriftgroesse = place(new QComboBox(this), 7980, 2100, 915, 315);

    Label7 = label("Crossfading-Zeit:", 180, 2760, 1335);
    Slider1 = place(new QSlider(Qt::Horizontal, this), 1560, 2760, 3135, 450);
    Slider1->setRange(SliderMin, SliderMax);
    Slider1->setSingleStep(1);
    Slider1->setPageStep(5);
    Slider1->setTickPosition(QSlider::TicksBelow);
    Slider1->setTickInterval(1);
    connect(Slider1, &QSlider::valueChanged, this, handler("Slider1_Change", reset));
    Label8 = label("Sekunden", 4800, 2760, 1000);

    Label6 = label("Buttonfarbe:", 180, 3480, 1000);
    PicFarbe = place(new ColourSwatch(this), 1200, 3420, 375, 375);
    Label5 = label("Hintergrundfarbe:", 4380, 3480, 1365);
    PicHintergrundfarbe = place(new ColourSwatch(this), 5760, 3420, 375, 375);
    for (int i = 0; i < 2; ++i) {
        cmdFarbe[i] = button("Farbe ändern", i == 0 ? 1680 : 6240, 3420, 1815, 375);
        connect(cmdFarbe[i], &QPushButton::clicked, this,
                handler("cmdFarbe_Click", [this, i] { cmdFarbe_Click(static_cast<int16_t>(i)); }));
    }

    Label3 = label("Passwort zum Ab- und Aufschließen der Melotra (optional):", 180, 4200, 4500);
    auto* passwort = new platform::FilterTextBox(this);
    // A paste keeps what the keys would: the letters, and one beep for the rest.
    passwort->pasteFilter = [](const QString& text) {
        const QString letters = passwordLetters(text);
        if (letters.size() != text.size()) platform::beep();
        return letters;
    };
    txtPasswort = place(passwort, 180, 4500, 4335, 315);
    txtPasswort->setAttribute(Qt::WA_InputMethodEnabled, false);  // composed characters would bypass the filter
    txtPasswort->installEventFilter(this);
    lblWinamp = label("WinAmp 2.91 Pfad:", 4740, 4200, 3000);
    txtWinAmpPfad = place(new QLineEdit(this), 4740, 4500, 5130, 315);

    Label1 = label("", 180, 5100, 9690);
    Text1 = place(new QLineEdit(this), 180, 5370, 7935, 315);
    connect(Text1, &QLineEdit::textChanged, this, handler("Text1_Change", reset));
    cmdDurchsuchen = button("Ordner...", 8250, 5370, 1620, 315);
    connect(cmdDurchsuchen, &QPushButton::clicked, this, handler("cmdDurchsuchen_Click", [this] { cmdDurchsuchen_Click(); }));

    Label2 = label("", 180, 5940, 9690, 360);
    Label2->setFont(platform::vbFont(QStringLiteral("MS Sans Serif"), 12, true));
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblAbbrechen = place(new ClickLabel(QStringLiteral("&Abbrechen"), this), 8700, 6000, 1035, 255);
    lblAbbrechen->setFont(platform::vbFont(QStringLiteral("MS Sans Serif"), 8, false, false, true));
    QPalette linkPalette = lblAbbrechen->palette();
    linkPalette.setColor(QPalette::WindowText, platform::vbColor(platform::vbBlue));
    lblAbbrechen->setPalette(linkPalette);
    lblAbbrechen->setCursor(Qt::PointingHandCursor);
    lblAbbrechen->raise();
    connect(lblAbbrechen, &ClickLabel::clicked, this, handler("lblAbbrechen_Click", [this] { lblAbbrechen_Click(); }));
    lblGefunden = label("", 180, 6480, 9690);
    lblGefunden->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    cmdBeenden = button("&Beenden", 210, 6810, 1695, 495);
    cmdAbbrechen = button("&Nicht durchsuchen", 2160, 6810, 2295, 495);
    cmdOK = button("&OK", 8400, 6810, 1455, 495);
    connect(cmdBeenden, &QPushButton::clicked, this, handler("cmdBeenden_Click", [this] { cmdBeenden_Click(); }));
    connect(cmdAbbrechen, &QPushButton::clicked, this, handler("cmdAbbrechen_Click", [this] { cmdAbbrechen_Click(); }));
    connect(cmdOK, &QPushButton::clicked, this, handler("cmdOK_Click", [this] { cmdOK_Click(); }));
    // The link's accelerator moves the focus like any label's.
    lblAbbrechen->setBuddy(cmdOK);

    // OK first, so it holds the focus when the dialog opens.
    const std::vector<QWidget*> order{cmdOK, chkZufall, chkPlayliste, chkPlaylistDoppelklick, chkFenster, chkSmilie,
                                      chkMuelleimer, chkPause, chkRechteMaustaste, chkWindowsBlockieren, cmbAnzahl,
                                      cmbSchriftgroesse, Slider1, cmdFarbe[0], cmdFarbe[1], txtPasswort, txtWinAmpPfad,
                                      Text1, cmdDurchsuchen, cmdBeenden, cmdAbbrechen};
    for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
    cmdOK->setFocus();

    bindings_[0].text = Text1;
    bindings_[1].text = txtPasswort;
    bindings_[2].check = chkZufall;
    bindings_[3].check = chkPlaylistDoppelklick;
    bindings_[4].check = chkFenster;
    bindings_[5].colour = PicFarbe;
    bindings_[6].colour = PicHintergrundfarbe;
    bindings_[7].slider = Slider1;
    bindings_[8].check = chkSmilie;
    bindings_[9].list = cmbAnzahl;
    bindings_[10].check = chkMuelleimer;
    bindings_[11].check = chkPlayliste;
    bindings_[12].check = chkRechteMaustaste;
    bindings_[13].check = chkPause;
    bindings_[14].text = txtWinAmpPfad;
    bindings_[15].check = chkWindowsBlockieren;
    bindings_[16].list = cmbSchriftgroesse;
}

void frmStart::buildMenu() {
    menuKontext = new QMenu(QStringLiteral("&Kontext"), this);
    auto entry = [this](const char* caption, const char* proc, void (frmStart::*target)()) {
        QAction* a = menuKontext->addAction(QString::fromUtf8(caption));
        connect(a, &QAction::triggered, this, [this, proc, target] {
            platform::guardEvent("frmStart", proc, [&] { (this->*target)(); });
        });
        return a;
    };
    menuBeenden = entry("&Beenden", "menuBeenden_Click", &frmStart::menuBeenden_Click);
    menuKontext->addSeparator();
    menuTags = entry("&MP3-Tags editieren", "menuTags_Click", &frmStart::menuTags_Click);
    menuKontext->addSeparator();
    menuLoeschen = entry("&Löschen", "menuLoeschen_Click", &frmStart::menuLoeschen_Click);
    menuKontext->addSeparator();
    menuExplorerAnzeigen = entry("&Explorer anzeigen", "menuExplorerAnzeigen_Click", &frmStart::menuExplorerAnzeigen_Click);
    menuKontext->addSeparator();
    menuNeuEinlesen = entry("&Neu einlesen", "menuNeuEinlesen_Click", &frmStart::menuNeuEinlesen_Click);
    menuKontext->addSeparator();
    menuZurueck = entry("&Zurück", "menuZurück_Click", &frmStart::menuZurueck_Click);
}

// A loaded dialog starts from the controls' initial state, as a fresh window would.
void frmStart::resetControls() {
    for (QCheckBox* c : {chkZufall, chkPlayliste, chkPlaylistDoppelklick, chkFenster, chkSmilie, chkMuelleimer, chkPause,
                         chkRechteMaustaste, chkWindowsBlockieren}) {
        const QSignalBlocker b(c);
        c->setChecked(false);
    }
    for (QComboBox* c : {cmbAnzahl, cmbSchriftgroesse}) {
        const QSignalBlocker b(c);
        c->clear();
    }
    for (QLineEdit* t : {Text1, txtPasswort, txtWinAmpPfad}) {
        const QSignalBlocker b(t);
        t->clear();
    }
    {
        const QSignalBlocker b(Slider1);
        Slider1->setValue(SliderMin);
    }
    PicFarbe->setBackColor(platform::vbButtonFace);
    PicHintergrundfarbe->setBackColor(platform::vbButtonFace);
    Label2->clear();
    Label2->setHidden(false);
    lblGefunden->clear();
    cmdOK->setEnabled(true);
}

void frmStart::Form_Load() {
    loaded_ = true;
    resetControls();
    AutostartZaehler = 0;
    TimerAutostart->setEnabled(false);
    TimerAutostart->setEnabled(!autostartOff_);

    lblAbbrechen->setHidden(true);
    programFolder_ = platform::appPath();
    Label1->setText(QStringLiteral("Folgenden Ordner samt Unterordnern nach MP3-Dateien durchsuchen:"));
    {
        // Filling a list selects nothing.
        const QSignalBlocker b(cmbAnzahl);
        cmbAnzahl->addItem(QStringLiteral("unbegrenzt"));
        for (int i = 1; i <= 10; ++i) cmbAnzahl->addItem(QString::number(i));
        cmbAnzahl->setCurrentIndex(-1);
    }
    {
        const QSignalBlocker b(cmbSchriftgroesse);
        for (const char* s : {"8", "10", "12", "18"}) cmbSchriftgroesse->addItem(QString::fromLatin1(s));
        cmbSchriftgroesse->setCurrentIndex(-1);
    }
    for (int i = 0; i < static_cast<int>(Table.size()); ++i) loadSetting(i);

    const float widthPx = static_cast<float>(platform::screenWidthTwips()) / platform::TwipsPerPixel;
    const float heightPx = static_cast<float>(platform::screenHeightTwips()) / platform::TwipsPerPixel;
    // The warning must not hold the countdown of a kiosk that nobody watches: it stays
    // open beside the dialog, and a hand-over closes it.
    ladeHinweiseSchliessen();
    if (widthPx < 1024 || heightPx < 768)
        aufloesungsWarnung_ = platform::showMessage(
            this, QStringLiteral("Dieses Programm benötigt mindestens eine Auflösung von 1024 x 768 Pixel!"),
            platform::vbExclamation);
    lesefehlerMelden();
}

void frmStart::ladeHinweiseSchliessen() {
    for (const QPointer<QWidget>& box : {aufloesungsWarnung_, lesefehlerHinweis_})
        if (box) box->close();
}

void frmStart::lesefehlerMelden() {
    const std::optional<platform::SettingsUnreadable> u = platform::settingsUnreadable(platform::appTitle());
    if (!u || lesefehlerGemeldet_) return;
    lesefehlerGemeldet_ = true;
    const QString datei = platform::settingsFile(platform::appTitle());
    ErrPtnr::LogFehler(QStringLiteral("Einstellungen nicht lesbar, Standardeinstellungen geladen: \"") + datei +
                           QStringLiteral("\" (") + u->reason + QLatin1Char(')'),
                       u->number, platform::errorDescription(u->number));
    // Like the screen-size warning it holds neither the load nor the countdown.
    lesefehlerHinweis_ = platform::showMessage(
        this,
        QStringLiteral("Die Einstellungen konnten nicht aus der Datei '") + datei + QStringLiteral("' gelesen werden: ") +
            u->reason +
            QStringLiteral(".\r\nDas Programm startet mit den Standardeinstellungen: Die Passwortsperre ist aus, die "
                           "Lieder kommen aus dem Standardordner '") +
            defaultText(0) +
            QStringLiteral("'.\r\nIn diesem Lauf wird keine Einstellung gespeichert, auch keine Änderung in diesem "
                           "Fenster; die Datei bleibt unverändert."),
        platform::vbExclamation);
}

QString frmStart::defaultText(int index) const {
    if (index == 0) return musicFolder();
    if (index == 14) return Backslash(programFolder_) + QStringLiteral("/winamp/winamp.exe");
    return QString::fromLatin1(FixedDefaults[index]);
}

void frmStart::loadSetting(int index) {
    const QString deflt = defaultText(index);
    const QString s = platform::GetSetting(platform::appTitle(), QString::fromLatin1(Section),
                                           QString::fromLatin1(Table[index].name), deflt);
    const Binding& b = bindings_[index];
    switch (Table[index].kind) {
    case Kind::Text: b.text->setText(s); break;
    case Kind::CheckBox: b.check->setChecked(checkBoxFromText(s, deflt) == 1); break;
    case Kind::Colour: b.colour->setBackColor(colourFromText(s, colourFromText(deflt, 0))); break;
    case Kind::Slider:
        b.slider->setValue(numberFromText(s, SliderMin, SliderMax, numberFromText(deflt, SliderMin, SliderMax, 0)));
        break;
    case Kind::List: {
        const int last = b.list->count() - 1;
        b.list->setCurrentIndex(numberFromText(s, 0, last, numberFromText(deflt, 0, last, 0)));
        break;
    }
    }
}

QString frmStart::storedText(int index) const {
    const Binding& b = bindings_[index];
    switch (Table[index].kind) {
    case Kind::Text: return b.text->text();
    case Kind::CheckBox: return b.check->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    case Kind::Colour: return QString::number(b.colour->BackColor());
    case Kind::Slider: return QString::number(b.slider->value());
    case Kind::List: return QString::number(b.list->currentIndex());
    }
    return QString();
}

void frmStart::EinstellungenSpeichern(int count) {
    const int n = std::min<int>(count, static_cast<int>(Table.size()));
    QList<QPair<QString, QString>> werte;
    for (int i = 0; i < n; ++i) werte.append({QString::fromLatin1(Table[i].name), storedText(i)});
    if (platform::SaveSettings(platform::appTitle(), QString::fromLatin1(Section), werte)) return;
    const QString datei = platform::settingsFile(platform::appTitle());
    if (const auto u = platform::settingsUnreadable(platform::appTitle())) {
        // The store refused to write over a file that it could not read; the load has told the operator.
        ErrPtnr::LogLine(QStringLiteral("Einstellungen nicht gespeichert: \"") + datei +
                         QStringLiteral("\" war beim Start nicht lesbar (") + u->reason +
                         QStringLiteral(") und bleibt bis zum Programmende unverändert"));
        return;
    }
    std::fprintf(stderr, "melotra: settings not saved to %s\n", qPrintable(datei));
    // The kiosk runs on with the settings of this dialog; an unattended start must not wait for a box.
    if (speicherfehlerGemeldet_ || countdownOK_) return;
    speicherfehlerGemeldet_ = true;
    platform::MsgBox(QStringLiteral("Die Einstellungen konnten nicht in der Datei '") + datei +
                         QStringLiteral("' gespeichert werden!\r\nSie gelten nur bis zum Programmende."),
                     platform::vbExclamation);
}

void frmStart::Form_Activate() {
    Label2->clear();
    lblGefunden->clear();
}

void frmStart::AutostartZuruecksetzen() {
    AutostartZaehler = 0;
    Label2->setHidden(true);
    lblAbbrechen->setHidden(true);
}

void frmStart::Unload() {
    TimerAutostart->setEnabled(false);
    ladeHinweiseSchliessen();
    loaded_ = false;
}

void frmStart::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // OK holds the focus when the dialog opens, also after a hand-over had disabled it.
    if (cmdOK->isEnabled()) cmdOK->setFocus();
    if (!e->spontaneous()) platform::guardEvent("frmStart", "Form_Activate", [this] { Form_Activate(); });
}

void frmStart::closeEvent(QCloseEvent* e) {
    // The close box is "Beenden": not while the dialog shows a hand-over.
    if (e->spontaneous() && !cmdBeenden->isEnabled()) {
        e->ignore();
        return;
    }
    // Closing unloads the dialog; the widget stays, since other forms read its controls.
    e->accept();
    Unload();
}

void frmStart::reject() {
    // Escape does nothing: the dialog has no cancel button.
}

void frmStart::keyPressEvent(QKeyEvent* e) {
    // Neither Enter nor Escape stands for a button here.
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape: e->accept(); return;
    default: QDialog::keyPressEvent(e);
    }
}

bool frmStart::eventFilter(QObject* watched, QEvent* e) {
    if (watched != txtPasswort || e->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, e);
    auto* k = static_cast<QKeyEvent*>(e);
    int16_t shift = 0;
    if (k->modifiers() & Qt::ShiftModifier) shift |= 1;
    if (k->modifiers() & Qt::ControlModifier) shift |= 2;
    if (k->modifiers() & Qt::AltModifier) shift |= 4;
    platform::guardEvent("frmStart", "txtPasswort_KeyDown",
                         [&] { txtPasswort_KeyDown(static_cast<int16_t>(k->key() & 0x7FFF), shift); });

    // Only keys that type a character reach the filter; Tab moves the focus, Delete edits,
    // and a paste key leaves its text to the box's own filter.
    if (k->matches(QKeySequence::Paste)) return false;
    int code = -1;
    if (k->key() == Qt::Key_Backspace)
        code = 8;
    else if (k->key() != Qt::Key_Tab && k->key() != Qt::Key_Backtab && k->key() != Qt::Key_Delete && !k->text().isEmpty())
        code = k->text().at(0).unicode();
    if (code < 0) return false;
    int16_t keyAscii = static_cast<int16_t>(code);
    platform::guardEvent("frmStart", "txtPasswort_KeyPress", [&] { txtPasswort_KeyPress(keyAscii); });
    return keyAscii == 0;
}

void frmStart::txtPasswort_KeyDown(int16_t, int16_t) { AutostartZuruecksetzen(); }

void frmStart::txtPasswort_KeyPress(int16_t& KeyAscii) {
    if (passwordCharAllowed(KeyAscii)) return;
    KeyAscii = 0;
    platform::beep();
}

void frmStart::lblAbbrechen_Click() { AutostartZuruecksetzen(); }

// The lists take no typed text, so this stays quiet; it is kept for symmetry with Click.
void frmStart::cmbAnzahl_Change() { AutostartZuruecksetzen(); }

void frmStart::cmdDurchsuchen_Click() {
    AutostartZuruecksetzen();
    // Opened where the folder text points, not where the program was started.
    const QString folder = GetFolder(this, QStringLiteral("Ordner wählen"), 0, Text1->text());
    if (!folder.isEmpty()) Text1->setText(folder);
}

void frmStart::cmdFarbe_Click(int16_t Index) {
    AutostartZuruecksetzen();
    ColourSwatch* swatch = Index == 0 ? PicFarbe : PicHintergrundfarbe;
    const std::optional<int32_t> chosen = platform::pickColor(this, swatch->BackColor());
    if (!chosen) return;
    if (tooDark(*chosen)) {
        platform::MsgBox(tooDarkMessage(Index), platform::vbExclamation);
        return;
    }
    swatch->setBackColor(*chosen);
}

bool frmStart::refuseDarkColours() {
    const std::array<ColourSwatch*, 2> swatches{PicFarbe, PicHintergrundfarbe};
    for (int i = 0; i < 2; ++i) {
        if (!tooDark(swatches[i]->BackColor())) continue;
        platform::MsgBox(tooDarkMessage(i), platform::vbExclamation);
        return true;
    }
    return false;
}

void frmStart::cmdOK_Click() {
    // Pressed by the countdown, nobody may be there: each box and error dialog of the hand-over answers itself.
    std::optional<platform::UnattendedMessages> unbeaufsichtigt;
    if (countdownOK_) unbeaufsichtigt.emplace(UnattendedBoxMs);
    ladeHinweiseSchliessen();
    AutostartZuruecksetzen();
    if (trimBlanks(Text1->text()).isEmpty()) {
        platform::MsgBox(QStringLiteral("Bitte einen gültigen Pfad für die Lieder angeben!"), platform::vbExclamation);
        return;
    }
    if (refuseDarkColours()) return;
    TimerAutostart->setEnabled(false);
    autostartOff_ = true;
    bool gezeigt = false;
    {
        // While the dialog shows the hand-over, no button of it may run in its middle.
        const HandOverLock lock({cmdOK, cmdBeenden, cmdAbbrechen});
        EinstellungenSpeichern();
        Label2->setHidden(false);
        Label2->setText(QStringLiteral("Die Oberfläche wird erstellt. Bitte warten..."));
        platform::pumpEvents();
        gezeigt = mainScreenHandOver();
    }
    // The dialog is hidden now. One opened again during the long length pass gets
    // working buttons: its OK runs a new hand-over with a pass of its own.
    if (!gezeigt) return;
    // The kiosk is up: boxes from here on belong to its guests and its operator.
    unbeaufsichtigt.reset();
    mainScreenLengths();
}

void frmStart::cmdAbbrechen_Click() {
    // The operator has chosen: the countdown must not hand over behind the kiosk later.
    TimerAutostart->setEnabled(false);
    autostartOff_ = true;
    ladeHinweiseSchliessen();
    AutostartZuruecksetzen();
    EinstellungenSpeichern(4);
    mainScreenWithoutScan();
}

void frmStart::cmdBeenden_Click() { close(); }

bool frmStart::modalOffen() const {
    if (platform::dialogOpen() || QApplication::activePopupWidget()) return true;
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != this;
}

void frmStart::TimerAutostart_Timer() {
    // A modal window or the operator menu holds the operator: those seconds are not idle.
    if (modalOffen()) return;
    ++AutostartZaehler;
    if (AutostartZaehler >= 30) {
        Label2->setHidden(false);
        lblAbbrechen->setHidden(false);
        Label2->setText(countdownText(40 - AutostartZaehler));
    }
    if (AutostartZaehler >= 40) {
        if (cmdOK->isEnabled()) {
            const QScopedValueRollback<bool> countdown(countdownOK_, true);
            cmdOK_Click();
        }
        AutostartZuruecksetzen();
        TimerAutostart->setEnabled(false);
    }
}
