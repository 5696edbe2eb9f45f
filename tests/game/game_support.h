#pragma once
// Shared helpers of the game tests: mouse presses sent straight to a widget.
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace gametest {

inline void mouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPointF at = {20, 20}) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

inline void tap(QWidget* w, QPointF at = {20, 20}, Qt::MouseButton button = Qt::LeftButton) {
    mouse(w, QEvent::MouseButtonPress, button, at);
    mouse(w, QEvent::MouseButtonRelease, button, at);
}

}  // namespace gametest
