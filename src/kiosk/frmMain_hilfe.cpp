// frmMain: help tour.
#include "kiosk/frmMain.h"

void frmMain::connectHilfe() {}
