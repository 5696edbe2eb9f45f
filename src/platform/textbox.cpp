#include "platform/textbox.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

namespace platform {

void FilterTextBox::pasteFiltered(const QString& text) {
    const QString rein = filtered(text);
    if (!rein.isEmpty()) insert(rein);
}

void FilterTextBox::keyPressEvent(QKeyEvent* e) {
    if (e->matches(QKeySequence::Paste)) {
        if (!isReadOnly()) pasteFiltered(QGuiApplication::clipboard()->text());
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void FilterTextBox::mouseReleaseEvent(QMouseEvent* e) {
    QClipboard* c = QGuiApplication::clipboard();
    if (e->button() == Qt::MiddleButton && c->supportsSelection() && !isReadOnly()) {
        deselect();
        pasteFiltered(c->text(QClipboard::Selection));
        e->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

void FilterTextBox::contextMenuEvent(QContextMenuEvent* e) {
    QMenu* m = createStandardContextMenu();
    if (!m) return;
    m->setAttribute(Qt::WA_DeleteOnClose);
    // The standard "Einfügen" pastes the clipboard unfiltered: an entry of the same caption takes
    // its place. It is known by the caption the box gives it, translated as the menu's own.
    for (QAction* a : m->actions()) {
        if (a->text().section(QLatin1Char('\t'), 0, 0) != QLineEdit::tr("&Paste")) continue;
        auto* gefiltert = new QAction(a->icon(), a->text(), m);
        gefiltert->setEnabled(a->isEnabled());
        connect(gefiltert, &QAction::triggered, this, [this] { pasteFiltered(QGuiApplication::clipboard()->text()); });
        m->insertAction(a, gefiltert);
        m->removeAction(a);
    }
    m->popup(e->globalPos());
}

void FilterTextBox::dropEvent(QDropEvent* e) {
    if (!e->mimeData()->hasText()) {
        QLineEdit::dropEvent(e);
        return;
    }
    const QString rein = filtered(e->mimeData()->text());
    if (rein.isEmpty()) {
        e->ignore();
        return;
    }
    QMimeData nur;
    nur.setText(rein);
    QDropEvent f(e->position(), e->possibleActions(), &nur, e->buttons(), e->modifiers(), e->type());
    f.setDropAction(e->dropAction());
    QLineEdit::dropEvent(&f);
    e->setDropAction(f.dropAction());
    e->setAccepted(f.isAccepted());
}

}  // namespace platform
