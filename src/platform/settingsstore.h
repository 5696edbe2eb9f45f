#pragma once
// The per-user settings store: string values by application, section and key
// (an INI file per user; the application is the executable's name).
//
// Values are read as they stand after "=", blanks around them dropped: a folder
// written by hand as "Pfad=/srv/Musik/Rock, Pop" is that folder. A value between
// quotation marks is read with backslash escapes; so is a "\\" or "\"" in files of
// earlier versions. The writer quotes only what would not read back otherwise.
#include <QList>
#include <QPair>
#include <QString>

namespace platform {

QString GetSetting(const QString& app, const QString& section, const QString& key, const QString& deflt = QString());
// False when the store could not be written (folder not writable, disk full); it is then as it was.
bool SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value);
// Several values at once, in one write.
bool SaveSettings(const QString& app, const QString& section, const QList<QPair<QString, QString>>& values);
// Where the store of an application lives (tests look at the file).
QString settingsFile(const QString& app);
// Tests keep their store in a folder of their own.
void setSettingsFolder(const QString& folder);

// The text of one value as the store reads it and writes it (the part after "=").
QString settingValueFromText(const QString& text);
QString settingValueToText(const QString& value);

}  // namespace platform
