#pragma once
// The error tracer: keeps the call trace of the latest procedure entries and shows
// the modal error dialog whose answer the failing procedure obeys.
#include "base/CallStackRing.h"
#include "base/TraceValue.h"

#include <QDialog>
#include <QString>
#include <array>
#include <functional>

class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

class ErrPtnr : public QDialog {
    Q_OBJECT
public:
    // The global instance (the dialog window is made at the first error).
    static ErrPtnr& instance();
    static bool exists();

    // Registration: the caller's declaration text, then each parameter, last first.
    static void CallStack(const QString& a);
    static void CallStackParam(const QString& ParamName, const TraceValue& v);
    static CallStackRing& ring();

    // Shows the dialog for the pending error (Err()) and returns the answer 0..3. While message
    // boxes answer themselves (platform::UnattendedMessages), so does the dialog, with the answer
    // that goes on, after the same time.
    static int16_t OnError(const QString& AktModul, const QString& AktProc, int16_t ContBits = 0);
    // A request from outside to end the run (a signal, the session's end): a dialog that
    // waits for an answer gets "Programm beenden", since nobody may be there to give one.
    static void AntwortBeenden();
    static void SetProgInfo(const QString& Text);
    static QString LPSTRToVBString(const QString& s);
    // A song file that could not be read and was passed over: one line in the trace
    // file, no dialog, so that one bad file never stops the kiosk.
    static void LogUnreadable(const QString& path, int number, const QString& description);
    // The same for a folder of the song tree, passed over with everything below it.
    static void LogUnreadableFolder(const QString& path, int number, const QString& description);
    // A line of that kind for another failure that must not stop the kiosk with a dialog.
    static void LogFehler(const QString& was, int number, const QString& description);
    // One line in the trace file, after the date and time: what the kiosk met and went on with.
    static void LogLine(const QString& text);

    // What the protocol is built from: the dialog's contents, or those of an error
    // reported while the dialog is already open.
    struct ProtocolData {
        QString caption;
        QString errorFrame;                 // caption of framFehler
        std::array<QString, 4> titles;      // lblErrTitel
        std::array<QString, 4> values;      // lblError
        QString callStackFrame;             // caption of framCallStack
        QStringList callStack;              // newest first
    };
    static QString protocolText(const ProtocolData& d);
    // The printer lines of a protocol: each line word-wrapped after 73 counted
    // characters, continuations indented by 20 blanks.
    static QStringList printLinesOf(const QString& protocol);

    // Tests answer the dialog without its modal loop: the hook gets the filled,
    // arranged dialog and returns the index of the button it "clicks" (-1: closed otherwise).
    using AnswerHook = std::function<int(ErrPtnr&)>;
    static void setAnswerHook(AnswerHook h);
    static const AnswerHook& answerHook();

    // Read by tests and by the protocol.
    QString progInfo() const { return m_ProgInfo; }
    int16_t result() const { return m_Result; }
    QString buildProtocolText();
    QString traceFilePath() const;
    QString protocolFilePath() const;
    void clickProtocol(int index) { cmdProtocol_Click(static_cast<int16_t>(index)); }
    void clickContinue(int index) { cmdContinue_Click(static_cast<int16_t>(index)); }

    // Controls (names as the dialog calls them).
    QFrame* framComment = nullptr;
    QLabel* lblComment = nullptr;
    QGroupBox* framFehler = nullptr;
    QLabel* Label1 = nullptr;
    std::array<QLabel*, 4> lblErrTitel{};
    std::array<QLabel*, 4> lblError{};
    QGroupBox* framProtocol = nullptr;
    std::array<QPushButton*, 4> cmdProtocol{};
    QGroupBox* framCallStack = nullptr;
    QListWidget* lstCallStack = nullptr;
    QGroupBox* framContinue = nullptr;
    std::array<QPushButton*, 4> cmdContinue{};

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void reject() override;

private:
    ErrPtnr();
    int16_t showError(const QString& AktModul, const QString& AktProc, int16_t ContBits);
    void cmdContinue_Click(int16_t Index);
    void AntwortUnbeaufsichtigt(int ms);
    void ArrangeFrames(int16_t ContBits);
    void BuildProtocol(QString& Text);
    void cmdProtocol_Click(int16_t Index);
    void AppendTraceFile();
    void FillCallStackList();
    ProtocolData dialogData() const;
    int16_t nestedError(const QString& AktModul, const QString& AktProc);
    void appendToTraceFile(const QString& protocol) const;
    QString caption() const;

    int16_t m_Result = 0;
    QString m_ProgInfo;
    bool m_Showing = false;
};

// Shows an error that escaped to an event handler through the error dialog, and gives the
// message boxes that answer themselves the protocol file for their line.
void installErrorReporter();
