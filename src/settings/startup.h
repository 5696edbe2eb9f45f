#pragma once
// The program's start and its end on a request from outside.
class QApplication;

// Shows the start dialog and runs the event loop until the program ends.
int melotraMain(QApplication& app);
// A signal or the session's end: the main screen closes as by its close box, which saves the
// queue and gives the task bar back; before the hand-over the start dialog closes.
void BeendenVonAussen();
// Routes SIGTERM, SIGINT, SIGHUP and the session's end to BeendenVonAussen.
void EndeVonAussenAbfangen();
