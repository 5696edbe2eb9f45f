#include "catalogue/frmMP3Tags.h"

#include "base/ErrPtnr.h"
#include "base/ErrorHandler.h"
#include "catalogue/modMP3Tags.h"
#include "platform/dialogs.h"
#include "platform/fonts.h"
#include "platform/dialogs.h"
#include "platform/guard.h"
#include "platform/runtime.h"
#include "platform/input.h"
#include "platform/toplevel.h"
#include "platform/twips.h"
#include "platform/twipsgeom.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
frmMP3Tags* g_instance = nullptr;
frmMP3Tags::ModalHook g_hook;

const QString kModule = QStringLiteral("frmMP3Tags");

constexpr int16_t vbKeyUp = 38;
constexpr int16_t vbKeyDown = 40;
}  // namespace

frmMP3Tags& frmMP3Tags::instance() {
    if (!g_instance) g_instance = new frmMP3Tags;
    return *g_instance;
}

bool frmMP3Tags::loaded() { return g_instance != nullptr; }

void frmMP3Tags::unload() {
    if (!g_instance) return;
    if (g_instance->inModal_) {
        // Destroyed by ShowModal once its loop has returned.
        g_instance->Unload();
        return;
    }
    delete g_instance;
    g_instance = nullptr;
}

void frmMP3Tags::setModalHook(ModalHook h) { g_hook = std::move(h); }

frmMP3Tags::frmMP3Tags() : QDialog(nullptr) {
    setWindowTitle(QStringLiteral("MP3-Tag Editor"));
    setFont(platform::vbFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(platform::twipsToPx(7290), platform::twipsToPx(2745));
    setModal(true);
    platform::bringToFrontWhenShown(this);
    buildControls();
}

void frmMP3Tags::buildControls() {
    using platform::setTwGeometry;
    auto label = [this](const char* caption, int top) {
        auto* l = new QLabel(QString::fromUtf8(caption), this);
        setTwGeometry(l, 240, top, 915, 255);
        return l;
    };
    auto text = [this](int top) {
        auto* t = new QLineEdit(this);
        setTwGeometry(t, 1260, top, 5895, 345);
        t->installEventFilter(this);
        return t;
    };
    Label1 = label("Titel:", 600);
    Text1 = text(540);
    Label2 = label("Interpret:", 1080);
    Text2 = text(1020);
    Label3 = label("Genre:", 1560);
    ComboGenre = new QComboBox(this);
    setTwGeometry(ComboGenre, 1260, 1500, 5895, 315);
    ComboGenre->setEditable(false);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    setTwGeometry(cmdOK, 5580, 2040, 1575, 495);
    cmdAbbrechen = new QPushButton(QStringLiteral("&Abbrechen"), this);
    setTwGeometry(cmdAbbrechen, 3480, 2040, 1575, 495);
    Label4 = label("Datei:", 120);
    txtDatei = text(60);

    // Enter presses OK wherever the focus is; Escape goes through reject().
    cmdOK->setDefault(true);
    cmdAbbrechen->setAutoDefault(false);
    connect(cmdOK, &QPushButton::clicked, this,
            [this] { platform::guardEvent("frmMP3Tags", "cmdOK_Click", [this] { cmdOK_Click(); }); });
    connect(cmdAbbrechen, &QPushButton::clicked, this,
            [this] { platform::guardEvent("frmMP3Tags", "cmdAbbrechen_Click", [this] { cmdAbbrechen_Click(); }); });

    // The path row is at the top but last in the tab order.
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, ComboGenre);
    setTabOrder(ComboGenre, cmdOK);
    setTabOrder(cmdOK, cmdAbbrechen);
    setTabOrder(cmdAbbrechen, txtDatei);
}

frmMP3Tags::Ausgang frmMP3Tags::ShowModal() {
    // Modal: a second showing cannot start while this one runs.
    if (inModal_) return Ausgang::Abgebrochen;
    inModal_ = true;
    const platform::ModalScope modal;
    unloaded_ = false;
    activatedOnce_ = false;
    ausgang_ = Ausgang::Abgebrochen;
    platform::guardEvent("frmMP3Tags", "Form_Load", [this] { Form_Load(); });
    // Filled as the dialog is shown, not when it becomes the active window: a window
    // manager that does not activate new windows (or none) would leave OK with empty
    // fields, and the empty genre would be written as byte 0.
    platform::guardEvent("frmMP3Tags", "Form_Activate", [this] { Form_Activate(); });
    if (g_hook) {
        g_hook(*this);
        if (!unloaded_) Unload();
    } else if (!unloaded_) {
        exec();
    }
    inModal_ = false;
    const Ausgang ausgang = ausgang_;
    // The loop has returned: nothing of this dialog runs any more.
    if (g_instance == this) g_instance = nullptr;
    delete this;
    return ausgang;
}

void frmMP3Tags::Unload() {
    unloaded_ = true;
    if (isVisible()) done(QDialog::Rejected);
}

void frmMP3Tags::Form_Load() {
    ErrPtnr::CallStack(QStringLiteral("[frmMP3Tags] Private Sub Form_Load()"));
    withErrorHandler(kModule, QStringLiteral("Form_Load"), [&](ErrorHandler& on) {
        for (int16_t i = 1; i <= 127; ++i) on([&] { ComboGenre->addItem(GetSongGenreName(i)); });
    });
}

void frmMP3Tags::Form_Activate() {
    ErrPtnr::CallStack(QStringLiteral("[frmMP3Tags] Private Sub Form_Activate()"));
    // Read once per song: coming back from another window (an error dialog, the
    // message of a failed write) keeps what the operator has typed.
    if (activatedOnce_) return;
    activatedOnce_ = true;
    gelesenTitel_ = GetSongName(FileNameString);
    gelesenInterpret_ = GetBand(FileNameString);
    Text1->setText(gelesenTitel_);
    Text2->setText(gelesenInterpret_);
    txtDatei->setText(FileNameString);
    withErrorHandler(kModule, QStringLiteral("Form_Activate"), [&](ErrorHandler& on) {
        on.resumeNext();
        on([&] {
            // "Kein Genre" stands three times: the first one is taken.
            const int i = ComboGenre->findText(GetSongGenre(FileNameString), Qt::MatchExactly);
            if (i >= 0) ComboGenre->setCurrentIndex(i);
        });
    });
    gelesenGenre_ = ComboGenre->currentText();
    Text1->setFocus();
}

void frmMP3Tags::cmdOK_Click() {
    ErrPtnr::CallStack(QStringLiteral("[frmMP3Tags] Private Sub cmdOK_Click()"));
    withErrorHandler(kModule, QStringLiteral("cmdOK_Click"), [&](ErrorHandler& on) {
        // A second press must not write twice.
        on([&] { cmdOK->setEnabled(false); });
        // Only what the operator changed: an untouched field keeps its bytes (NUL
        // padding, a genre byte the table has no name for). The path box is for
        // reading: the writers always take FileNameString.
        TagChanges c;
        if (Text1->text() != gelesenTitel_) c.title = Text1->text();
        if (Text2->text() != gelesenInterpret_) c.artist = Text2->text();
        if (ComboGenre->currentText() != gelesenGenre_) c.genre = ComboGenre->currentText();
        bool geschrieben = false;
        // Said, not hidden; the dialog stays with the operator's texts.
        const auto nichtGeschrieben = [&](const QString& meldung) {
            ausgang_ = Ausgang::Fehlgeschlagen;
            platform::MsgBox(meldung, platform::vbExclamation + platform::vbOKOnly);
            cmdOK->setEnabled(true);
        };
        on([&] {
            try {
                geschrieben = WriteSongTags(FileNameString, c);
                if (!geschrieben)
                    nichtGeschrieben(QStringLiteral("Die Datei \"") + FileNameString +
                                     QStringLiteral("\" hat kein ID3v1-Tag, das geändert werden könnte.\r\n") +
                                     QStringLiteral("Titel, Interpret und Genre wurden nicht geschrieben."));
            } catch (const platform::RuntimeError& e) {
                nichtGeschrieben(QStringLiteral("Die MP3-Tags konnten nicht in die Datei \"") + FileNameString +
                                 QStringLiteral("\" geschrieben werden:\r\n") + e.description());
            }
        });
        if (!geschrieben) return;
        ausgang_ = c.empty() ? Ausgang::Abgebrochen : Ausgang::Geschrieben;
        on([&] { Unload(); });
    });
}

void frmMP3Tags::cmdAbbrechen_Click() {
    ErrPtnr::CallStack(QStringLiteral("[frmMP3Tags] Private Sub cmdAbbrechen_Click()"));
    withErrorHandler(kModule, QStringLiteral("cmdAbbrechen_Click"), [&](ErrorHandler& on) { on([&] { Unload(); }); });
}

namespace {
void selectAllIfEnabled(const QString& proc, QLineEdit* t) {
    withErrorHandler(kModule, proc, [&](ErrorHandler& on) {
        on([&] {
            if (t->isEnabled()) t->setSelection(0, static_cast<int>(t->text().size()));
        });
    });
}
}  // namespace

void frmMP3Tags::Text1_GotFocus() {
    ErrPtnr::CallStack(QStringLiteral("[frmMP3Tags] Private Sub Text1_GotFocus()"));
    selectAllIfEnabled(QStringLiteral("Text1_GotFocus"), Text1);
}

void frmMP3Tags::Text2_GotFocus() {
    ErrPtnr::CallStack(QStringLiteral("[frmMP3Tags] Private Sub Text2_GotFocus()"));
    selectAllIfEnabled(QStringLiteral("Text2_GotFocus"), Text2);
}

// Up and Down walk the fields in their order on screen, top to bottom.
void frmMP3Tags::txtDatei_KeyDown(int16_t KeyCode, int16_t) {
    if (KeyCode == vbKeyDown) Text1->setFocus();
}

void frmMP3Tags::Text1_KeyDown(int16_t KeyCode, int16_t) {
    if (KeyCode == vbKeyUp) txtDatei->setFocus();
    if (KeyCode == vbKeyDown) Text2->setFocus();
}

void frmMP3Tags::Text2_KeyDown(int16_t KeyCode, int16_t) {
    if (KeyCode == vbKeyUp) Text1->setFocus();
    if (KeyCode == vbKeyDown) ComboGenre->setFocus();
}

bool frmMP3Tags::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::FocusIn && (watched == Text1 || watched == Text2)) {
        // The box handles its focus first, so the selection made here stays.
        static_cast<QObject*>(watched)->event(e);
        if (watched == Text1)
            platform::guardEvent("frmMP3Tags", "Text1_GotFocus", [this] { Text1_GotFocus(); });
        else
            platform::guardEvent("frmMP3Tags", "Text2_GotFocus", [this] { Text2_GotFocus(); });
        return true;
    }
    if (e->type() == QEvent::KeyPress && (watched == txtDatei || watched == Text1 || watched == Text2)) {
        const auto* k = static_cast<QKeyEvent*>(e);
        const int16_t code = platform::vbKeyCode(k->key());
        const int16_t shift = platform::vbShift(k->modifiers());
        QWidget* before = focusWidget();
        if (watched == txtDatei)
            platform::guardEvent("frmMP3Tags", "txtDatei_KeyDown", [&] { txtDatei_KeyDown(code, shift); });
        else if (watched == Text1)
            platform::guardEvent("frmMP3Tags", "Text1_KeyDown", [&] { Text1_KeyDown(code, shift); });
        else
            platform::guardEvent("frmMP3Tags", "Text2_KeyDown", [&] { Text2_KeyDown(code, shift); });
        // A key that moved the focus has done its work.
        return focusWidget() != before;
    }
    return QDialog::eventFilter(watched, e);
}

void frmMP3Tags::reject() {
    // Escape and the window's close box act as Abbrechen.
    platform::guardEvent("frmMP3Tags", "cmdAbbrechen_Click", [this] { cmdAbbrechen_Click(); });
}
