#include "platform/sysinfo.h"

#include <QRegularExpression>
#include <sys/utsname.h>

namespace platform {
namespace {
std::optional<OsVersion>& override_() {
    static std::optional<OsVersion> v;
    return v;
}
}  // namespace

void setOsVersionOverride(std::optional<OsVersion> v) { override_() = std::move(v); }

OsVersion versionFromUname(const QString& sysname, const QString& release) {
    OsVersion v;
    v.platformId = PlatformIdOther;
    // Leading numbers only: "6.18.44-fc-v1300" -> 6, 18, 44.
    static const QRegularExpression re(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?"));
    const auto m = re.match(release);
    if (m.hasMatch()) {
        v.major = m.captured(1).toUInt();
        v.minor = m.captured(2).toUInt();
        v.build = m.captured(3).toUInt();
    }
    QString text = sysname.left(127);
    text += QString(128 - text.size(), QChar(0));
    v.csdVersion = text;
    return v;
}

OsVersion osVersion() {
    if (override_()) return *override_();
    utsname u{};
    if (uname(&u) != 0) return versionFromUname(QString(), QString());
    return versionFromUname(QString::fromUtf8(u.sysname), QString::fromUtf8(u.release));
}

}  // namespace platform
