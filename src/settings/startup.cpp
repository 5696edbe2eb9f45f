#include "base/ErrPtnr.h"
#include "settings/frmStart.h"

#include <QApplication>

// Shows the start dialog and runs the event loop until the program ends.
int melotraMain(QApplication& app) {
    installErrorReporter();
    frmStart::instance().show();
    return app.exec();
}
