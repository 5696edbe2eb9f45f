#include "platform/shell.h"

#include <QDesktopServices>

namespace platform {
namespace {
ShellInterceptor g_interceptor;
}

void setShellInterceptor(ShellInterceptor i) { g_interceptor = std::move(i); }

bool openUrl(const QUrl& url) {
    if (g_interceptor) return g_interceptor(url);
    return QDesktopServices::openUrl(url);
}

bool openFolder(const QString& path) { return openUrl(QUrl::fromLocalFile(path)); }

}  // namespace platform
