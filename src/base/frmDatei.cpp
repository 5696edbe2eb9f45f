// The file-watch window of frmDatei.
#include "base/frmDatei.h"

#include "base/ErrPtnr.h"
#include "base/ErrorHandler.h"
#include "platform/dialogs.h"
#include "platform/guard.h"
#include "platform/program.h"
#include "platform/runtime.h"
#include "platform/settingsstore.h"
#include "platform/vbtimer.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace {

frmDatei* g_instance = nullptr;
const QString kForm = QStringLiteral("frmDatei");

// The modification time, or an invalid time for a file that is not there.
QDateTime modificationTime(const QString& path) {
    const QFileInfo fi(path);
    return fi.isFile() ? fi.lastModified() : QDateTime();
}

}  // namespace

frmDatei& frmDatei::instance() {
    if (!g_instance) {
        g_instance = new frmDatei();
        g_instance->Form_Load();
    }
    return *g_instance;
}

bool frmDatei::loaded() { return g_instance != nullptr; }

void frmDatei::unload() {
    delete g_instance;
    g_instance = nullptr;
}

frmDatei::frmDatei() : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(QStringLiteral("Datei Inspektor"));
    Label1 = new QLabel(QStringLiteral("Zu überwachende Datei:"), this);
    Label1->setGeometry(8, 8, 384, 17);
    Text1 = new QLineEdit(this);
    Text1->setGeometry(8, 28, 304, 23);
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setGeometry(320, 27, 72, 25);
    setFixedSize(400, 60);
    if (const QScreen* s = QGuiApplication::primaryScreen()) move(s->geometry().center() - rect().center());
    Timer1 = new platform::VbTimer(this, 1000, true);
    Timer1->onTimer = [this] { platform::guardEvent("frmDatei", "Timer1_Timer", [this] { Timer1_Timer(); }); };
    connect(Command1, &QPushButton::clicked, this,
            [this] { platform::guardEvent("frmDatei", "Command1_Click", [this] { Command1_Click(); }); });
}

void frmDatei::Form_Load() {
    ErrPtnr::CallStack(QStringLiteral("[frmDatei] Private Sub Form_Load()"));
    withErrorHandler(kForm, QStringLiteral("Form_Load"), [&](ErrorHandler& on) {
        on([&] { Text1->setText(platform::GetSetting(platform::appTitle(), "Data", "File", QString())); });
        on([&] { Command1_Click(); });
    });
}

void frmDatei::Command1_Click() {
    ErrPtnr::CallStack(QStringLiteral("[frmDatei] Private Sub Command1_Click()"));
    Dateizeit = modificationTime(Text1->text());
    platform::SaveSetting(platform::appTitle(), "Data", "File", Text1->text());
}

void frmDatei::Timer1_Timer() {
    ErrPtnr::CallStack(QStringLiteral("[frmDatei] Private Sub Timer1_Timer()"));
    const QString watched = Text1->text();
    if (watched.isEmpty()) return;
    const QDateTime changed = modificationTime(watched);
    if (!changed.isValid() || changed == Dateizeit || FileInUse(watched)) return;
    withErrorHandler(kForm, QStringLiteral("Timer1_Timer"), [&](ErrorHandler& on) {
        on.resumeNext();
        Dateizeit = changed;
        const QFileInfo fi(watched);
        QString proposed;
        on([&] {
            const QString number = QString::number(GetHighestFile(fi.fileName(), fi.absolutePath()) + 1);
            proposed = GetRealString(fi.completeBaseName()) + number;
            if (!fi.suffix().isEmpty()) proposed += QLatin1Char('.') + fi.suffix();
        });
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
        show();
        raise();
        activateWindow();
        std::optional<QString> target;
        on([&] { target = platform::pickSaveFile(this, watched + QStringLiteral(" speichern"), proposed); });
        if (target && !target->isEmpty()) {
            on([&] {
                std::error_code ec;
                std::filesystem::copy_file(watched.toStdString(), target->toStdString(),
                                           std::filesystem::copy_options::overwrite_existing, ec);
                if (ec) platform::raise(75);
            });
        }
        setWindowFlag(Qt::WindowStaysOnTopHint, false);
        show();
        lower();
    });
}

int32_t frmDatei::GetHighestFile(const QString& Filestring, const QString& PathString) {
    ErrPtnr::CallStack(QStringLiteral("[frmDatei] Private Function GetHighestFile(Filestring$, PathString$) As Long"));
    ErrPtnr::CallStackParam(QStringLiteral("PathString$"), PathString);
    ErrPtnr::CallStackParam(QStringLiteral("Filestring$"), Filestring);
    const QFileInfo fi(Filestring);
    QString pattern = GetRealString(fi.completeBaseName()) + QLatin1Char('*');
    if (!fi.suffix().isEmpty()) pattern += QLatin1Char('.') + fi.suffix();
    int32_t nDirs = 0, nFiles = 0;
    QStringList files;
    // Only a listing: the kiosk's archive and the start dialog's count stay out of it.
    ScanReceiver listOnly;
    FindFileWith(listOnly, PathString, pattern, nDirs, nFiles, files, false);
    int32_t highest = 0;
    for (qsizetype i = 1; i < files.size(); ++i) {
        // The number of the name itself, not digits of the folder or the extension.
        const int32_t n = GetRealInteger(QFileInfo(files[i]).completeBaseName());
        if (n > highest) highest = n;
    }
    return highest;
}

QString frmDatei::GetRealString(const QString& RString) {
    ErrPtnr::CallStack(QStringLiteral("[frmDatei] Public Function GetRealString(RString$) As String"));
    ErrPtnr::CallStackParam(QStringLiteral("RString$"), RString);
    QString result;
    return withErrorHandler(kForm, QStringLiteral("GetRealString"), result, [&](ErrorHandler& on) {
        on([&] {
            for (const QChar c : RString)
                if (c < QLatin1Char('0') || c > QLatin1Char('9')) result += c;
        });
    });
}

int16_t frmDatei::GetRealInteger(const QString& RString) {
    ErrPtnr::CallStack(QStringLiteral("[frmDatei] Public Function GetRealInteger(RString$) As Integer"));
    ErrPtnr::CallStackParam(QStringLiteral("RString$"), RString);
    int16_t result = 0;
    return withErrorHandler(kForm, QStringLiteral("GetRealInteger"), result, [&](ErrorHandler& on) {
        on([&] {
            double value = 0;
            for (const QChar c : RString)
                if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) value = value * 10 + (c.unicode() - '0');
            result = platform::CInt(value);
        });
    });
}

bool frmDatei::FileInUse(const QString& FilePath) {
    ErrPtnr::CallStack(QStringLiteral("[frmDatei] Public Function FileInUse(FilePath$) As Boolean"));
    ErrPtnr::CallStackParam(QStringLiteral("FilePath$"), FilePath);
    // Never creates the file; a file that cannot be opened counts as in use.
    const int fd = ::open(FilePath.toUtf8().constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return true;
    bool inUse = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    if (!inUse) {
        // A record lock of another program counts as well.
        struct flock lk {};
        lk.l_type = F_WRLCK;
        lk.l_whence = SEEK_SET;
        inUse = ::fcntl(fd, F_GETLK, &lk) != 0 || lk.l_type != F_UNLCK;
        ::flock(fd, LOCK_UN);
    }
    ::close(fd);
    return inUse;
}
