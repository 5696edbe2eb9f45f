#include "support/testenv.h"

#include "base/Err.h"
#include "base/ErrPtnr.h"
#include "platform/guard.h"
#include "platform/mixer.h"
#include "platform/program.h"
#include "platform/settingsstore.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QSettings>
#include <QFile>
#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <utility>

namespace testenv {
namespace {
QTemporaryDir* g_scratch = nullptr;
QString g_userConfig;
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

QString FakeAnswerer::folder(const QString& title, const QString& start) {
    folderTitles.push_back(title);
    folderStarts.push_back(start);
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

RealDialogs::RealDialogs(std::function<void(QWidget*)> answer) : fake_(platform::answerer()) {
    platform::setAnswerer(nullptr);
    QObject::connect(&timer_, &QTimer::timeout, [answer = std::move(answer)] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) answer(w);
    });
    timer_.start(10);
}

RealDialogs::~RealDialogs() {
    timer_.stop();
    platform::setAnswerer(fake_);
}

void tap(QWidget* w, QPointF at) {
    QMouseEvent down(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &up);
}

FileSizeLimit::FileSizeLimit(long bytes) {
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit r{};
    getrlimit(RLIMIT_FSIZE, &r);
    oldSoft_ = static_cast<long>(r.rlim_cur);
    r.rlim_cur = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &r);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit r{};
    getrlimit(RLIMIT_FSIZE, &r);
    r.rlim_cur = static_cast<rlim_t>(oldSoft_);
    setrlimit(RLIMIT_FSIZE, &r);
    std::signal(SIGXFSZ, oldHandler_);
}

QString programFolder() { return g_scratch->path() + QStringLiteral("/program"); }
QString dataFolder() { return g_scratch->path() + QStringLiteral("/data"); }
QString configFolder() { return g_scratch->path() + QStringLiteral("/config"); }
QString userConfigFolder() { return g_userConfig; }

QString unwritableFolder() {
    const QString file = freshFolder(QStringLiteral("blocked")) + QStringLiteral("/file");
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    return file + QStringLiteral("/folder");
}

QString freshFolder(const QString& name) {
    static int n = 0;
    const QString p = g_scratch->path() + QStringLiteral("/t%1_").arg(++n) + name;
    QDir().mkpath(p);
    return p;
}

void CleanMixer::OnTestStart(const ::testing::TestInfo&) { platform::Mixer::instance().reset(); }

void Environment::SetUp() {
    g_scratch = new QTemporaryDir();
    // What Qt keeps for the user (the file dialog's history, say) goes to the scratch area as
    // well: no test writes into the home folder of whoever runs it.
    const QString home = g_scratch->path() + QStringLiteral("/home");
    g_userConfig = qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME") ? QDir::homePath() + QStringLiteral("/.config")
                                                                  : qEnvironmentVariable("XDG_CONFIG_HOME");
    const std::pair<const char*, QString> folders[] = {{"HOME", home},
                                                       {"XDG_CONFIG_HOME", home + QStringLiteral("/.config")},
                                                       {"XDG_DATA_HOME", home + QStringLiteral("/.local/share")},
                                                       {"XDG_CACHE_HOME", home + QStringLiteral("/.cache")}};
    for (const auto& [name, path] : folders) {
        QDir().mkpath(path);
        qputenv(name, QFile::encodeName(path));
    }
    // Qt notes the settings folder at its first use; set it here whenever that was.
    for (QSettings::Format f : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(f, QSettings::UserScope, home + QStringLiteral("/.config"));
    QDir().mkpath(programFolder());
    platform::setAppPathOverride(programFolder());
    // Whatever the program writes goes to the scratch area, never beside the test binary.
    platform::setDataPathOverride(dataFolder());
    platform::setSettingsFolder(configFolder());
    platform::setAnswerer(&dialogs());
    platform::setEndProgramHandler([](int code) { throw platform::ProgramEnd{code}; });
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

namespace testenv {

WithoutRootFileRights::WithoutRootFileRights() {
    if (::syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct fewer[2] = {saved_[0], saved_[1]};
    for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) fewer[cap / 32].effective &= ~(1u << (cap % 32));
    dropped_ = ::syscall(SYS_capset, &header_, fewer) == 0;
}

WithoutRootFileRights::~WithoutRootFileRights() {
    if (dropped_) ::syscall(SYS_capset, &header_, saved_);
}

}  // namespace testenv
