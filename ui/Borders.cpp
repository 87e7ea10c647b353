#include "ui/Borders.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/bindings.h"
#include "ui/desktop_fit.h"
#include "ui/number_edit.h"

namespace quillet::ui {

namespace {

QFont fieldFont(const imaging::Font& f, int pointSize) {
    QFont font(qs(f.name), pointSize);
    font.setStyleHint(QFont::SansSerif);
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    return font;
}

}  // namespace

Tsetbordersheadersfootersdialog::Tsetbordersheadersfootersdialog(layout::BordersDialog& dialog)
    : dialog_(dialog) {
    using D = layout::BordersDialog;
    QFont dialogFont(QStringLiteral("Arial"), 8);
    dialogFont.setStyleHint(QFont::SansSerif);
    dialogFont.setBold(true);
    setFont(dialogFont);
    setStatusTip(qs(D::helpText("")));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(10, 10, 10, 10);
    outer->setSpacing(6);

    // The widths: Internal | row label | External.
    auto* block = new QGroupBox(this);
    auto* grid = new QGridLayout(block);
    grid->setContentsMargins(10, 6, 10, 8);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(4);
    auto centred = [&](const QString& text) {
        auto* l = new QLabel(text, block);
        l->setAlignment(Qt::AlignCenter);
        return l;
    };
    grid->addWidget(centred(QStringLiteral("Internal")), 0, 0);
    grid->addWidget(centred(QStringLiteral("(mm)")), 0, 1);
    grid->addWidget(centred(QStringLiteral("External")), 0, 2);
    const std::array<const char*, 4> rows{"top", "bottom", "left", "right"};
    auto fields = dialog_.widthFields();
    for (int r = 0; r < 4; ++r) {
        app::NumberField& in = *fields[std::size_t(r)];
        app::NumberField& ex = *fields[std::size_t(r + 4)];
        const QString side = QString::fromLatin1(rows[std::size_t(r)]);
        auto* inEdit = new NumberEdit(in, block);
        inEdit->setStatusTip(qs(D::helpText(in.name())));
        inEdit->setAccessibleName(QStringLiteral("Internal ") + side + QStringLiteral(" (mm)"));
        auto* exEdit = new NumberEdit(ex, block);
        exEdit->setStatusTip(qs(D::helpText(ex.name())));
        exEdit->setAccessibleName(QStringLiteral("External ") + side + QStringLiteral(" (mm)"));
        grid->addWidget(inEdit, r + 1, 0, Qt::AlignCenter);
        grid->addWidget(centred(QString::fromLatin1(rows[std::size_t(r)])), r + 1, 1);
        grid->addWidget(exEdit, r + 1, 2, Qt::AlignCenter);
    }
    outer->addWidget(block);

    // The texts: headers, then footers; internal left, external right.
    auto* textGrid = new QGridLayout;
    textGrid->setHorizontalSpacing(10);
    textGrid->setVerticalSpacing(2);
    auto addText = [&](layout::BorderText& text, const char* caption, int row, int col) {
        QLineEdit* edit = makeText(text);
        auto* label = new QLabel(QString::fromLatin1(caption), this);
        label->setBuddy(edit);
        textGrid->addWidget(label, row, col);
        textGrid->addWidget(edit, row + 1, col);
        return edit;
    };
    texts_[0] = addText(dialog_.inthead, "Internal Header", 0, 0);
    texts_[2] = addText(dialog_.exthead, "External Header", 0, 1);
    textGrid->setRowMinimumHeight(2, 6);
    texts_[1] = addText(dialog_.intfoot, "Internal Footer", 3, 0);
    texts_[3] = addText(dialog_.extfoot, "External Footer", 3, 1);
    outer->addLayout(textGrid);

    setMinimumWidth(DesignScale::desktop().sx(360));
    bindDialog(this, dialog_.window, true);
}

QLineEdit* Tsetbordersheadersfootersdialog::makeText(layout::BorderText& text) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(qs(text.field.name()));
    edit->setStatusTip(qs(layout::BordersDialog::helpText(text.field.name())));
    if (text.field.maxLength() > 0) edit->setMaxLength(text.field.maxLength());
    edit->setMinimumWidth(DesignScale::desktop().sx(130));
    edit->installEventFilter(this);
    layout::BorderText* model = &text;
    connect(edit, &QLineEdit::textEdited, this,
            [model](const QString& t) { model->field.setText(ss(t)); });
    auto resync = [this, edit, model] { syncText(edit, *model); };
    QPointer<QLineEdit> guard(edit);
    text.field.viewChanged.connect([guard, resync] { if (guard) resync(); });
    text.fontChanged.connect([guard, resync] { if (guard) resync(); });
    syncText(edit, text);
    return edit;
}

void Tsetbordersheadersfootersdialog::syncText(QLineEdit* edit, const layout::BorderText& text) {
    if (edit->text() != qs(text.field.text())) edit->setText(qs(text.field.text()));
    // The field shows its text in its own typeface and style.
    const QFont want = fieldFont(text.font, 8);
    if (edit->font() != want) edit->setFont(want);
}

bool Tsetbordersheadersfootersdialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        auto texts = dialog_.texts();
        for (std::size_t i = 0; i < texts_.size(); ++i) {
            if (watched == texts_[i]) {
                // texts_ and texts() are both inthead, intfoot, exthead, extfoot.
                dialog_.textDoubleClick(*texts[i]);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quillet::ui
