#include "platform/program.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {
namespace {
QString& pathOverride() {
    static QString p;
    return p;
}
QString& dataOverride() {
    static QString p;
    return p;
}
}  // namespace

QString appTitle() {
    QString n = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (n.isEmpty()) n = QStringLiteral("melotra");
    return n;
}

QString appPath() {
    if (!pathOverride().isEmpty()) return pathOverride();
    QString p = QCoreApplication::applicationDirPath();
    while (p.size() > 1 && p.endsWith(QLatin1Char('/'))) p.chop(1);
    return p;
}

void setAppPathOverride(const QString& path) { pathOverride() = path; }
void setDataPathOverride(const QString& path) { dataOverride() = path; }

QString dataPath() {
    QString p = dataOverride();
    if (p.isEmpty())
        p = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/') + appTitle();
    while (p.size() > 1 && p.endsWith(QLatin1Char('/'))) p.chop(1);
    // A folder that cannot be made shows when its files are written.
    QDir().mkpath(p);
    return p;
}

int versionMajor() { return MELOTRA_VERSION_MAJOR; }
int versionMinor() { return MELOTRA_VERSION_MINOR; }
int versionRevision() { return MELOTRA_VERSION_REVISION; }
QString supportEmail() { return QStringLiteral(MELOTRA_SUPPORT_EMAIL); }
bool ideModeBuild() { return MELOTRA_IDE_MODE != 0; }

}  // namespace platform
