#pragma once
// Program identity: the executable's name and folder, the version, build-time settings.
#include <QString>

namespace platform {

QString appTitle();    // executable name without extension (App.Title / App.EXEName)
QString appPath();     // folder of the executable, without a trailing "/"
int versionMajor();
int versionMinor();
int versionRevision();
QString supportEmail();  // as configured, surrounding blanks kept
bool ideModeBuild();

// The user's data folder, where the program writes its files (the playlist, the error
// protocols): $XDG_DATA_HOME/<name>, by default ~/.local/share/<name>, without a trailing
// "/"; made when missing. The program folder may belong to another user.
QString dataPath();

// Tests run the program from another folder; this moves the program folder.
void setAppPathOverride(const QString& path);
// Tests keep the data folder in their scratch area.
void setDataPathOverride(const QString& path);

}  // namespace platform
