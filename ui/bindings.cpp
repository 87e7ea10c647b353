#include "ui/bindings.h"

#include <QCloseEvent>
#include <QKeySequence>
#include <QTimer>

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
    QObject::connect(action, &QAction::triggered, action, [action, model] {
        QPointer<QAction> guard(action);
        model->click();
        if (guard) syncAction(guard, *model);
    });
}

WindowBinding::WindowBinding(QWidget* window, app::WindowModel& model, Options options)
    : QObject(window), window_(window), model_(model), options_(options) {
    window_->setObjectName(qs(model.className()));
    window_->installEventFilter(this);
    onSignal(model_.changed, this, [](WindowBinding* b) { b->apply(); });
    onSignal(model_.raised, this, [](WindowBinding* b) {
        if (b->window_->isVisible()) {
            b->window_->raise();
            b->window_->update();
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
    if (options_.followSize && model_.width() > 0 && model_.height() > 0) {
        const QSize want(model_.width(), model_.height());
        if (options_.fixedSize) {
            if (window_->minimumSize() != want || window_->maximumSize() != want)
                window_->setFixedSize(want);
        } else if (window_->size() != want) {
            window_->resize(want);
        }
    }
    if (window_->pos() != QPoint(model_.left(), model_.top()))
        window_->move(model_.left(), model_.top());
    if (model_.visible()) {
        hidePending_ = false;
        if (!window_->isVisible()) window_->show();
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
    if (watched != window_ || applying_) return false;
    switch (event->type()) {
        case QEvent::Move:
            if (window_->isVisible()) model_.moveTo(window_->x(), window_->y());
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

}  // namespace quillet::ui
