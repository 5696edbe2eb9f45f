// frmMain: playlist editing, keys and pointer.
#include "kiosk/frmMain.h"

void frmMain::connectBearbeiten() {}
