#include "support/testenv.h"

#include "base/Err.h"
#include "base/ErrPtnr.h"
#include "platform/guard.h"
#include "platform/mixer.h"
#include "platform/program.h"
#include "platform/settingsstore.h"

#include <QDir>
#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace testenv {
namespace {
QTemporaryDir* g_scratch = nullptr;
int g_defaultAnswer = 2;
}  // namespace

int FakeAnswerer::message(const platform::MessageRequest& r) {
    messages.push_back(r);
    if (duringDialog) duringDialog();
    if (!messageAnswers.empty()) {
        const int a = messageAnswers.front();
        messageAnswers.pop_front();
        return a;
    }
    return r.buttons() == platform::vbYesNo ? platform::vbYes : platform::vbOK;
}

QString FakeAnswerer::folder(const QString& title) {
    folderTitles.push_back(title);
    if (duringDialog) duringDialog();
    if (folderAnswers.empty()) return QString();
    QString a = folderAnswers.front();
    folderAnswers.pop_front();
    return a;
}

std::optional<int32_t> FakeAnswerer::color(int32_t) {
    if (duringDialog) duringDialog();
    if (colorAnswers.empty()) return std::nullopt;
    auto a = colorAnswers.front();
    colorAnswers.pop_front();
    return a;
}

std::optional<QString> FakeAnswerer::saveFile(const QString&, const QString&) {
    if (duringDialog) duringDialog();
    if (saveAnswers.empty() || !saveAnswers.front()) {
        if (!saveAnswers.empty()) saveAnswers.pop_front();
        return std::nullopt;
    }
    QString a = *saveAnswers.front();
    saveAnswers.pop_front();
    return a;
}

void FakeAnswerer::reset() { *this = FakeAnswerer(); }

FakeAnswerer& dialogs() {
    static FakeAnswerer a;
    return a;
}

std::vector<ReportedError>& reportedErrors() {
    static std::vector<ReportedError> v;
    return v;
}

void setDefaultErrorAnswer(int answer) { g_defaultAnswer = answer; }

QString programFolder() { return g_scratch->path() + QStringLiteral("/program"); }

QString freshFolder(const QString& name) {
    static int n = 0;
    const QString p = g_scratch->path() + QStringLiteral("/t%1_").arg(++n) + name;
    QDir().mkpath(p);
    return p;
}

void CleanMixer::OnTestStart(const ::testing::TestInfo&) { platform::Mixer::instance().reset(); }

void Environment::SetUp() {
    g_scratch = new QTemporaryDir();
    QDir().mkpath(programFolder());
    platform::setAppPathOverride(programFolder());
    platform::setSettingsFolder(g_scratch->path() + QStringLiteral("/config"));
    platform::setAnswerer(&dialogs());
    platform::setEndProgramHandler([](int) { throw platform::ProgramEnd{}; });
    installErrorReporter();
    ErrPtnr::setAnswerHook([](ErrPtnr& d) {
        ReportedError e{Err().Number, Err().Description, QString(), QString()};
        if (d.lblError[1]) e.module = d.lblError[1]->text();
        if (d.lblError[2]) e.procedure = d.lblError[2]->text();
        reportedErrors().push_back(e);
        return g_defaultAnswer;
    });
}

void Environment::TearDown() {
    delete g_scratch;
    g_scratch = nullptr;
}

}  // namespace testenv
