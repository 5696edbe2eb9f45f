#pragma once
// Message boxes and common dialogs behind one seam: the program shows real Qt
// dialogs, tests install an Answerer that replies at once without a modal loop.
#include <QColor>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace platform {

// Buttons and icons as the forms runtime numbers them (added together).
enum MsgStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};
enum MsgResult : int { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

struct MessageRequest {
    QString prompt;
    int style = 0;
    QString title;
    // Above 0: the box answers itself with its default button after this many ms.
    int timeoutMs = 0;
    // Shown over another program's window, which keeps the keyboard focus.
    bool leavesFocus = false;
    int buttons() const { return style & 7; }
    int icon() const { return style & 0x70; }
};

class Answerer {
public:
    virtual ~Answerer() = default;
    virtual int message(const MessageRequest& r) = 0;
    // Folder picker opened in `start`: the chosen folder, or "" for cancel.
    virtual QString folder(const QString& title, const QString& start) = 0;
    // Colour dialog: the chosen colour value (&HBBGGRR), or nothing for cancel.
    virtual std::optional<int32_t> color(int32_t initial) = 0;
    // Save-file dialog: the chosen path, or nothing for cancel.
    virtual std::optional<QString> saveFile(const QString& title, const QString& proposed) = 0;
    // Pop-up menu: the chosen entry, or nullptr when the menu was closed without a choice.
    virtual QAction* menu(QMenu& m) {
        (void)m;
        return nullptr;
    }
};

// nullptr: the real dialogs.
void setAnswerer(Answerer* a);
Answerer* answerer();

// MsgBox(prompt, buttons+icon, title); the title defaults to the program's title.
int MsgBox(const QString& prompt, int style = vbOKOnly, const QString& title = QString());

// A box over the windows of another program (the kiosk that already runs): it takes them no
// keyboard focus, which without a window manager would not come back when the box is gone,
// and it answers itself with its default button after timeoutMs.
int MsgBoxBeside(const QString& prompt, int style, int timeoutMs);

// While one exists, every message box answers itself with its default button after ms:
// a run that nobody watches must not wait for a person.
class UnattendedMessages {
public:
    explicit UnattendedMessages(int ms);
    ~UnattendedMessages();
    UnattendedMessages(const UnattendedMessages&) = delete;
    UnattendedMessages& operator=(const UnattendedMessages&) = delete;

private:
    int previous_;
};
// The time after which a box answers itself (0 while somebody may be there).
int unattendedTimeoutMs();
// Where a box that answered itself in place of a person says so, in one line (the error
// tracer's protocol file); until it is set, nowhere.
void setSelfAnswerLog(std::function<void(const QString& line)> log);
// That line, for a message box as for the error dialog: the time waited, the button's caption
// (without "&") and what the box was about.
void logSelfAnswer(int ms, const QString& answer, const QString& about);
// A box with an OK button that does not hold its caller (nor count as an open dialog):
// it stays until its OK or until the caller closes it. An Answerer answers it at once.
QPointer<QWidget> showMessage(QWidget* owner, const QString& prompt, int style);
QString pickFolder(QWidget* owner, const QString& title, const QString& start = QString());
std::optional<int32_t> pickColor(QWidget* owner, int32_t initial);
std::optional<QString> pickSaveFile(QWidget* owner, const QString& title, const QString& proposed);

// Pops the menu up at the point and returns after the chosen entry's command has run.
void popupMenu(QMenu* m, const QPoint& at);

// True while one of these dialogs, or any other modal window that holds a
// ModalScope, runs its modal loop.
bool dialogOpen();
class ModalScope {
public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};

}  // namespace platform
