#pragma once
// Handing a link or a folder to the desktop (the e-mail program, the file manager).
// Tests install an interceptor that records the request instead.
#include <QString>
#include <QUrl>
#include <functional>

namespace platform {

// False when no program took the link.
bool openUrl(const QUrl& url);
bool openFolder(const QString& path);

using ShellInterceptor = std::function<bool(const QUrl&)>;
void setShellInterceptor(ShellInterceptor i);  // empty: the real desktop

}  // namespace platform
