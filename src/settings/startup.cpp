#include "settings/startup.h"

#include "base/ErrPtnr.h"
#include "base/globals.h"
#include "kiosk/frmMain.h"
#include "platform/endsignals.h"
#include "settings/frmStart.h"

#include <QApplication>

namespace {
// A request that came before the event loop ran (during the start dialog's load).
bool g_endeVorDerSchleife = false;
}  // namespace

void BeendenVonAussen() {
    if (frmMain::loaded()) {
        frmMain::instance().close();
        // The queue is saved: an error dialog that waits ends the run now.
        ErrPtnr::AntwortBeenden();
        return;
    }
    // Before the hand-over nothing is queued and nothing hidden: the start dialog and a box
    // it shows close, a hand-over under way stops before the main screen, and the run ends.
    ProgrammEnde = true;
    g_endeVorDerSchleife = true;
    if (QWidget* box = QApplication::activeModalWidget(); box && !qobject_cast<frmStart*>(box)) box->close();
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

int melotraMain(QApplication& app) {
    installErrorReporter();
    EndeVonAussenAbfangen();
    frmStart& s = frmStart::instance();
    if (g_endeVorDerSchleife) return 0;
    s.show();
    return app.exec();
}
