#pragma once
// The folder picker: the chosen folder's full path, or "" for cancel.
#include <QString>
#include <cstdint>
#include <optional>

class QWidget;

// StartOrdner: the folder the picker opens in.
QString GetFolder(QWidget* hwnd, std::optional<QString> DialogTitle = std::nullopt,
                  std::optional<int32_t> IDRoot = std::nullopt, std::optional<QString> StartOrdner = std::nullopt);
