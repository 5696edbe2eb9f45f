// frmMain: game and information openers, idle timer.
#include "kiosk/frmMain.h"

void frmMain::connectOeffner() {}
