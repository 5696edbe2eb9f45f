#pragma once
// The operating system's version, shaped like the version record the error
// protocol reports: major, minor, build, platform id and a NUL-padded text.
#include <QString>
#include <cstdint>
#include <optional>

namespace platform {

struct OsVersion {
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    uint32_t platformId = 0;
    QString csdVersion;  // 128 characters, the text before the first NUL counts
};

// No Windows platform id (0..2) describes this system.
constexpr uint32_t PlatformIdOther = 0xFFFFFFFFu;

// From uname: "6.1.27-amd64" gives 6, 1, build 27; the text is the system name.
OsVersion osVersion();
OsVersion versionFromUname(const QString& sysname, const QString& release);
// Tests fix the values; nothing restores the real ones.
void setOsVersionOverride(std::optional<OsVersion> v);

}  // namespace platform
