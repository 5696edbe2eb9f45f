#pragma once
// The per-user settings store: string values by application, section and key
// (an INI file per user; the application is the executable's name).
//
// Values are read as they stand after "=", blanks around them dropped: a folder
// written by hand as "Pfad=/srv/Musik/Rock, Pop" is that folder. A value between
// quotation marks is read with backslash escapes; so is a "\\" or "\"" in files of
// earlier versions. The writer quotes what would not read back otherwise, and what the
// previous release (Qt's INI reader) would misread: values holding "," ";" or a quotation mark.
// The file is UTF-8; a line in Windows-1252 (from an older installation, or an editor) reads as
// that, the other lines as UTF-8. UTF-16 with a byte-order mark reads too; a save writes UTF-8.
// It holds the lock password: every reading and writing leaves it to its owner alone.
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

namespace platform {

// A store that exists but cannot be read: no read permission, a folder, a pipe, a device, more
// than 1 MiB. Its values read as their defaults, and the file is left alone until the program
// ends: no save writes over it (SaveSettings gives false).
struct SettingsUnreadable {
    int number;      // 70 for a missing permission, 75 otherwise
    QString reason;  // German, as in "kein Leserecht", "sie ist ein Ordner"
};
// Why the store of an application cannot be read; nothing when it was read or is missing (first start).
std::optional<SettingsUnreadable> settingsUnreadable(const QString& app);

QString GetSetting(const QString& app, const QString& section, const QString& key, const QString& deflt = QString());
// False when the store could not be written (folder not writable, disk full) or not read; it is then as it was.
bool SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value);
// Several values at once, in one write.
bool SaveSettings(const QString& app, const QString& section, const QList<QPair<QString, QString>>& values);
// Where the store of an application lives (tests look at the file).
QString settingsFile(const QString& app);
// Tests keep their store in a folder of their own; a new folder forgets the unreadable stores.
void setSettingsFolder(const QString& folder);

// The text of one value as the store reads it and writes it (the part after "=").
QString settingValueFromText(const QString& text);
QString settingValueToText(const QString& value);

}  // namespace platform
