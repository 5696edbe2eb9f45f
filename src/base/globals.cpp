#include "base/globals.h"

bool ProgrammEnde = false;
