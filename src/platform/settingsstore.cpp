#include "platform/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace platform {
namespace {
QString& folderOverride() {
    static QString f;
    return f;
}
}  // namespace

void setSettingsFolder(const QString& folder) { folderOverride() = folder; }

QString settingsFile(const QString& app) {
    QString base = folderOverride();
    if (base.isEmpty()) base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base + QLatin1Char('/') + app + QLatin1Char('/') + app + QStringLiteral(".ini");
}

QString GetSetting(const QString& app, const QString& section, const QString& key, const QString& deflt) {
    QSettings s(settingsFile(app), QSettings::IniFormat);
    const QVariant v = s.value(section + QLatin1Char('/') + key);
    if (!v.isValid()) return deflt;
    return v.toString();
}

void SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value) {
    const QString path = settingsFile(app);
    QDir().mkpath(QFileInfo(path).absolutePath());
    {
        QSettings s(path, QSettings::IniFormat);
        const QString k = section + QLatin1Char('/') + key;
        // Each write is a safe save with a flush to the disk: a value already stored
        // need not cost one (the hand-over stores all settings every time).
        const QVariant old = s.value(k);
        if (!old.isValid() || old.toString() != value) {
            s.setValue(k, value);
            s.sync();
        }
    }
    // The store holds the lock password in plain text: owner only.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

}  // namespace platform
