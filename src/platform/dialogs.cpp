#include "platform/dialogs.h"

#include "platform/colors.h"
#include "platform/program.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace platform {
namespace {
Answerer* g_answerer = nullptr;
int g_open = 0;

struct OpenMark {
    OpenMark() { ++g_open; }
    ~OpenMark() { --g_open; }
};

QWidget* ownerOr(QWidget* w) { return w ? w : QApplication::activeWindow(); }
}  // namespace

void setAnswerer(Answerer* a) { g_answerer = a; }
Answerer* answerer() { return g_answerer; }
bool dialogOpen() { return g_open > 0; }

int MsgBox(const QString& prompt, int style, const QString& title) {
    MessageRequest r{prompt, style, title.isEmpty() ? appTitle() : title};
    OpenMark mark;
    if (g_answerer) return g_answerer->message(r);

    QMessageBox box(ownerOr(nullptr));
    box.setWindowTitle(r.title);
    box.setText(QString(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    switch (r.icon()) {
    case vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vbInformation: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    if (r.buttons() == vbYesNo) {
        QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.exec();
        return box.clickedButton() == no ? vbNo : vbYes;
    }
    if (r.buttons() == vbOKCancel) {
        QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        QPushButton* cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(cancel);
        box.exec();
        return box.clickedButton() == cancel ? vbCancel : vbOK;
    }
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return vbOK;
}

QString pickFolder(QWidget* owner, const QString& title) {
    OpenMark mark;
    if (g_answerer) return g_answerer->folder(title);
    return QFileDialog::getExistingDirectory(ownerOr(owner), title, QString(),
                                             QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
}

std::optional<int32_t> pickColor(QWidget* owner, int32_t initial) {
    OpenMark mark;
    if (g_answerer) return g_answerer->color(initial);
    const QColor c = QColorDialog::getColor(vbColor(initial), ownerOr(owner), QStringLiteral("Farbe"));
    if (!c.isValid()) return std::nullopt;
    return RGB(c.red(), c.green(), c.blue());
}

std::optional<QString> pickSaveFile(QWidget* owner, const QString& title, const QString& proposed) {
    OpenMark mark;
    if (g_answerer) return g_answerer->saveFile(title, proposed);
    const QString p = QFileDialog::getSaveFileName(ownerOr(owner), title, proposed);
    if (p.isEmpty()) return std::nullopt;
    return p;
}

}  // namespace platform
