#include "ui/modal_stacking.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <vector>

namespace quillet::ui {

namespace {

bool isModalWindow(const QWidget* w) { return w->isWindow() && w->windowModality() != Qt::NonModal; }

// A window the user works in (not a menu, a drop-down list or a tooltip,
// which must stay above whatever they belong to).
bool isWorkWindow(const QWidget* w) {
    const Qt::WindowType type = w->windowType();
    return w->isWindow() && type != Qt::Popup && type != Qt::ToolTip && type != Qt::SplashScreen;
}

// The room the desktop's frame takes around the program's framed windows,
// as the first one shown with a frame has it; none before that.
QMargins desktopFrame() {
    for (const QWidget* w : QApplication::topLevelWidgets()) {
        const QRect f = w->frameGeometry(), g = w->geometry();
        if (w->isVisible() && f != g)
            return {g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom()};
    }
    return {};
}

// Whether `w` is the window `box` belongs to, or that one's owner (the
// desktop keeps a box above them itself).
bool ownsBox(const QWidget* w, const QWidget* box) {
    for (const QWidget* p = box->parentWidget(); p; p = p->parentWidget()) {
        p = p->window();
        if (p == w) return true;
    }
    return false;
}

constexpr int kGap = 8;

}  // namespace

ModalStacking::ModalStacking(QWidget* companion) : companion_(companion) { qApp->installEventFilter(this); }

ModalStacking::~ModalStacking() { qApp->removeEventFilter(this); }

bool ModalStacking::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) return false;
    auto* w = static_cast<QWidget*>(watched);
    switch (event->type()) {
        case QEvent::Show:
            // Before the desktop maps it, so that it comes up on top.
            if (isModalWindow(w)) keepOnTop(w);
            break;
        case QEvent::ShowToParent:
            // Placed by now (a dialog centres itself as it is shown).
            if (isModalWindow(w)) {
                placeClearOfCompanion(w);
                QPointer<QWidget> shown(w);
                QTimer::singleShot(0, w, [shown] {
                    if (shown && shown->isVisible()) shown->activateWindow();
                });
                restackSoon();
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::WindowActivate:
            // The desktop raises what the user clicks or activates: a waiting
            // box goes back on top of it.
            if (QApplication::activeModalWidget() && isWorkWindow(w->window()) && !isModalWindow(w->window()))
                restackSoon();
            break;
        default:
            break;
    }
    return false;
}

void ModalStacking::keepOnTop(QWidget* box) {
    if (box->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) return;
    // Not setWindowFlags(), which would hide the window being shown: the
    // widget and its native window are told apart.
    box->overrideWindowFlags(box->windowFlags() | Qt::WindowStaysOnTopHint);
    if (QWindow* native = box->windowHandle()) native->setFlags(native->flags() | Qt::WindowStaysOnTopHint);
}

void ModalStacking::placeClearOfCompanion(QWidget* box) {
    if (!companion_ || !companion_->isVisible() || companion_ == box) return;
    // Either window may still be without its frame: it is taken with the
    // frame of the program's framed windows around it. A counter that the
    // desktop has not framed yet may have been placed by its frame or by its
    // client area: room is kept for both.
    const QMargins m = desktopFrame();
    const QRect counterFrame = companion_->frameGeometry();
    const QRect counter =
        counterFrame == companion_->geometry()
            ? counterFrame.marginsAdded({m.left(), m.top(), m.right(), m.top() + m.bottom()})
            : counterFrame;
    const QRect frame = box->geometry().marginsAdded(m);
    if (!frame.intersects(counter)) return;
    const QScreen* screen = companion_->screen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    // Below the companion, else above it.
    QPoint place(frame.left(), counter.bottom() + 1 + kGap);
    if (!room.isEmpty() && place.y() + frame.height() > room.bottom() + 1) {
        place.setY(counter.top() - kGap - frame.height());
        if (place.y() < room.top()) return;
    }
    // A window already made is moved by its client area.
    box->move(place + QPoint(m.left(), m.top()));
}

void ModalStacking::restackSoon() {
    if (restackPending_) return;
    restackPending_ = true;
    QTimer::singleShot(0, this, [this] { restack(); });
}

void ModalStacking::restack() {
    restackPending_ = false;
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    // Some desktops raise a modal box by raising the window it belongs to
    // (openbox does, and the main window lies in a lower layer than the
    // windows that stay on top), so the box cannot be raised above those:
    // they go below it instead, the small ones first so that they stay
    // above the viewer.
    std::vector<QWidget*> onTop;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && isWorkWindow(w) && !isModalWindow(w) && w != companion_ &&
            w->windowFlags().testFlag(Qt::WindowStaysOnTopHint) && !ownsBox(w, modal))
            onTop.push_back(w);
    std::stable_sort(onTop.begin(), onTop.end(), [](const QWidget* a, const QWidget* b) {
        return qint64(a->width()) * a->height() < qint64(b->width()) * b->height();
    });
    for (QWidget* w : onTop) w->lower();
    // Boxes opened from a waiting dialog lie above it: the outer ones first.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != modal && w->isVisible() && isModalWindow(w)) w->raise();
    modal->raise();
    if (companion_ && companion_->isVisible()) companion_->raise();
}

}  // namespace quillet::ui
