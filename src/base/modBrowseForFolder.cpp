#include "base/modBrowseForFolder.h"

#include "base/ErrorHandler.h"
#include "platform/dialogs.h"

#include <QFileInfo>
#include <QWidget>

QString GetFolder(QWidget* hwnd, std::optional<QString> DialogTitle, std::optional<int32_t> IDRoot,
                  std::optional<QString> StartOrdner) {
    ErrPtnr::CallStack(QStringLiteral("[modBrowseForFolder] Public Function GetFolder(hwnd As Long,Optional "
                                      "DialogTitle As String = \"Ordner wählen\",Optional IDRoot As Long = 0,"
                                      "Optional StartOrdner As String) As String"));
    if (StartOrdner) ErrPtnr::CallStackParam(QStringLiteral("StartOrdner"), *StartOrdner);
    if (IDRoot) ErrPtnr::CallStackParam(QStringLiteral("IDRoot"), *IDRoot);
    if (DialogTitle) ErrPtnr::CallStackParam(QStringLiteral("DialogTitle"), *DialogTitle);
    // The window's system handle, when it has one already (asking for it would create it).
    ErrPtnr::CallStackParam(QStringLiteral("hwnd"), hwnd ? static_cast<qulonglong>(hwnd->internalWinId()) : 0ULL);
    QString result;
    return withErrorHandler(QStringLiteral("modBrowseForFolder"), QStringLiteral("GetFolder"), result,
                            [&](ErrorHandler& on) {
                                on([&] {
                                    // Only an existing folder counts as a choice.
                                    const QString chosen =
                                        platform::pickFolder(hwnd, DialogTitle.value_or(QStringLiteral("Ordner wählen")),
                                                             StartOrdner.value_or(QString()));
                                    if (!chosen.isEmpty() && QFileInfo(chosen).isDir()) result = chosen;
                                });
                            });
}
