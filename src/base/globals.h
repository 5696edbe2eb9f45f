#pragma once
// The program-wide quit flag: set by the main screen's shut-down, never reset;
// every loop that yields to the event loop stops on it.
extern bool ProgrammEnde;
