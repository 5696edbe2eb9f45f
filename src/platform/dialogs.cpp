#include "platform/dialogs.h"

#include "platform/colors.h"
#include "platform/program.h"
#include "platform/toplevel.h"
#include "platform/vbtimer.h"

#include <QApplication>
#include <QColorDialog>
#include <QEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace platform {
namespace {
Answerer* g_answerer = nullptr;
int g_open = 0;
int g_timeoutMs = 0;
std::function<void(const QString&)> g_selfAnswerLog;

QWidget* ownerOr(QWidget* w) { return w ? w : QApplication::activeWindow(); }
}  // namespace

ModalScope::ModalScope() { ++g_open; }
ModalScope::~ModalScope() { --g_open; }

void setAnswerer(Answerer* a) { g_answerer = a; }
Answerer* answerer() { return g_answerer; }
bool dialogOpen() { return g_open > 0; }

UnattendedMessages::UnattendedMessages(int ms) : previous_(g_timeoutMs) { g_timeoutMs = ms; }
UnattendedMessages::~UnattendedMessages() { g_timeoutMs = previous_; }
int unattendedTimeoutMs() { return g_timeoutMs; }
void setSelfAnswerLog(std::function<void(const QString&)> log) { g_selfAnswerLog = std::move(log); }

void logSelfAnswer(int ms, const QString& answer, const QString& about) {
    if (!g_selfAnswerLog) return;
    g_selfAnswerLog(QStringLiteral("Unbeaufsichtigt nach %1 s selbst beantwortet mit \"%2\": %3")
                        .arg(ms / 1000)
                        .arg(QString(answer).remove(QLatin1Char('&')), about));
}

namespace {
void fillBox(QMessageBox& box, const MessageRequest& r) {
    box.setWindowTitle(r.title);
    box.setText(QString(r.prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    switch (r.icon()) {
    case vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vbInformation: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
}

// A modal window takes the focus when it is mapped, and a window that accepts focus takes it when
// clicked: a box that leaves it to another program is neither, and its caller waits in a loop of its own.
void runBox(QMessageBox& box, bool leavesFocus) {
    if (!leavesFocus) {
        box.exec();
        return;
    }
    box.setWindowModality(Qt::NonModal);
    // The box sets its flags anew as it is filled: these come last.
    box.setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    box.setAttribute(Qt::WA_ShowWithoutActivating);
    QEventLoop loop;
    QObject::connect(&box, &QDialog::finished, &loop, &QEventLoop::quit);
    box.show();
    loop.exec();
}

// A protocol line holds the prompt's lines side by side.
QString einzeilig(const QString& prompt) {
    return QString(prompt).replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

// `protokoll`: a box that answers itself in place of a person says so in the protocol; the
// notice beside another program (the kiosk already running) only closes, its protocol not ours.
int runMessage(const MessageRequest& r, bool protokoll) {
    ModalScope mark;
    if (g_answerer) return g_answerer->message(r);

    QMessageBox box(r.leavesFocus ? nullptr : ownerOr(nullptr));
    if (!r.leavesFocus) bringToFrontWhenShown(&box);
    fillBox(box, r);
    // The timer is the form runtime's: under a test's virtual clock it ticks on that clock.
    VbTimer selbst(&box, r.timeoutMs, r.timeoutMs > 0);
    selbst.onTimer = [&box, &r, protokoll] {
        QPushButton* b = box.defaultButton();
        if (!b) return;
        if (protokoll) logSelfAnswer(r.timeoutMs, b->text(), einzeilig(r.prompt));
        b->click();
    };
    if (r.buttons() == vbYesNo) {
        QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        runBox(box, r.leavesFocus);
        return box.clickedButton() == no ? vbNo : vbYes;
    }
    if (r.buttons() == vbOKCancel) {
        QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        QPushButton* cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(cancel);
        runBox(box, r.leavesFocus);
        return box.clickedButton() == cancel ? vbCancel : vbOK;
    }
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    runBox(box, r.leavesFocus);
    return vbOK;
}

// Without a window manager the window activated last keeps the keyboard, and a window is activated
// only once it is on the screen: an owner shown after its box would take the key meant for the
// box (a Return pressed the owner's default button). So the box takes the keyboard back once,
// when its owner has come up.
class NachDemBesitzer : public QObject {
public:
    NachDemBesitzer(QWidget* owner, QWidget* box) : QObject(box), box_(box) { owner->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::WindowActivate) {
            watched->removeEventFilter(this);
            // After the activation still on its way: the owner's would come last again.
            QTimer::singleShot(0, box_, [box = box_] {
                if (box->isVisible()) bringToFront(box);
            });
        }
        return false;
    }

private:
    QWidget* box_;
};
}  // namespace

int MsgBox(const QString& prompt, int style, const QString& title) {
    return runMessage({prompt, style, title.isEmpty() ? appTitle() : title, g_timeoutMs}, true);
}

int MsgBoxBeside(const QString& prompt, int style, int timeoutMs) {
    MessageRequest r{prompt, style, appTitle(), timeoutMs};
    r.leavesFocus = true;
    return runMessage(r, false);
}

QPointer<QWidget> showMessage(QWidget* owner, const QString& prompt, int style) {
    const MessageRequest r{prompt, style, appTitle(), 0};
    if (g_answerer) {
        const ModalScope mark;
        g_answerer->message(r);
        return nullptr;
    }
    auto* box = new QMessageBox(owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    fillBox(*box, r);
    QPushButton* ok = box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box->setDefaultButton(ok);
    box->setEscapeButton(ok);
    // Closed, it gives the keyboard back to its owner, which without a window manager nobody would.
    if (owner) bringToFrontWhenShown(box, owner);
    box->show();
    // Over the window that the caller shows next, once the event loop runs.
    QTimer::singleShot(0, box, [box] { bringToFront(box); });
    if (owner && !owner->isVisible()) new NachDemBesitzer(owner, box);
    return box;
}

QString pickFolder(QWidget* owner, const QString& title, const QString& start) {
    ModalScope mark;
    if (g_answerer) return g_answerer->folder(title, start);
    // A folder that is gone opens at its nearest existing parent.
    QFileInfo at(start);
    while (!start.isEmpty() && !at.isDir() && !at.isRoot() && at.absolutePath() != at.absoluteFilePath())
        at.setFile(at.absolutePath());
    QFileDialog d(ownerOr(owner), title, at.isDir() ? at.absoluteFilePath() : QString());
    d.setFileMode(QFileDialog::Directory);
    d.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    bringToFrontWhenShown(&d);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return QString();
    return d.selectedFiles().constFirst();
}

std::optional<int32_t> pickColor(QWidget* owner, int32_t initial) {
    ModalScope mark;
    if (g_answerer) return g_answerer->color(initial);
    QColorDialog d(vbColor(initial), ownerOr(owner));
    d.setWindowTitle(QStringLiteral("Farbe"));
    bringToFrontWhenShown(&d);
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    const QColor c = d.selectedColor();
    if (!c.isValid()) return std::nullopt;
    return RGB(c.red(), c.green(), c.blue());
}

std::optional<QString> pickSaveFile(QWidget* owner, const QString& title, const QString& proposed) {
    ModalScope mark;
    if (g_answerer) return g_answerer->saveFile(title, proposed);
    QFileDialog d(ownerOr(owner), title, proposed);
    d.setAcceptMode(QFileDialog::AcceptSave);
    bringToFrontWhenShown(&d);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
    return d.selectedFiles().constFirst();
}

void popupMenu(QMenu* m, const QPoint& at) {
    ModalScope mark;
    if (g_answerer) {
        if (QAction* a = g_answerer->menu(*m)) a->trigger();
        return;
    }
    // Synchronous: the chosen entry's command runs inside exec, before it returns.
    m->exec(at);
}

}  // namespace platform
