#pragma once
// What every fuzz target shares: an offscreen application, a scratch folder as
// program folder and settings store, and no dialog: any message box or error
// dialog is a finding, since no reader may answer outside bytes with one.
#include "base/Err.h"
#include "base/ErrPtnr.h"
#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/program.h"
#include "platform/settingsstore.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace fuzzsupport {

[[noreturn]] inline void finding(const char* what, const QString& detail = QString()) {
    std::fprintf(stderr, "FINDING: %s %s\n", what, detail.toLocal8Bit().constData());
    std::abort();
}

class NoDialogs : public platform::Answerer {
public:
    int message(const platform::MessageRequest& r) override { finding("message box:", r.prompt); }
    QString folder(const QString&, const QString&) override { finding("folder picker"); }
    std::optional<int32_t> color(int32_t) override { finding("colour dialog"); }
    std::optional<QString> saveFile(const QString&, const QString&) override { finding("save dialog"); }
};

// The scratch folder, made once per process and removed when the process ends.
inline const QString& scratch() {
    static const QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/melotra-fuzz-XXXXXX"));
    static const QString path = dir.path();
    if (!dir.isValid()) finding("no scratch folder in", QDir::tempPath());
    return path;
}

inline void init() {
    static int argc = 1;
    static char name[] = "melotra-fuzz";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "dummy");
    platform::prepareEnvironment();
    new QApplication(argc, argv);  // lives as long as the process
    platform::setAppPathOverride(scratch());
    platform::setDataPathOverride(scratch() + QStringLiteral("/data"));
    platform::setSettingsFolder(scratch() + QStringLiteral("/config"));
    static NoDialogs noDialogs;
    platform::setAnswerer(&noDialogs);
    ErrPtnr::setAnswerHook([](ErrPtnr&) -> int {
        finding("error dialog:", QString::number(Err().Number) + QLatin1Char(' ') + Err().Description);
    });
}

inline QString writeFile(const QString& name, const uint8_t* data, size_t size) {
    const QString path = scratch() + QLatin1Char('/') + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) finding("cannot write", path);
    f.write(reinterpret_cast<const char*>(data), qint64(size));
    return path;
}

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) finding("cannot read", path);
    return f.readAll();
}

}  // namespace fuzzsupport
