// frmMain: archive sorting, search, navigation and the lock.
#include "kiosk/frmMain.h"

void frmMain::connectSuche() {}
