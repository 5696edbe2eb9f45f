#pragma once
// The program's start and its end on a request from outside.
class QApplication;

// A second start by the same user ends with this status, after a line on standard error
// and a box that closes itself after ZweiterStartBoxMs.
inline constexpr int ZweiterStartStatus = 3;
inline constexpr int ZweiterStartBoxMs = 5000;

// Shows the start dialog and runs the event loop until the program ends; first of all it
// makes sure that no other kiosk of this user runs.
int melotraMain(QApplication& app);
// A signal or the session's end: the main screen closes as by its close box, which saves the
// queue and gives the task bar back; before the hand-over the start dialog closes.
void BeendenVonAussen();
// Routes SIGTERM, SIGINT, SIGHUP and the session's end to BeendenVonAussen.
void EndeVonAussenAbfangen();
