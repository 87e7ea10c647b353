#include "ui/number_edit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include "ui/bindings.h"

namespace quillet::ui {

NumberEdit::NumberEdit(app::NumberField& field, QWidget* parent)
    : QAbstractSpinBox(parent), field_(field) {
    setObjectName(qs(field.name()));
    setAccelerated(true);
    setFocusPolicy(Qt::StrongFocus);
    // Typed text is held by the model until committed (Enter, leaving the
    // field, an arrow step); the arrows and the wheel commit at once.
    setKeyboardTracking(false);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    // A spin edit takes digits and a sign; what they spell is the model's
    // business (a non-number reads as the minimum).
    lineEdit()->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-+]?[0-9]*")), this));
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        if (syncing_) return;
        field_.typeText(ss(text));
        sync();
    });
    connect(this, &QAbstractSpinBox::editingFinished, this, [this] {
        if (syncing_) return;
        field_.commit();
        sync();
    });
    onSignal(field_.viewChanged, this, [](NumberEdit* e) { e->sync(); });
    sync();
}

void NumberEdit::sync() {
    syncing_ = true;
    const QString want = qs(field_.editText());
    QLineEdit* edit = lineEdit();
    if (edit->maxLength() != field_.maxChars()) edit->setMaxLength(field_.maxChars());
    if (edit->text() != want) {
        const int cursor = edit->cursorPosition();
        const bool hadFocus = hasFocus();
        edit->setText(want);
        if (hadFocus) edit->setCursorPosition(std::min<int>(cursor, int(want.size())));
    }
    if (isEnabled() != field_.enabled()) setEnabled(field_.enabled());
    syncing_ = false;
}

void NumberEdit::stepBy(int steps) {
    for (int i = 0; i < steps; ++i) field_.stepUp();
    for (int i = 0; i > steps; --i) field_.stepDown();
    sync();
    lineEdit()->selectAll();
}

QAbstractSpinBox::StepEnabled NumberEdit::stepEnabled() const {
    if (!field_.enabled() || isReadOnly()) return StepNone;
    return StepUpEnabled | StepDownEnabled;
}

void NumberEdit::focusOutEvent(QFocusEvent* event) {
    // Qt's spin box reports the end of the edit on every focus loss; the
    // model decides whether this one commits.
    syncing_ = true;
    QAbstractSpinBox::focusOutEvent(event);
    syncing_ = false;
    field_.focusLost(focusMove(event->reason()));
    sync();
}

void NumberEdit::keyPressEvent(QKeyEvent* event) {
    // Enter with a number typed commits it and does no more; with nothing
    // typed it presses the window's default button as usual.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && field_.editing()) {
        field_.commit();
        sync();
        lineEdit()->selectAll();
        event->accept();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void NumberEdit::wheelEvent(QWheelEvent* event) {
    // The wheel steps only the field being edited, never one the pointer
    // merely passes over.
    if (hasFocus())
        QAbstractSpinBox::wheelEvent(event);
    else
        event->ignore();
}

QSize NumberEdit::sizeHint() const {
    // Wide enough for the field's character limit plus the arrows.
    ensurePolished();
    const QFontMetrics fm(font());
    const int chars = std::max(2, field_.maxChars());
    QStyleOptionSpinBox opt;
    initStyleOption(&opt);
    const QSize text(fm.horizontalAdvance(QString(chars, QLatin1Char('9'))) + 6,
                     lineEdit()->sizeHint().height());
    return style()->sizeFromContents(QStyle::CT_SpinBox, &opt, text, this);
}

QSize NumberEdit::minimumSizeHint() const { return sizeHint(); }

}  // namespace quillet::ui
