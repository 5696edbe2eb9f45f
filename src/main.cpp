// Melotra: the start dialog is the program's first window.
#include "platform/app.h"
#include "settings/startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    platform::prepareEnvironment();
    QApplication app(argc, argv);
    platform::installTranslations(app);
    return melotraMain(app);
}
