// frmMain: operator commands.
#include "kiosk/frmMain.h"

void frmMain::connectBefehle() {}
