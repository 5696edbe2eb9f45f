// Melotra: the start dialog is the program's first window.
#include "platform/app.h"

#include <QApplication>

int melotraMain(QApplication& app);

int main(int argc, char** argv) {
    platform::prepareEnvironment();
    QApplication app(argc, argv);
    platform::installTranslations(app);
    return melotraMain(app);
}
