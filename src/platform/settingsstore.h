#pragma once
// The per-user settings store: string values by application, section and key
// (an INI file per user; the application is the executable's name).
#include <QString>

namespace platform {

QString GetSetting(const QString& app, const QString& section, const QString& key, const QString& deflt = QString());
void SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value);
// Where the store of an application lives (tests look at the file).
QString settingsFile(const QString& app);
// Tests keep their store in a folder of their own.
void setSettingsFolder(const QString& folder);

}  // namespace platform
