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

// Tests run the program from another folder; this moves the program folder.
void setAppPathOverride(const QString& path);

}  // namespace platform
