#pragma once
// Boxes and dialogs that wait for an answer never lie under Quillet's own
// always-on-top windows: the viewer (which a preview spreads over the whole
// screen from its top-left corner), the settings dialogs, the help window
// and the scan counter.
//
// Every modal window the application shows is made to stay on top itself and
// raised once the desktop has it; while it waits, a click on any other of the
// program's windows (dragging the preview, say), which the desktop answers by
// raising that window, raises the waiting window again.
//
// The scan counter is the one window the user changes while a box waits: a
// box shown while the counter shows is placed clear of it, and the counter
// stays above it.

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace quillet::ui {

class ModalStacking : public QObject {
public:
    // Watches the whole application from now on. `companion` (the counter)
    // may be null.
    explicit ModalStacking(QWidget* companion);
    ~ModalStacking() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Before the desktop maps `box`.
    static void keepOnTop(QWidget* box);
    void placeClearOfCompanion(QWidget* box);
    // Raises the waiting windows, then the companion, once the event loop
    // runs again (after the desktop has seen the window or the click).
    void restackSoon();
    void restack();

    QPointer<QWidget> companion_;
    bool restackPending_ = false;
};

}  // namespace quillet::ui
