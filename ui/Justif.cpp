#include "ui/Justif.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/bindings.h"

namespace quillet::ui {

TTabbedNotebookDlg::TTabbedNotebookDlg(layout::JustificationDialog& dialog) : dialog_(dialog) {
    using D = layout::JustificationDialog;
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    Justification_ = new QTabWidget(this);
    Justification_->setObjectName(QStringLiteral("Justification"));
    outer->addWidget(Justification_);

    const std::array<const char*, 6> names{"left", "centreh", "right", "top", "centre", "bottom"};
    for (int page = 0; page < 2; ++page) {
        auto* tab = new QWidget(Justification_);
        auto* row = new QHBoxLayout(tab);
        row->setContentsMargins(16, 14, 16, 14);
        row->setSpacing(18);
        auto* group = new QButtonGroup(tab);
        const auto& captions = page == 0 ? D::kHorizontalCaptions : D::kVerticalCaptions;
        for (int k = 0; k < 3; ++k) {
            auto* r = new QRadioButton(QString::fromLatin1(captions[std::size_t(k)]), tab);
            const int index = page * 3 + k;
            r->setObjectName(QString::fromLatin1(names[std::size_t(index)]));
            r->setStatusTip(QString::fromUtf8(page == 0 ? D::kHorizontalItemHint : D::kVerticalItemHint));
            group->addButton(r, k);
            row->addWidget(r);
            radios_[std::size_t(index)] = r;
            connect(r, &QRadioButton::clicked, this, [this, page, k] {
                if (page == 0)
                    dialog_.setHorizontal(layout::HorizontalJustification(k));
                else
                    dialog_.setVertical(layout::VerticalJustification(k));
                sync();
            });
        }
        tab->setStatusTip(radios_[std::size_t(page * 3)]->statusTip());
        Justification_->addTab(tab, QString::fromLatin1(D::kPageCaptions[std::size_t(page)]));
    }
    // Both page captions in full.
    Justification_->setUsesScrollButtons(false);
    Justification_->setMinimumWidth(Justification_->tabBar()->sizeHint().width() + 16);
    connect(Justification_, &QTabWidget::currentChanged, this, [this](int i) {
        if (i >= 0) dialog_.pageIndex = i;
    });
    onSignal(dialog_.changed, this, [](TTabbedNotebookDlg* w) { w->sync(); });
    onSignal(dialog_.pageChanged, this, [](TTabbedNotebookDlg* w) { w->sync(); });
    sync();
    bindDialog(this, dialog_.window, true);
}

void TTabbedNotebookDlg::sync() {
    const std::array<bool, 6> on{dialog_.left, dialog_.centreh, dialog_.right,
                                 dialog_.top,  dialog_.centre,  dialog_.bottom};
    for (std::size_t i = 0; i < on.size(); ++i)
        if (radios_[i]->isChecked() != on[i]) radios_[i]->setChecked(on[i]);
    if (Justification_->currentIndex() != dialog_.pageIndex) {
        const QSignalBlocker quiet(Justification_);
        Justification_->setCurrentIndex(dialog_.pageIndex);
    }
}

}  // namespace quillet::ui
