// The error dialog, its protocol and the files and outputs of the protocol.
#include "base/ErrPtnr.h"

#include "base/Err.h"
#include "base/ErrorHandler.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/endsignals.h"
#include "platform/fonts.h"
#include "platform/guard.h"
#include "platform/printer.h"
#include "platform/program.h"
#include "platform/runtime.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/sysinfo.h"
#include "platform/toplevel.h"
#include "platform/twips.h"
#include "platform/vbtimer.h"
#include "platform/wholefile.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <cstdio>

namespace {
ErrPtnr::AnswerHook g_hook;
ErrPtnr* g_instance = nullptr;

const QString CRLF = QStringLiteral("\r\n");

// The dialog's buttons are narrow: their captions wrap onto two lines as they did
// in the forms runtime, instead of being cut off.
class WrapButton : public QPushButton {
public:
    WrapButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter p(this);
        QStyleOptionButton o;
        initStyleOption(&o);
        o.text.clear();
        p.drawControl(QStyle::CE_PushButton, o);
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        const QRect area = rect().adjusted(2, 1, -2, -1);
        const int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
        QFont f = font();
        // A caption of three lines gets a smaller face rather than being cut.
        while (f.pointSizeF() > 6 && QFontMetrics(f).boundingRect(area, flags, text()).height() > area.height())
            f.setPointSizeF(f.pointSizeF() - 0.5);
        p.setFont(f);
        p.drawText(area, flags, text());
    }
};

// Geometry in twips, relative to the enclosing frame.
void place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(platform::twipsToPx(left), platform::twipsToPx(top), platform::twipsToPx(width),
                   platform::twipsToPx(height));
}

void fill(QWidget* w, QColor background) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, background);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

void textColor(QWidget* w, QColor c) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, c);
    w->setPalette(pal);
}

constexpr int FrameWidth = 7215;
constexpr int ButtonLefts[4] = {240, 2040, 3840, 5640};

QString dateTimeText(const QDateTime& t) {
    return t.toString(QStringLiteral("MM-dd-yyyy")) + QStringLiteral(" / ") + t.toString(QStringLiteral("HH:mm:ss"));
}

// In the user's data folder: the program folder may not be writable.
QString traceFileName(const QString& extension) {
    QString folder = platform::dataPath();
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder + platform::appTitle() + extension;
}

// Appends the text whole or not at all, so the file never ends in the middle of a line.
// The dialog comes up either way.
void appendWhole(const QString& path, const QString& text) {
    try {
        platform::appendWholeFile(path, text.toUtf8());
    } catch (const platform::RuntimeError& e) {
        std::fprintf(stderr, "melotra: error protocol not written to %s: %d %s\n", qPrintable(path), e.number(),
                     qPrintable(e.description()));
    }
}

QString platformName(uint32_t id) {
    switch (id) {
    case 0: return QStringLiteral("Win32s");
    case 1: return QStringLiteral("Windows 95");
    case 2: return QStringLiteral("Windows NT");
    default: return QString();
    }
}
}  // namespace

ErrPtnr::ErrPtnr() : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setModal(true);
    setFont(platform::vbFont(QStringLiteral("MS Sans Serif"), 8));
    // Hidden between errors: each showing must come over the kiosk again.
    platform::bringToFrontWhenShown(this);

    framComment = new QFrame(this);
    place(framComment, 0, 0, FrameWidth, 975);
    fill(framComment, Qt::black);
    lblComment = new QLabel(framComment);
    place(lblComment, 120, 120, 6975, 735);
    lblComment->setWordWrap(true);
    QFont bold = font();
    bold.setBold(true);
    lblComment->setFont(bold);
    textColor(lblComment, Qt::white);

    framFehler = new QGroupBox(QStringLiteral("Fehlerbeschreibung:"), this);
    place(framFehler, 0, 0, FrameWidth, 1575);
    Label1 = new QLabel(QStringLiteral(" ! "), framFehler);
    place(Label1, 90, 240, 705, 900);
    Label1->setFont(platform::vbFont(QStringLiteral("Arial"), 36, true));
    textColor(Label1, Qt::red);
    const QString titles[4] = {QStringLiteral("Fehler-Nr:"), QStringLiteral("Modul:"), QStringLiteral("Prozedur:"),
                               QStringLiteral("Zeilen-Nr.:")};
    const int tops[4] = {240, 720, 960, 1200};
    for (int i = 0; i < 4; ++i) {
        lblErrTitel[i] = new QLabel(titles[i], framFehler);
        place(lblErrTitel[i], 960, tops[i], 1005, 255);
        lblError[i] = new QLabel(framFehler);
        place(lblError[i], 2040, tops[i], 5055, 255);
        fill(lblError[i], Qt::white);
    }

    framProtocol = new QGroupBox(QStringLiteral("Fehlerprotokoll ..."), this);
    place(framProtocol, 0, 0, FrameWidth, 735);
    const QString protocolCaptions[4] = {QStringLiteral("&Drucken"), QStringLiteral("&Speichern"),
                                         QStringLiteral("&EMail"), QStringLiteral("&WWW")};
    for (int i = 0; i < 4; ++i) {
        cmdProtocol[i] = new WrapButton(protocolCaptions[i], framProtocol);
        place(cmdProtocol[i], ButtonLefts[i], 240, 1335, 375);
        connect(cmdProtocol[i], &QPushButton::clicked, this, [this, i] {
            platform::guardEvent("ErrPtnr", "cmdProtocol_Click", [&] { cmdProtocol_Click(static_cast<int16_t>(i)); });
        });
    }

    framCallStack = new QGroupBox(QStringLiteral("CallStack:"), this);
    place(framCallStack, 0, 0, FrameWidth, 1695);
    lstCallStack = new QListWidget(framCallStack);
    place(lstCallStack, 120, 240, 6975, 1395);

    framContinue = new QGroupBox(QStringLiteral("Weiterer Programmablauf..."), this);
    place(framContinue, 0, 0, FrameWidth, 855);
    const QString continueCaptions[4] = {QStringLiteral("Befehl wieder&holen"),
                                         QStringLiteral("Fortsetzen mit &nächsten Befehl"),
                                         QStringLiteral("&Prozedur verlassen"), QStringLiteral("Programm &beenden")};
    for (int i = 0; i < 4; ++i) {
        cmdContinue[i] = new WrapButton(continueCaptions[i], framContinue);
        place(cmdContinue[i], ButtonLefts[i], 240, 1335, 495);
        connect(cmdContinue[i], &QPushButton::clicked, this, [this, i] { cmdContinue_Click(static_cast<int16_t>(i)); });
    }
}

ErrPtnr& ErrPtnr::instance() {
    if (!g_instance) g_instance = new ErrPtnr();
    return *g_instance;
}

bool ErrPtnr::exists() { return g_instance != nullptr; }
void ErrPtnr::setAnswerHook(AnswerHook h) { g_hook = std::move(h); }
const ErrPtnr::AnswerHook& ErrPtnr::answerHook() { return g_hook; }
void ErrPtnr::SetProgInfo(const QString& Text) { instance().m_ProgInfo = Text; }

QString ErrPtnr::caption() const { return m_ProgInfo + QStringLiteral(" - Fehlermeldung"); }

int16_t ErrPtnr::OnError(const QString& AktModul, const QString& AktProc, int16_t ContBits) {
    // Asked to end from outside, nobody may be there: no dialog holds the end. The error goes to
    // the protocol and to standard error, and the procedure is left.
    if (platform::endRequested()) {
        const QString wo = AktModul + QLatin1Char('.') + AktProc;
        std::fprintf(stderr, "melotra: error %d (%s) in %s while ending on request, passed over\n", Err().Number,
                     qPrintable(Err().Description), qPrintable(wo));
        LogFehler(QStringLiteral("Beim Beenden auf Anforderung übergangen: ") + wo, Err().Number, Err().Description);
        return 2;
    }
    ErrPtnr& d = instance();
    // A timer procedure may fail while the dialog waits: one dialog at a time.
    if (d.m_Showing) return d.nestedError(AktModul, AktProc);
    return d.showError(AktModul, AktProc, ContBits);
}

int16_t ErrPtnr::showError(const QString& AktModul, const QString& AktProc, int16_t ContBits) {
    struct Showing {
        bool& flag;
        explicit Showing(bool& f) : flag(f) { flag = true; }
        ~Showing() { flag = false; }
    } showing(m_Showing);

    lblError[0]->setText(QString::number(Err().Number) + QStringLiteral(" (") + Err().Description + QLatin1Char(')'));
    lblError[1]->setText(AktModul);
    lblError[2]->setText(AktProc);
    lblError[3]->setText(QStringLiteral("0"));
    if (m_ProgInfo.isEmpty())
        m_ProgInfo = platform::appTitle() + QStringLiteral("  V") + QString::number(platform::versionMajor()) +
                     QLatin1Char('.') + QString::number(platform::versionMinor()) + QLatin1Char('.') +
                     QString::number(platform::versionRevision());
    setWindowTitle(caption());
    platform::resetMousePointer();
    FillCallStackList();
    ArrangeFrames(ContBits);
    AppendTraceFile();
    platform::beep();
    const platform::ModalScope modal;
    if (g_hook) {
        const int answer = g_hook(*this);
        if (answer >= 0 && answer <= 3) cmdContinue_Click(static_cast<int16_t>(answer));
    } else {
        // Nobody may be there (an autostart): after the unattended boxes' time the dialog goes on by itself.
        const int ms = platform::unattendedTimeoutMs();
        platform::VbTimer selbst(this, ms, ms > 0);
        selbst.onTimer = [this, ms] { AntwortUnbeaufsichtigt(ms); };
        exec();  // ends when a continuation button hides the dialog
    }
    return m_Result;
}

void ErrPtnr::AntwortUnbeaufsichtigt(int ms) {
    // The answer that goes on: the next statement, or where that is not offered, leaving the procedure.
    const int16_t answer = cmdContinue[1]->isHidden() ? 2 : 1;
    platform::logSelfAnswer(ms, cmdContinue[answer]->text(),
                            lblError[1]->text() + QLatin1Char('.') + lblError[2]->text() +
                                QStringLiteral("\tFehler-Nr: ") + lblError[0]->text());
    cmdContinue_Click(answer);
}

int16_t ErrPtnr::nestedError(const QString& AktModul, const QString& AktProc) {
    ProtocolData data = dialogData();
    data.values = {QString::number(Err().Number) + QStringLiteral(" (") + Err().Description + QLatin1Char(')'),
                   AktModul, AktProc, QStringLiteral("0")};
    data.callStack = ring().entries();
    appendToTraceFile(protocolText(data));
    return 2;
}

void ErrPtnr::AntwortBeenden() {
    if (g_instance && g_instance->m_Showing) g_instance->cmdContinue_Click(3);
}

void ErrPtnr::cmdContinue_Click(int16_t Index) {
    m_Result = Index;
    hide();
}

void ErrPtnr::ArrangeFrames(int16_t ContBits) {
    int y = 0;  // twips
    // Without a window manager the dialog draws its own frame round its edge: the contents
    // stand inside it, else it would cover the first letter of every frame's caption.
    const int rand = platform::ownFrameWidth();
    auto stack = [&y, rand](QWidget* frame) {
        frame->show();
        frame->move(rand, rand + platform::twipsToPx(y));
        y += platform::pxToTwips(frame->height());
    };
    stack(framComment);
    lblComment->setText(QStringLiteral(
        "Es liegt ein Problem vor, mit dem Sie sich an den technischen Support von Korvanith wenden sollten. "
        "Bitte nutzen Sie zum Versenden des Fehlerreports die EMail-Funktion."));
    stack(framFehler);
    stack(framProtocol);
    for (int i = 0; i < 3; ++i) cmdProtocol[i]->show();
    cmdProtocol[3]->hide();
    stack(framCallStack);
    stack(framContinue);
    // Without any continuation button the dialog could never be left: offer "leave".
    if ((ContBits & 15) == 0) ContBits = 4;
    for (int i = 0; i < 4; ++i) cmdContinue[i]->setVisible((ContBits & (1 << i)) != 0);

    setFixedSize(framFehler->width() + 2 * rand, platform::twipsToPx(y) + 2 * rand);
    // The frame is known only once the window exists: made now, the first error is
    // centred by the same outer size as every later one.
    if (!testAttribute(Qt::WA_WState_Created)) create();
    const QSize outer = frameGeometry().size();
    const double left = (platform::screenWidthTwips() - platform::pxToTwips(outer.width())) / 2.0;
    const double top = (platform::screenHeightTwips() - platform::pxToTwips(outer.height())) / 2.0;
    move(platform::twipsToPx(left), platform::twipsToPx(top));
}

void ErrPtnr::FillCallStackList() {
    lstCallStack->clear();
    lstCallStack->addItems(ring().entries());
}

ErrPtnr::ProtocolData ErrPtnr::dialogData() const {
    ProtocolData d;
    d.caption = windowTitle();
    d.errorFrame = framFehler->title();
    for (int i = 0; i < 4; ++i) {
        d.titles[i] = lblErrTitel[i]->text();
        d.values[i] = lblError[i]->text();
    }
    d.callStackFrame = framCallStack->title();
    for (int i = 0; i < lstCallStack->count(); ++i) d.callStack << lstCallStack->item(i)->text();
    return d;
}

QString ErrPtnr::protocolText(const ProtocolData& d) {
    const QString separator(70, QLatin1Char('-'));
    const QString indent(10, QLatin1Char(' '));
    const QString tab(QLatin1Char('\t'));
    const QDateTime t = platform::now();
    const platform::OsVersion os = platform::osVersion();

    QStringList l;
    l << separator << QStringLiteral("F E H L E R P R O T O K O L L vom ErrorPartner") << separator << d.caption
      << separator << d.errorFrame.toUpper();
    for (int i = 0; i < 4; ++i) l << indent + d.titles[i] + tab + d.values[i];
    l << indent + QStringLiteral("Datum/Uhrzeit:") + tab + dateTimeText(t);
    l << separator << d.callStackFrame.toUpper();
    for (const QString& entry : d.callStack) l << indent + entry;
    l << separator << QStringLiteral("SYSTEMINFO:");
    l << indent + QStringLiteral("Plattform:") + tab + platformName(os.platformId);
    l << indent + QStringLiteral("Version:") + tab + QString::number(os.major) + QLatin1Char('.') +
             QString::number(os.minor);
    l << indent + QStringLiteral("Build:") + tab + QString::number(os.build & 0xFFFFu) + QStringLiteral("   ") +
             LPSTRToVBString(os.csdVersion);
    l << separator;
    return l.join(CRLF) + CRLF;
}

void ErrPtnr::BuildProtocol(QString& Text) { Text = protocolText(dialogData()); }

QString ErrPtnr::buildProtocolText() {
    QString t;
    BuildProtocol(t);
    return t;
}

QString ErrPtnr::traceFilePath() const { return traceFileName(QStringLiteral(".EPT")); }
QString ErrPtnr::protocolFilePath() const { return traceFileName(QStringLiteral(".ERR")); }

void ErrPtnr::AppendTraceFile() {
    QString protocol;
    BuildProtocol(protocol);
    appendToTraceFile(protocol);
}

void ErrPtnr::LogLine(const QString& text) {
    appendWhole(traceFileName(QStringLiteral(".EPT")), dateTimeText(platform::now()) + QLatin1Char('\t') + text + CRLF);
}

namespace {
void logLine(const QString& text, int number, const QString& description) {
    ErrPtnr::LogLine(text + QStringLiteral("\tFehler-Nr: ") + QString::number(number) + QStringLiteral(" (") +
                     description + QStringLiteral(")"));
}

void logPassedOver(const QString& what, const QString& path, int number, const QString& description) {
    logLine(what + QStringLiteral(" nicht lesbar, übergangen: \"") + path + QLatin1Char('"'), number, description);
}
}  // namespace

void ErrPtnr::LogUnreadable(const QString& path, int number, const QString& description) {
    logPassedOver(QStringLiteral("Datei"), path, number, description);
}

void ErrPtnr::LogUnreadableFolder(const QString& path, int number, const QString& description) {
    logPassedOver(QStringLiteral("Ordner"), path, number, description);
}

void ErrPtnr::LogFehler(const QString& was, int number, const QString& description) { logLine(was, number, description); }

void ErrPtnr::appendToTraceFile(const QString& protocol) const { appendWhole(traceFilePath(), protocol + CRLF); }

QStringList ErrPtnr::printLinesOf(const QString& protocol) {
    QStringList out;
    const QString T = protocol + CRLF;
    const QString continuation(20, QLatin1Char(' '));
    qsizetype pos = 0;
    for (qsizetype end; (end = T.indexOf(CRLF, pos)) >= 0; pos = end + 2) {
        const QString L = T.mid(pos, end - pos) + QLatin1Char(' ');
        QString line;
        qsizetype n = 0;
        for (qsizetype w = 0, blank; (blank = L.indexOf(QLatin1Char(' '), w)) >= 0; w = blank + 1) {
            const qsizetype length = blank + 1 - w;  // the word with its blank
            n += length;
            if (n > 73) {
                if (!line.isEmpty()) {
                    out << line;
                    line = continuation;
                }
                n = length;
            }
            line += QStringView(L).mid(w, length);
        }
        if (!line.isEmpty()) out << line;
    }
    return out;
}

void ErrPtnr::cmdProtocol_Click(int16_t Index) {
    if (Index < 0 || Index > 2) return;
    QString protocol;
    BuildProtocol(protocol);

    if (Index == 0) {
        if (!platform::printLines(printLinesOf(protocol)))
            platform::MsgBox(QStringLiteral("Das Fehlerprotokoll konnte nicht gedruckt werden !"),
                             platform::vbOKOnly | platform::vbExclamation);
        return;
    }

    if (Index == 1) {
        const QString path = protocolFilePath();
        if (QFileInfo::exists(path) &&
            platform::MsgBox(QStringLiteral("Vorhandene Datei '") + path + QStringLiteral("' überschreiben ?"),
                             platform::vbYesNo) == platform::vbNo)
            return;
        // Written in one piece: a failed write leaves an earlier protocol file intact.
        QSaveFile f(path);
        bool written = f.open(QIODevice::WriteOnly);
        if (written) {
            const QByteArray bytes = (protocol + CRLF).toUtf8();
            written = f.write(bytes) == bytes.size() && f.commit();
        }
        if (written)
            platform::MsgBox(QStringLiteral("Das Fehlerprotokoll wurde in die Datei '") + path +
                             QStringLiteral("' geschrieben !"));
        else
            platform::MsgBox(QStringLiteral("Das Fehlerprotokoll konnte nicht in die Datei '") + path +
                                 QStringLiteral("' geschrieben werden !"),
                             platform::vbOKOnly | platform::vbExclamation);
        return;
    }

    const QStringList message = {
        QStringLiteral("Es wird jetzt Ihr Standard-Email-Programm aufgerufen. Die Fehlerbeschreibung sowie das "
                       "Fehlerprotokoll"),
        QStringLiteral("wurden zu Ihrer Bequemlichkeit in die Zwischenablage kopiert."),
        QString(),
        QStringLiteral("Bitte fügen Sie den Inhalt der Zwischenablage in Ihre Email ein, indem Sie in Ihrem "
                       "Email-Programm"),
        QStringLiteral("die Tasten [Strg] und [Einfg] gleichzeitig betätigen. Alternativ können Sie den Inhalt in "
                       "die EMail"),
        QStringLiteral("einfügen, indem Sie den Befehl 'Einfügen' aus dem Menü 'Bearbeiten' ausführen."),
    };
    platform::MsgBox(message.join(CRLF));
    if (QClipboard* c = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard()
                                                                                       : nullptr) {
        c->clear();
        c->setText(protocol);
    }
    // No e-mail program is not reported: the protocol stays on the clipboard.
    platform::openUrl(QUrl(QStringLiteral("mailto:") + platform::supportEmail().trimmed()));
}

void ErrPtnr::closeEvent(QCloseEvent* e) { e->ignore(); }

void ErrPtnr::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void ErrPtnr::reject() {}

void installErrorReporter() {
    // A box that answers itself in place of a person says so in the protocol file, as this dialog does.
    platform::setSelfAnswerLog([](const QString& line) { ErrPtnr::LogLine(line); });
    platform::setUnhandledReporter([](const char* object, const char* procedure, std::exception_ptr e) {
        try {
            std::rethrow_exception(e);
        } catch (const platform::RuntimeError& r) {
            Err().Number = r.number();
            Err().Description = r.description();
        } catch (const std::bad_alloc&) {
            Err().Number = 7;
            Err().Description = platform::errorDescription(7);
        } catch (const std::exception& x) {
            Err().Number = 5;
            Err().Description = QString::fromUtf8(x.what());
        } catch (...) {
            Err().Number = 5;
            Err().Description = platform::errorDescription(5);
        }
        // The handler has already been left: only leaving (2) and ending (3) are possible.
        const int answer = ErrPtnr::OnError(QString::fromUtf8(object), QString::fromUtf8(procedure), 4 | 8);
        if (answer == 3) ProgrammAbbrechen();
    });
}
