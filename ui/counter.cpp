#include "ui/counter.h"

#include <QCloseEvent>
#include <QVBoxLayout>

#include "ui/bindings.h"
#include "ui/desktop_fit.h"
#include "ui/number_edit.h"

namespace quillet::ui {

Tcounterform::Tcounterform(app::CounterForm& form) : form_(form) {
    setStatusTip(QString::fromUtf8(app::CounterForm::kHint));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    counterspinedit_ = new NumberEdit(form_.counterspinedit, this);
    counterspinedit_->setStatusTip(statusTip());
    counterspinedit_->setAccessibleName(QStringLiteral("Counter"));
    QFont big = counterspinedit_->font();
    big.setPointSize(big.pointSize() + 4);
    counterspinedit_->setFont(big);
    layout->addWidget(counterspinedit_);
    setMinimumWidth(DesignScale::desktop().sx(170));
    bindDialog(this, form_.window, false);
}

void Tcounterform::closeEvent(QCloseEvent* event) { event->ignore(); }

}  // namespace quillet::ui
