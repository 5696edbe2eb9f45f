#pragma once
// A text box whose text from anywhere but a typed key first passes a filter: a paste by
// its menu, Ctrl+V or Shift+Insert, the X11 selection by the middle button, a drop.
// Typed keys are the form's to filter (KeyPress).
#include <QLineEdit>
#include <functional>

namespace platform {

class FilterTextBox : public QLineEdit {
public:
    explicit FilterTextBox(QWidget* parent = nullptr) : QLineEdit(parent) {}
    // What of a pasted or dropped text goes in; an empty result leaves the box as it is
    // (a selection too). Unset: all of it.
    std::function<QString(const QString&)> pasteFilter;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    QString filtered(const QString& text) const { return pasteFilter ? pasteFilter(text) : text; }
    void pasteFiltered(const QString& text);
};

}  // namespace platform
