#pragma once
// Small helpers that tie Qt widgets to the control models both ways: the
// model's signals update the widget, the widget's user events call the
// model. A widget never decides anything itself.

#include <QAction>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <string>

#include "app/choice_list.h"
#include "app/focus_move.h"
#include "app/menu_item.h"
#include "app/window_model.h"

class QComboBox;

namespace quillet::ui {

inline QString qs(const std::string& s) { return QString::fromStdString(s); }
inline std::string ss(const QString& s) { return s.toStdString(); }

// Connects a model Signal to a member of a QObject; the slot does nothing
// once the object is gone (the models outlive the windows).
template <typename Obj, typename Fn>
void onSignal(app::Signal& signal, Obj* object, Fn fn) {
    QPointer<Obj> guard(object);
    signal.connect([guard, fn] {
        if (guard) fn(guard.data());
    });
}

// Mirrors a MenuItem on a QAction: caption (with "&" access keys), shortcut,
// status tip (the hint), check mark (when `checkable`), enabled, visible;
// triggered() calls item.click() and then re-reads the model, so the check
// mark is always the model's.
void bindAction(QAction* action, app::MenuItem& item, bool checkable);

// Re-reads one MenuItem into its action.
void syncAction(QAction* action, const app::MenuItem& item);

// Mirrors a WindowModel on a top-level widget: caption, position (the
// frame's top-left), client size (when the model has one and `followSize`),
// visibility and, when `followStayOnTop`, the stay-on-top flag. The user's
// own moves and the close box are reported back: moves update the model's
// position, closing hides the model's window. A hide followed at once by a
// show (a refresh) repaints without unmapping the window.
class WindowBinding : public QObject {
public:
    struct Options {
        bool followSize = true;
        bool fixedSize = false;      // the user cannot resize the window
        bool followStayOnTop = false;
        bool closeHides = true;      // the close box only hides the window
        bool emptyIsOnePixel = false; // a 0 x 0 model size shows as 1 x 1
        // The program alone places the window (a borderless one): a move the
        // desktop makes on its own (its placement policy keeping windows on
        // the screen) is undone, never taken into the model.
        bool placedByProgram = false;
    };
    WindowBinding(QWidget* window, app::WindowModel& model, Options options);
    ~WindowBinding() override;

    // Model -> widget, now.
    void apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyHide();
    // Tells the model the frame the desktop draws around the window: its own
    // once it has been shown framed, else that of the decorated windows seen
    // so far (so a window placed before its first showing is placed whole).
    void reportFrame();
    void raiseSoon();
    // Puts a window that the desktop moved back where the model has it.
    void restorePlace();

    QWidget* window_;
    app::WindowModel& model_;
    Options options_;
    bool applying_ = false;
    bool hidePending_ = false;
    bool ownFrameKnown_ = false;
    QPoint pendingMove_;          // the last position asked of the desktop
    QElapsedTimer pendingClock_;  // since when (invalid: none pending)
    QElapsedTimer raiseClock_;    // since the last raise
    bool raisePending_ = false;
    int restores_ = 0;            // undone desktop moves since the last model move
};

// The model's view of a Qt focus event's reason.
app::FocusMove focusMove(Qt::FocusReason reason);

// Model -> drop-down list: items, selected index, availability (no signal
// is emitted by the widget).
void syncChoice(QComboBox* combo, const app::ChoiceList& list);

// Makes `dialog` one of Quillet's small settings windows: a dialog frame
// (with only a close box when `closeBox`, no title-bar buttons otherwise),
// always on top, fixed at the size of its layout, centred on the screen
// (the position is written into the model), mirroring `model`.
WindowBinding* bindDialog(QWidget* dialog, app::WindowModel& model, bool closeBox);

// The window flags of such a dialog.
Qt::WindowFlags dialogFlags(bool closeBox);

}  // namespace quillet::ui
