// The error dialog, its protocol text and files, and the protocol buttons.
#include "base/ErrPtnr.h"
#include "base/ErrorHandler.h"
#include "platform/printer.h"
#include "platform/program.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/sysinfo.h"
#include "platform/toplevel.h"
#include "platform/vbtimer.h"
#include "platform/virtualtime.h"
#include "support/testenv.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <ostream>

// Readable failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString Separator(70, QLatin1Char('-'));

QString readUtf8(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(f.readAll());
}

QString testData(const QString& name) {
    QString dir = qEnvironmentVariable("MELOTRA_TEST_DATA");
    if (dir.isEmpty()) dir = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../data");
    return dir + QLatin1Char('/') + name;
}

QString versionText() {
    return QStringLiteral("%1.%2.%3").arg(platform::versionMajor()).arg(platform::versionMinor()).arg(platform::versionRevision());
}

class ErrorDialog : public ::testing::Test {
protected:
    platform::VirtualTime vt;  // 2026-12-08 20:00:00
    ErrPtnr::AnswerHook saved;
    std::function<int(ErrPtnr&)> onDialog = [](ErrPtnr&) { return 2; };
    int dialogs = 0;
    QString folder;

    void SetUp() override {
        saved = ErrPtnr::answerHook();
        folder = testenv::freshFolder(QStringLiteral("errptnr"));
        platform::setDataPathOverride(folder);
        platform::setOsVersionOverride(platform::versionFromUname(QStringLiteral("Linux"), QStringLiteral("6.1.74565-amd64")));
        ErrPtnr::ring().clear();
        ErrPtnr::SetProgInfo(QString());
        testenv::dialogs().reset();
        ErrPtnr::setAnswerHook([this](ErrPtnr& d) {
            ++dialogs;
            return onDialog(d);
        });
    }
    void TearDown() override {
        ErrPtnr::setAnswerHook(saved);
        platform::setDataPathOverride(testenv::dataFolder());
        platform::setOsVersionOverride(std::nullopt);
        platform::setPrintHook(nullptr);
        platform::setShellInterceptor(nullptr);
        platform::setScreenSizeOverride(QSize());
        testenv::dialogs().reset();
    }

    static int report(int number, const QString& module = QStringLiteral("modTest"),
                      const QString& procedure = QStringLiteral("Proc"), int16_t bits = 255) {
        Err().Number = number;
        Err().Description = platform::errorDescription(number);
        return ErrPtnr::OnError(module, procedure, bits);
    }
    QString tracePath() const { return folder + QLatin1Char('/') + platform::appTitle() + QStringLiteral(".EPT"); }
    QString protocolPath() const { return folder + QLatin1Char('/') + platform::appTitle() + QStringLiteral(".ERR"); }
    std::vector<QString> prompts() const {
        std::vector<QString> p;
        for (const auto& m : testenv::dialogs().messages) p.push_back(m.prompt);
        return p;
    }
};

TEST_F(ErrorDialog, ProtocolMatchesTheGoldenCopy) {
    ErrPtnr::CallStack(QStringLiteral("[modTest] Public Sub Golden(a As Long, b As String)"));
    ErrPtnr::CallStackParam(QStringLiteral("b"), QStringLiteral("Text"));
    ErrPtnr::CallStackParam(QStringLiteral("a"), 42);
    QString shown;
    onDialog = [&](ErrPtnr& d) {
        shown = d.buildProtocolText();
        return 2;
    };
    withErrorHandler(QStringLiteral("modTest"), QStringLiteral("Golden"), [](ErrorHandler& on) { on([] { platform::raise(11); }); });

    QString golden = readUtf8(testData(QStringLiteral("base/error_protocol.txt")));
    ASSERT_FALSE(golden.isEmpty());
    golden.replace(QStringLiteral("@VERSION@"), versionText());
    QStringList lines = golden.split(QLatin1Char('\n'));
    if (lines.last().isEmpty()) lines.removeLast();
    const QString expected = lines.join(CRLF) + CRLF;
    EXPECT_EQ(shown, expected);
    // The trace file gets the protocol and one more line end.
    EXPECT_EQ(readUtf8(tracePath()), expected + CRLF);
}

TEST_F(ErrorDialog, EmptyTraceGivesAnEmptyCallStackSection) {
    QString text;
    onDialog = [&](ErrPtnr& d) {
        text = d.buildProtocolText();
        return 2;
    };
    report(5);
    EXPECT_TRUE(text.contains(QStringLiteral("CALLSTACK:") + CRLF + Separator + CRLF + QStringLiteral("SYSTEMINFO:")));
}

TEST_F(ErrorDialog, DialogShowsTheErrorCaptionAndTrace) {
    ErrPtnr::CallStack(QStringLiteral("[modA] Public Sub First()"));
    ErrPtnr::CallStack(QStringLiteral("[modB] Public Sub Second(x As Long)"));
    ErrPtnr::CallStackParam(QStringLiteral("x"), 3);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int beeps = platform::beepCount();
    std::vector<QString> captions;
    onDialog = [&](ErrPtnr& d) {
        captions.push_back(d.windowTitle());
        EXPECT_EQ(d.lblError[0]->text(), QStringLiteral("6 (Überlauf)"));
        EXPECT_EQ(d.lblError[1]->text(), QStringLiteral("modMod"));
        EXPECT_EQ(d.lblError[2]->text(), QStringLiteral("Farbe [LET]"));
        EXPECT_EQ(d.lblError[3]->text(), QStringLiteral("0"));
        EXPECT_EQ(d.lstCallStack->count(), 3);
        EXPECT_EQ(d.lstCallStack->item(0)->text(), QStringLiteral("20:00:00 [modB] Public Sub Second(x As Long)"));
        EXPECT_EQ(d.lstCallStack->item(1)->text(), QStringLiteral("\tx:\t3"));
        EXPECT_EQ(d.lstCallStack->item(2)->text(), QStringLiteral("20:00:00 [modA] Public Sub First()"));
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(platform::beepCount(), beeps + static_cast<int>(captions.size()));
        EXPECT_TRUE(QFileInfo::exists(tracePath()));  // written before the dialog shows
        return 1;
    };
    EXPECT_EQ(report(6, QStringLiteral("modMod"), QStringLiteral("Farbe [LET]")), 1);
    EXPECT_EQ(report(6, QStringLiteral("modMod"), QStringLiteral("Farbe [LET]")), 1);
    const QString caption = platform::appTitle() + QStringLiteral("  V") + versionText() + QStringLiteral(" - Fehlermeldung");
    EXPECT_EQ(captions, (std::vector<QString>{caption, caption}));

    ErrPtnr::SetProgInfo(QStringLiteral("Kiosk"));
    report(6, QStringLiteral("modMod"), QStringLiteral("Farbe [LET]"));
    EXPECT_EQ(captions.back(), QStringLiteral("Kiosk - Fehlermeldung"));
}

TEST_F(ErrorDialog, FramesAreStackedAndTheWindowCentred) {
    platform::setScreenSizeOverride(QSize(1024, 768));
    onDialog = [&](ErrPtnr& d) {
        // Twips 0, 975, 2550, 3285, 4980 at 15 twips to the pixel, inside the 2-px frame that the
        // dialog draws round its edge without a window manager (as offscreen): it covers none of them.
        EXPECT_EQ(platform::ownFrameWidth(), 2);
        EXPECT_EQ(d.framComment->pos(), QPoint(2, 2));
        EXPECT_EQ(d.framFehler->pos(), QPoint(2, 67));
        EXPECT_EQ(d.framProtocol->pos(), QPoint(2, 172));
        EXPECT_EQ(d.framCallStack->pos(), QPoint(2, 221));
        EXPECT_EQ(d.framContinue->pos(), QPoint(2, 334));
        EXPECT_EQ(d.size(), QSize(485, 393));
        for (QWidget* frame : std::initializer_list<QWidget*>{d.framComment, d.framFehler, d.framProtocol,
                                                              d.framCallStack, d.framContinue})
            EXPECT_TRUE(d.rect().adjusted(2, 2, -2, -2).contains(frame->geometry()));
        // Centred by the outer size, also at the first error: the offscreen frame adds 2 px on
        // each side, (1024 - 489) / 2 = 267.5 px and (768 - 397) / 2 = 185.5 px, half to even.
        EXPECT_EQ(d.frameGeometry().size(), QSize(489, 397));
        EXPECT_EQ(d.pos(), QPoint(268, 186));
        EXPECT_EQ(d.cmdContinue[1]->geometry(), QRect(136, 16, 89, 33));
        EXPECT_EQ(d.cmdProtocol[3]->geometry(), QRect(376, 16, 89, 25));
        EXPECT_TRUE(d.cmdProtocol[3]->isHidden());
        EXPECT_FALSE(d.cmdProtocol[2]->isHidden());
        EXPECT_TRUE(d.lblComment->text().startsWith(QStringLiteral("Es liegt ein Problem vor")));
        // Continuation bits 0 and 2 only.
        EXPECT_FALSE(d.cmdContinue[0]->isHidden());
        EXPECT_TRUE(d.cmdContinue[1]->isHidden());
        EXPECT_FALSE(d.cmdContinue[2]->isHidden());
        EXPECT_TRUE(d.cmdContinue[3]->isHidden());
        return 0;
    };
    EXPECT_EQ(report(9, QStringLiteral("m"), QStringLiteral("p"), 5), 0);

    onDialog = [&](ErrPtnr& d) {
        for (int i = 0; i < 4; ++i) EXPECT_FALSE(d.cmdContinue[i]->isHidden()) << i;
        return -1;  // closed without an answer: the previous one stands
    };
    EXPECT_EQ(report(9), 0);
}

TEST_F(ErrorDialog, ModalWaitEndsOnlyThroughAContinuationButton) {
    ErrPtnr::setAnswerHook(nullptr);
    ErrPtnr& d = ErrPtnr::instance();
    bool stayedAfterEscape = false, stayedAfterClose = false;
    QTimer::singleShot(0, &d, [&] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&d, &escape);
        stayedAfterEscape = d.isVisible();
        d.close();
        stayedAfterClose = d.isVisible();
        d.cmdContinue[1]->click();
    });
    QTimer rescue;  // only should the test fail: never hang
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, &d, [&] { d.cmdContinue[2]->click(); });
    rescue.start(10000);
    EXPECT_EQ(report(13), 1);
    EXPECT_TRUE(stayedAfterEscape);
    EXPECT_TRUE(stayedAfterClose);
    EXPECT_FALSE(d.isVisible());
    EXPECT_FALSE(d.windowFlags() & Qt::WindowCloseButtonHint);
}

TEST_F(ErrorDialog, EveryErrorAppendsItsProtocolToTheTraceFile) {
    {
        QFile f(tracePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier run\r\n");
    }
    std::vector<QString> protocols;
    onDialog = [&](ErrPtnr& d) {
        protocols.push_back(d.buildProtocolText());
        return 1;
    };
    report(6);
    vt.advance(2000);
    report(13);
    ASSERT_EQ(protocols.size(), 2u);
    EXPECT_NE(protocols[0], protocols[1]);
    EXPECT_TRUE(protocols[0].endsWith(Separator + CRLF));
    EXPECT_EQ(readUtf8(tracePath()), QStringLiteral("earlier run\r\n") + protocols[0] + CRLF + protocols[1] + CRLF);
}

TEST_F(ErrorDialog, UnwritableDataFolderIsToldOnStandardErrorAndSavingSaysSo) {
    const QString missing = testenv::unwritableFolder();
    platform::setDataPathOverride(missing);
    onDialog = [&](ErrPtnr& d) {
        d.clickProtocol(1);
        return 1;
    };
    testing::internal::CaptureStderr();
    EXPECT_EQ(report(6), 1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("error protocol not written to " + (missing + QStringLiteral("/") + platform::appTitle() +
                                                          QStringLiteral(".EPT")).toStdString()),
              std::string::npos)
        << err;
    EXPECT_EQ(dialogs, 1);
    const QString path = missing + QLatin1Char('/') + platform::appTitle() + QStringLiteral(".ERR");
    EXPECT_EQ(prompts(), (std::vector<QString>{QStringLiteral("Das Fehlerprotokoll konnte nicht in die Datei '") + path +
                                               QStringLiteral("' geschrieben werden !")}));
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(ErrorDialog, AProtocolThatDoesNotFitIsLeftOutWhole) {
    const QString earlier = QStringLiteral("earlier run\r\n");
    {
        QFile f(tracePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(earlier.toUtf8());
    }
    for (int i = 0; i < 30; ++i) ErrPtnr::CallStack(QStringLiteral("[modTest] Public Sub Lang%1()").arg(i));
    testing::internal::CaptureStderr();
    {
        const testenv::FileSizeLimit full(600);  // the protocol would pass it half way
        report(6);
    }
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(readUtf8(tracePath()), earlier);
    EXPECT_NE(err.find("error protocol not written"), std::string::npos) << err;
    EXPECT_NE(err.find("61 Datenträger voll"), std::string::npos) << err;  // the reason, no "Unbekannter Fehler"
    // The next one that fits is appended as usual.
    report(6);
    EXPECT_TRUE(readUtf8(tracePath()).startsWith(earlier + Separator + CRLF));
    EXPECT_TRUE(readUtf8(tracePath()).endsWith(Separator + CRLF + CRLF));
}

TEST_F(ErrorDialog, SavingTwiceAsksBeforeOverwriting) {
    auto& fake = testenv::dialogs();
    fake.messageAnswers = {platform::vbOK, platform::vbNo, platform::vbYes, platform::vbOK};
    QString afterNo;
    onDialog = [&](ErrPtnr& d) {
        d.clickProtocol(1);
        vt.advance(5000);
        d.clickProtocol(1);  // No
        afterNo = readUtf8(protocolPath());
        d.clickProtocol(1);  // Yes
        return 2;
    };
    report(6);
    const QString path = protocolPath();
    const QString written = QStringLiteral("Das Fehlerprotokoll wurde in die Datei '") + path + QStringLiteral("' geschrieben !");
    const QString question = QStringLiteral("Vorhandene Datei '") + path + QStringLiteral("' überschreiben ?");
    EXPECT_EQ(prompts(), (std::vector<QString>{written, question, question, written}));
    EXPECT_EQ(fake.messages[1].style, platform::vbYesNo);
    EXPECT_EQ(fake.messages[0].style, platform::vbOKOnly);
    EXPECT_TRUE(afterNo.contains(QStringLiteral("12-08-2026 / 20:00:00")));
    EXPECT_TRUE(afterNo.endsWith(Separator + CRLF + CRLF));
    const QString last = readUtf8(path);
    EXPECT_TRUE(last.contains(QStringLiteral("12-08-2026 / 20:00:05")));
}

TEST_F(ErrorDialog, PrintingSendsTheWrappedProtocol) {
    QStringList printed;
    QString protocol;
    platform::setPrintHook([&](const QStringList& l) {
        printed = l;
        return true;
    });
    onDialog = [&](ErrPtnr& d) {
        protocol = d.buildProtocolText();
        d.clickProtocol(0);
        return 2;
    };
    report(6);
    EXPECT_EQ(printed, ErrPtnr::printLinesOf(protocol));
    EXPECT_EQ(printed.first(), Separator + QLatin1Char(' '));
    EXPECT_TRUE(testenv::dialogs().messages.empty());

    platform::setPrintHook([](const QStringList&) { return false; });
    report(6);
    EXPECT_EQ(prompts(), (std::vector<QString>{QStringLiteral("Das Fehlerprotokoll konnte nicht gedruckt werden !")}));
}

TEST(ErrorProtocolPrint, WordWrap) {
    const QString longWord(100, QLatin1Char('x'));
    EXPECT_EQ(ErrPtnr::printLinesOf(longWord + CRLF), (QStringList{longWord + QLatin1Char(' '), QStringLiteral(" ")}));

    QString words;
    for (int i = 0; i < 30; ++i) words += QStringLiteral("abcd ");
    words.chop(1);
    const QStringList lines = ErrPtnr::printLinesOf(words + CRLF);
    const QString blanks(20, QLatin1Char(' '));
    const QString fourteen = QStringLiteral("abcd ").repeated(14);  // 70 counted, the 15th would pass 73
    EXPECT_EQ(lines, (QStringList{fourteen, blanks + fourteen, blanks + QStringLiteral("abcd abcd "), QStringLiteral(" ")}));

    // A tab counts as one character; a long word after short ones moves to its own line.
    EXPECT_EQ(ErrPtnr::printLinesOf(QStringLiteral("\ta:\t1") + CRLF), (QStringList{QStringLiteral("\ta:\t1 "), QStringLiteral(" ")}));
    EXPECT_EQ(ErrPtnr::printLinesOf(QStringLiteral("ab ") + longWord + CRLF),
              (QStringList{QStringLiteral("ab "), blanks + longWord + QLatin1Char(' '), QStringLiteral(" ")}));
}

TEST_F(ErrorDialog, MailPutsTheProtocolOnTheClipboardAndOpensTheLink) {
    std::vector<QUrl> opened;
    platform::setShellInterceptor([&](const QUrl& u) {
        opened.push_back(u);
        return false;  // no e-mail program: not reported
    });
    QString protocol;
    onDialog = [&](ErrPtnr& d) {
        vt.advance(1000);
        protocol = d.buildProtocolText();
        d.clickProtocol(2);
        return 2;
    };
    report(6);
    const QString text = QStringLiteral(
        "Es wird jetzt Ihr Standard-Email-Programm aufgerufen. Die Fehlerbeschreibung sowie das Fehlerprotokoll\r\n"
        "wurden zu Ihrer Bequemlichkeit in die Zwischenablage kopiert.\r\n"
        "\r\n"
        "Bitte fügen Sie den Inhalt der Zwischenablage in Ihre Email ein, indem Sie in Ihrem Email-Programm\r\n"
        "die Tasten [Strg] und [Einfg] gleichzeitig betätigen. Alternativ können Sie den Inhalt in die EMail\r\n"
        "einfügen, indem Sie den Befehl 'Einfügen' aus dem Menü 'Bearbeiten' ausführen.");
    EXPECT_EQ(prompts(), (std::vector<QString>{text}));
    EXPECT_EQ(testenv::dialogs().messages[0].style, platform::vbOKOnly);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), protocol);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toString(), QStringLiteral("mailto:") + platform::supportEmail().trimmed());
    EXPECT_TRUE(protocol.contains(QStringLiteral("20:00:01")));  // built at the click
}

TEST_F(ErrorDialog, SecondErrorWhileTheDialogIsOpenOnlyGoesToTheTraceFile) {
    platform::VbTimer failing;
    failing.setInterval(100);
    failing.onTimer = [] { platform::raise(53); };
    int nested = -1;
    onDialog = [&](ErrPtnr& d) {
        if (dialogs > 1) return 0;  // must never happen
        failing.setEnabled(true);
        vt.advance(150);  // the timer fails inside the modal wait
        failing.setEnabled(false);
        Err().Number = 9;
        Err().Description = platform::errorDescription(9);
        nested = ErrPtnr::OnError(QStringLiteral("modInner"), QStringLiteral("Inner"), 255);
        EXPECT_EQ(d.lblError[1]->text(), QStringLiteral("modOuter"));
        EXPECT_EQ(d.lblError[0]->text(), QStringLiteral("6 (Überlauf)"));
        return 1;
    };
    EXPECT_EQ(report(6, QStringLiteral("modOuter"), QStringLiteral("Outer")), 1);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(nested, 2);
    const QString trace = readUtf8(tracePath());
    EXPECT_EQ(trace.count(QStringLiteral("F E H L E R P R O T O K O L L")), 3);
    EXPECT_TRUE(trace.contains(QStringLiteral("Fehler-Nr:\t53 (Datei nicht gefunden)") + CRLF +
                               QStringLiteral("          Modul:\tTimer")));
    EXPECT_TRUE(trace.contains(QStringLiteral("Modul:\tmodInner") + CRLF + QStringLiteral("          Prozedur:\tInner")));

    // The dialog opens again for the next error.
    onDialog = [](ErrPtnr&) { return 2; };
    EXPECT_EQ(report(6), 2);
    EXPECT_EQ(dialogs, 2);
}

TEST_F(ErrorDialog, ErrorEscapingAnEventHandlerIsShownWithItsHandler) {
    std::vector<bool> offered;
    onDialog = [&](ErrPtnr& d) {
        for (auto* b : d.cmdContinue) offered.push_back(!b->isHidden());
        EXPECT_EQ(d.lblError[1]->text(), QStringLiteral("frmTest"));
        EXPECT_EQ(d.lblError[2]->text(), QStringLiteral("Command1_Click"));
        return 2;
    };
    platform::guardEvent("frmTest", "Command1_Click", [] { platform::raise(53); });
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(Err().Number, 53);
    // Retrying or going on is no longer possible: only leave and end are offered.
    EXPECT_EQ(offered, (std::vector<bool>{false, false, true, true}));

    onDialog = [](ErrPtnr&) { return 3; };
    EXPECT_THROW(platform::guardEvent("frmTest", "Timer1_Timer", [] { platform::raise(5); }), platform::ProgramEnd);
}

TEST(CallTrace, RingKeepsTheFortyNewestWithArgumentsBehindTheirProcedure) {
    platform::VirtualTime vt;
    ErrPtnr::ring().clear();
    for (int i = 1; i <= 41; ++i) ErrPtnr::CallStack(QStringLiteral("[m] Sub P%1()").arg(i));
    ASSERT_EQ(ErrPtnr::ring().size(), 40);
    EXPECT_EQ(ErrPtnr::ring().at(1), QStringLiteral("20:00:00 [m] Sub P41()"));
    EXPECT_EQ(ErrPtnr::ring().at(40), QStringLiteral("20:00:00 [m] Sub P2()"));

    ErrPtnr::CallStack(QStringLiteral("[m] Sub Q(a, b)"));
    ErrPtnr::CallStackParam(QStringLiteral("b"), TraceValue::nothing());
    ErrPtnr::CallStackParam(QStringLiteral("a"), TraceValue::array());
    ErrPtnr::CallStack(QStringLiteral("[m] Sub R(c)"));
    ErrPtnr::CallStackParam(QStringLiteral("c"), TraceValue());
    const QStringList e = ErrPtnr::ring().entries().mid(0, 5);
    EXPECT_EQ(e, (QStringList{QStringLiteral("20:00:00 [m] Sub R(c)"), QStringLiteral("\tc:\t[EMPTY]"),
                              QStringLiteral("20:00:00 [m] Sub Q(a, b)"), QStringLiteral("\ta:\t[ARRAY]"),
                              QStringLiteral("\tb:\t[NOTHING]")}));
    EXPECT_EQ(ErrPtnr::ring().size(), 40);
    ErrPtnr::ring().clear();
}

TEST(CallTrace, LPSTRToVBString) {
    EXPECT_EQ(ErrPtnr::LPSTRToVBString(QStringLiteral("abc") + QChar(0) + QStringLiteral("def")), QStringLiteral("abc"));
    EXPECT_EQ(ErrPtnr::LPSTRToVBString(QStringLiteral("abcdef")), QString());
    EXPECT_EQ(ErrPtnr::LPSTRToVBString(QString(QChar(0))), QString());
}

}  // namespace
