#include "settings/startup.h"

#include "base/ErrPtnr.h"
#include "base/globals.h"
#include "kiosk/frmMain.h"
#include "platform/dialogs.h"
#include "platform/endsignals.h"
#include "platform/instancelock.h"
#include "settings/frmStart.h"

#include <QApplication>
#include <cstdio>

namespace {
// A request that came before the event loop ran (during the start dialog's load).
bool g_endeVorDerSchleife = false;

// The menus and modal windows that are open, the top one first: the nested loop of each
// returns once it is closed, and the loops that wait go on to the end.
void OffeneFensterSchliessen(const QWidget* ausser = nullptr) {
    for (QWidget* zuletzt = nullptr; QWidget* menue = QApplication::activePopupWidget(); zuletzt = menue) {
        if (menue == zuletzt) break;
        menue->close();
    }
    for (QWidget* zuletzt = nullptr; QWidget* w = QApplication::activeModalWidget(); zuletzt = w) {
        // One that stays open (the error dialog, whose answer ends the run) holds those below it.
        if (w == zuletzt || w == ausser) break;
        w->close();
    }
}
}  // namespace

void BeendenVonAussen() {
    // Nobody may be there: from now on no dialog waits for an answer.
    platform::markEndRequested();
    if (frmMain::loaded()) {
        frmMain::instance().close();
        // The queue is saved: an error dialog that waits ends the run now.
        ErrPtnr::AntwortBeenden();
        OffeneFensterSchliessen();
        return;
    }
    // Before the hand-over nothing is queued and nothing hidden: the start dialog and a box
    // it shows close, a hand-over under way stops before the main screen, and the run ends.
    ProgrammEnde = true;
    g_endeVorDerSchleife = true;
    OffeneFensterSchliessen(frmStart::loaded() ? &frmStart::instance() : nullptr);
    if (frmStart::loaded()) {
        frmStart& s = frmStart::instance();
        s.close();
        // A hidden dialog whose window is gone gets no close event; unload it all the same.
        if (frmStart::loaded()) {
            s.hide();
            s.Unload();
        }
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    ErrPtnr::AntwortBeenden();
}

void EndeVonAussenAbfangen() { platform::catchEndRequests(&BeendenVonAussen); }

namespace {
// Takes the lock of the one kiosk of this user; false (said and shown) when another kiosk holds it.
bool EinzigerKiosk(platform::InstanceLock& sperre) {
    const QString datei = platform::instanceLockFile();
    switch (sperre.take(datei)) {
    case platform::InstanceLock::Result::Taken: return true;
    case platform::InstanceLock::Result::Failed:
        // Without the lock the kiosk still starts: a venue without music is worse than the risk.
        std::fprintf(stderr, "Melotra: Sperrdatei %s %s; ein zweiter Start wird nicht erkannt.\n",
                     qPrintable(datei), qPrintable(sperre.error()));
        return true;
    case platform::InstanceLock::Result::Held: break;
    }
    const QString zeile = QStringLiteral("Melotra läuft bereits") +
                          (sperre.holder() > 0 ? QStringLiteral(" (Prozess %1)").arg(sperre.holder()) : QString()) +
                          QStringLiteral("; ein zweites Melotra wird nicht gestartet.");
    std::fprintf(stderr, "%s\n", qPrintable(zeile));
    // Nobody may be there to answer it (an autostart entry): the box closes itself.
    platform::MsgBoxBeside(zeile, platform::vbExclamation, ZweiterStartBoxMs);
    return false;
}
}  // namespace

int melotraMain(QApplication& app) {
    // Before anything reads or writes the settings, the playlist file or the protocol; held
    // until the process ends, past the last write of the shut-down.
    static platform::InstanceLock sperre;
    if (!EinzigerKiosk(sperre)) return ZweiterStartStatus;
    installErrorReporter();
    EndeVonAussenAbfangen();
    frmStart& s = frmStart::instance();
    if (g_endeVorDerSchleife) return 0;
    s.show();
    return app.exec();
}
