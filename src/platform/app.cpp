#include "platform/app.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace platform {

void dropRelativeXdgFolders() {
    // The XDG rules: a relative path in these is invalid and ignored. Taken as it stands it
    // would be relative to the working folder, and the settings and the playlist would move with it.
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        if (qEnvironmentVariableIsSet(name) && !QDir::isAbsolutePath(qEnvironmentVariable(name))) qunsetenv(name);
}

void prepareEnvironment() {
    dropRelativeXdgFolders();
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qputenv("QT_FONT_DPI", "96");
    qputenv("QT_SCALE_FACTOR", "1");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

void installTranslations(QApplication& app) {
    static QTranslator qt;
    if (qt.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qt);
}

}  // namespace platform
