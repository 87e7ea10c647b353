#include "ui/bindings.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QSignalBlocker>
#include <QGuiApplication>
#include <QScreen>
#include <QStatusTipEvent>
#include <QCoreApplication>
#include <QKeySequence>
#include <QTimer>

#include "ui/desktop_fit.h"

namespace quillet::ui {

void syncAction(QAction* action, const app::MenuItem& item) {
    action->setText(qs(item.caption()));
    action->setShortcut(QKeySequence::fromString(qs(item.shortcut()), QKeySequence::PortableText));
    action->setStatusTip(qs(item.hint()));
    if (action->isCheckable()) action->setChecked(item.checked());
    action->setEnabled(item.enabled());
    action->setVisible(item.visible());
}

void bindAction(QAction* action, app::MenuItem& item, bool checkable) {
    action->setObjectName(qs(item.name()));
    action->setCheckable(checkable);
    syncAction(action, item);
    onSignal(item.viewChanged, action, [&item](QAction* a) { syncAction(a, item); });
    app::MenuItem* model = &item;
    // Highlighting the item makes its hint the application's current help
    // text (menus send it too; the help routing ignores repeats).
    QObject::connect(action, &QAction::hovered, action, [action] {
        QStatusTipEvent tip(action->statusTip());
        QCoreApplication::sendEvent(action, &tip);
    });
    QObject::connect(action, &QAction::triggered, action, [action, model] {
        QPointer<QAction> guard(action);
        model->click();
        if (guard) syncAction(guard, *model);
    });
}

namespace {
// The frame extents of decorated windows, as last seen on any of them, and
// the bindings that have not seen their own frame yet.
QSize g_decoration;
std::vector<WindowBinding*> g_bindings;
}  // namespace

WindowBinding::~WindowBinding() { std::erase(g_bindings, this); }

void WindowBinding::reportFrame() {
    if (window_->windowFlags().testFlag(Qt::FramelessWindowHint)) return;
    const QSize extra = window_->frameGeometry().size() - window_->size();
    if (window_->isVisible() && extra.width() >= 0 && extra.height() >= 0 && extra != QSize(0, 0)) {
        ownFrameKnown_ = true;
        model_.setFrameExtents(extra.width(), extra.height());
        if (extra != g_decoration) {
            g_decoration = extra;
            for (WindowBinding* b : g_bindings)
                if (!b->ownFrameKnown_ && b != this)
                    b->model_.setFrameExtents(extra.width(), extra.height());
        }
    } else if (!ownFrameKnown_ && g_decoration.isValid()) {
        model_.setFrameExtents(g_decoration.width(), g_decoration.height());
    }
}

WindowBinding::WindowBinding(QWidget* window, app::WindowModel& model, Options options)
    : QObject(window), window_(window), model_(model), options_(options) {
    g_bindings.push_back(this);
    window_->setObjectName(qs(model.className()));
    window_->installEventFilter(this);
    onSignal(model_.changed, this, [](WindowBinding* b) { b->apply(); });
    reportFrame();
    onSignal(model_.raised, this, [](WindowBinding* b) { b->raiseSoon(); });
}

void WindowBinding::raiseSoon() {
    // Long commands bring the window to the front after every page: at most
    // about every 20 ms, the last request always carried out (when the
    // command ends and the event loop runs again, at the latest).
    if (!raiseClock_.isValid() || raiseClock_.elapsed() >= 20) {
        raiseClock_.start();
        raisePending_ = false;
        if (window_->isVisible()) {
            window_->raise();
            window_->update();
        }
        return;
    }
    if (raisePending_) return;
    raisePending_ = true;
    QPointer<WindowBinding> self(this);
    QTimer::singleShot(20, this, [self] {
        if (self && self->raisePending_) {
            self->raiseClock_.invalidate();
            self->raiseSoon();
        }
    });
}

void WindowBinding::apply() {
    applying_ = true;
    if (window_->windowTitle() != qs(model_.caption())) window_->setWindowTitle(qs(model_.caption()));
    if (options_.followStayOnTop) {
        const bool onTop = window_->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        if (onTop != model_.stayOnTop()) {
            const bool wasVisible = window_->isVisible();
            window_->setWindowFlag(Qt::WindowStaysOnTopHint, model_.stayOnTop());
            if (wasVisible) window_->show();  // changing flags unmaps the window
        }
    }
    const bool hasSize = model_.width() > 0 && model_.height() > 0;
    if (options_.followSize && (hasSize || options_.emptyIsOnePixel)) {
        const QSize want(std::max(1, model_.width()), std::max(1, model_.height()));
        if (options_.fixedSize) {
            if (window_->minimumSize() != want || window_->maximumSize() != want)
                window_->setFixedSize(want);
        } else if (window_->size() != want) {
            window_->resize(want);
        }
    }
    const QPoint want(model_.left(), model_.top());
    if (window_->pos() != want || want != pendingMove_) restores_ = 0;
    if (window_->pos() != want) {
        window_->move(want);
        pendingMove_ = want;
        pendingClock_.start();
    }
    if (model_.visible()) {
        hidePending_ = false;
        if (model_.minimized() && !window_->isMinimized()) window_->showMinimized();
        else if (!model_.minimized() && window_->isMinimized()) window_->showNormal();
        else if (!window_->isVisible()) window_->show();
        window_->update();
    } else if (window_->isVisible() && !hidePending_) {
        // Hidden now, but perhaps shown again by the next step of the same
        // command (a refresh): decide when the command has finished.
        hidePending_ = true;
        QPointer<WindowBinding> self(this);
        QTimer::singleShot(0, this, [self] {
            if (self) self->applyHide();
        });
    }
    applying_ = false;
}

void WindowBinding::restorePlace() {
    const QPoint want(model_.left(), model_.top());
    if (window_->pos() == want) return;
    // A desktop that insists gets its way after a few tries, rather than a
    // tug of war; the model keeps the program's position all the same.
    if (restores_ >= 8) return;
    ++restores_;
    QPointer<WindowBinding> self(this);
    QTimer::singleShot(0, this, [self] {
        if (!self) return;
        const QPoint place(self->model_.left(), self->model_.top());
        if (self->window_->isVisible() && self->window_->pos() != place) {
            self->applying_ = true;
            self->window_->move(place);
            self->applying_ = false;
            self->pendingMove_ = place;
            self->pendingClock_.start();
        }
    });
}

void WindowBinding::applyHide() {
    if (!hidePending_) return;
    hidePending_ = false;
    if (!model_.visible() && window_->isVisible()) {
        applying_ = true;
        window_->hide();
        applying_ = false;
    }
}

bool WindowBinding::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_) return false;
    const QEvent::Type type = event->type();
    if (type == QEvent::Move || type == QEvent::Show || type == QEvent::Resize) reportFrame();
    if (applying_) return false;
    switch (type) {
        case QEvent::Move:
            if (!window_->isVisible()) break;
            if (options_.placedByProgram) {
                restorePlace();
                break;
            }
            // The desktop reports the moves the model asked for a little
            // later, possibly several in a row during a drag: those are not
            // the user's. Only a move nobody asked for (or one the desktop
            // made instead of ours, after a while) goes back to the model.
            if (pendingClock_.isValid() && pendingClock_.elapsed() < 500) {
                // Arrived; or the desktop put the window elsewhere than asked
                // (a first showing may place the client area, not the frame,
                // at the position): asked again, now that the frame is known.
                if (window_->pos() == pendingMove_)
                    pendingClock_.invalidate();
                else
                    restorePlace();
                break;
            }
            pendingClock_.invalidate();
            model_.moveTo(window_->x(), window_->y());
            break;
        case QEvent::WindowStateChange:
            model_.setMinimized(window_->isMinimized());
            break;
        case QEvent::Close:
            if (options_.closeHides) {
                event->ignore();
                model_.hide();
                applyHide();
                return true;
            }
            break;
        default:
            break;
    }
    return false;
}

void syncChoice(QComboBox* combo, const app::ChoiceList& list) {
    const QSignalBlocker quiet(combo);
    const auto& items = list.items();
    bool same = combo->count() == int(items.size());
    for (int i = 0; same && i < combo->count(); ++i)
        same = combo->itemText(i) == qs(items[std::size_t(i)]);
    if (!same) {
        combo->clear();
        for (const auto& s : items) combo->addItem(qs(s));
    }
    if (combo->currentIndex() != list.itemIndex()) combo->setCurrentIndex(list.itemIndex());
    combo->setEnabled(list.enabled());
}

app::FocusMove focusMove(Qt::FocusReason reason) {
    switch (reason) {
        case Qt::ActiveWindowFocusReason: return app::FocusMove::WindowActivation;
        case Qt::PopupFocusReason: return app::FocusMove::PopupMenu;
        default: return app::FocusMove::BetweenControls;
    }
}

Qt::WindowFlags dialogFlags(bool closeBox) {
    Qt::WindowFlags f = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowStaysOnTopHint;
    if (closeBox) f |= Qt::WindowCloseButtonHint;
    return f;
}

WindowBinding* bindDialog(QWidget* dialog, app::WindowModel& model, bool closeBox) {
    dialog->setWindowFlags(dialogFlags(closeBox));
    dialog->setAttribute(Qt::WA_QuitOnClose, false);
    dialog->setWindowTitle(qs(model.caption()));
    finishWindow(dialog, true);
    dialog->adjustSize();
    dialog->setFixedSize(
        dialog->sizeHint().expandedTo(dialog->minimumSizeHint()).expandedTo(dialog->minimumSize()));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->availableGeometry();
        model.moveTo(s.left() + (s.width() - dialog->width()) / 2,
                     s.top() + (s.height() - dialog->height()) / 2);
    }
    auto* binding = new WindowBinding(dialog, model,
                                      {.followSize = false, .fixedSize = true, .closeHides = closeBox});
    binding->apply();
    return binding;
}

}  // namespace quillet::ui
