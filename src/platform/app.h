#pragma once
// Process set-up shared by the program and the tests: fixed 96 dpi, no high-DPI
// scaling, German Qt dialogs, the error reporter.
class QApplication;

namespace platform {

// Call before constructing the QApplication.
void prepareEnvironment();
// A relative XDG_CONFIG_HOME or XDG_DATA_HOME is dropped from the environment (part of prepareEnvironment).
void dropRelativeXdgFolders();
// Call right after: loads the German Qt translations.
void installTranslations(QApplication& app);

}  // namespace platform
