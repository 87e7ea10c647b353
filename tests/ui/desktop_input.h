#pragma once
// Mouse and keys as the desktop delivers them: through Qt's window-system
// queue, so that a window a modal box blocks never sees them (unlike
// QApplication::sendEvent, which hands an event to a widget whatever waits).

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace quillet::uitest {

// A button pressed or released, or the pointer moved (with the buttons
// pressed before still held), at `global` over `widget`'s window.
inline void mouseFromDesktop(QWidget* widget, QEvent::Type type, QPoint global,
                             Qt::MouseButton button = Qt::NoButton) {
    QWindow* window = widget->window()->windowHandle();
    const QPoint local = global - window->geometry().topLeft();
    if (type == QEvent::MouseButtonPress) QTest::mousePress(window, button, {}, local);
    else if (type == QEvent::MouseButtonRelease) QTest::mouseRelease(window, button, {}, local);
    else QTest::mouseMove(window, local);
    QApplication::processEvents();
}

inline void clickFromDesktop(QWidget* widget, QPoint local) {
    const QPoint global = widget->mapToGlobal(local);
    mouseFromDesktop(widget, QEvent::MouseButtonPress, global, Qt::LeftButton);
    mouseFromDesktop(widget, QEvent::MouseButtonRelease, global, Qt::LeftButton);
}

}  // namespace quillet::uitest
