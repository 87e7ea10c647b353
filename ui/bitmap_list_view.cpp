#include "ui/bitmap_list_view.h"

#include <QApplication>
#include <QDir>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>

#include "ui/bindings.h"

namespace quillet::ui {

// ---------------------------------------------------------------- drives

DriveComboBox::DriveComboBox(app::DriveList& drives, QWidget* parent)
    : QComboBox(parent), drives_(drives) {
    setObjectName(QStringLiteral("DriveComboBox1"));
    connect(this, &QComboBox::activated, this, [this](int i) {
        if (!syncing_) drives_.userSelect(i);
        sync();
    });
    onSignal(drives_.viewChanged, this, [](DriveComboBox* c) { c->sync(); });
    sync();
}

void DriveComboBox::sync() {
    syncing_ = true;
    const auto& roots = drives_.roots();
    bool same = count() == int(roots.size());
    for (int i = 0; same && i < count(); ++i) same = itemText(i) == qs(roots[std::size_t(i)]);
    if (!same) {
        clear();
        const QIcon icon = style()->standardIcon(QStyle::SP_DriveHDIcon);
        for (const auto& r : roots) addItem(icon, qs(r));
    }
    if (currentIndex() != drives_.itemIndex()) setCurrentIndex(drives_.itemIndex());
    syncing_ = false;
}

// ---------------------------------------------------------------- directories

namespace {
constexpr int kPathRole = Qt::UserRole + 1;
}

DirectoryListBox::DirectoryListBox(app::MainForm& form, QWidget* parent)
    : QTreeWidget(parent), form_(form) {
    setObjectName(QStringLiteral("DirectoryListBox1"));
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(10);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setExpandsOnDoubleClick(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
    // A plain folder chain: no expand arrows (nothing can be folded).
    setStyleSheet(QStringLiteral("QTreeView::branch { image: none; border-image: none; }"));
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { open(item); });
    onSignal(form_.FileListBox1.viewChanged, this, [](DirectoryListBox* d) { d->sync(); });
    sync();
}

QString DirectoryListBox::pathOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kPathRole).toString() : QString();
}

void DirectoryListBox::sync() {
    const std::string dir = form_.directory();
    const QString path = qs(dir.empty() ? std::string("/") : dir);
    // The directory's own folders (not hidden), sorted without regard to case.
    const QStringList subs =
        QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    if (dir == shown_ && subs == shownFolders_) return;
    shown_ = dir;
    shownFolders_ = subs;
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // The chain "/", "/a", "/a/b", ... down to the directory itself.
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    auto* item = new QTreeWidgetItem(this, QStringList(QStringLiteral("/")));
    item->setIcon(0, open);
    item->setData(0, kPathRole, QStringLiteral("/"));
    QString sofar;
    for (const QString& part : parts) {
        sofar += QLatin1Char('/') + part;
        auto* child = new QTreeWidgetItem(item, QStringList(part));
        child->setIcon(0, open);
        child->setData(0, kPathRole, sofar);
        item = child;
    }
    QTreeWidgetItem* current = item;
    for (const QString& s : subs) {
        auto* child = new QTreeWidgetItem(current, QStringList(s));
        child->setIcon(0, closed);
        child->setData(0, kPathRole, sofar.isEmpty() ? QLatin1Char('/') + s : sofar + QLatin1Char('/') + s);
    }
    expandAll();
    setCurrentItem(current);
    scrollToItem(current, QAbstractItemView::PositionAtTop);
}

void DirectoryListBox::open(QTreeWidgetItem* item) {
    const QString p = pathOf(item);
    if (p.isEmpty()) return;
    form_.changeDirectory(ss(p));
    sync();
}

void DirectoryListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        open(currentItem());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

// ---------------------------------------------------------------- files

FileListBox::FileListBox(app::FileList& list, QWidget* parent) : QListWidget(parent), list_(list) {
    setObjectName(QStringLiteral("FileListBox1"));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    onSignal(list_.viewChanged, this, [](FileListBox* f) { f->sync(); });
    sync();
}

void FileListBox::sync() {
    syncing_ = true;
    if (shownEntries_ != list_.entries()) {
        shownEntries_ = list_.entries();
        clear();
        QStringList names;
        names.reserve(int(shownEntries_.size()));
        for (const auto& e : shownEntries_) names << qs(e);
        addItems(names);
    }
    // The whole selection in one go: runs of selected entries as ranges.
    QItemSelection selection;
    const int n = list_.count();
    for (int i = 0; i < n;) {
        if (!list_.selected(i)) { ++i; continue; }
        int j = i;
        while (j + 1 < n && list_.selected(j + 1)) ++j;
        selection.select(model()->index(i, 0), model()->index(j, 0));
        i = j + 1;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    const int cur = list_.currentIndex();
    if (cur >= 0 && cur < n)
        selectionModel()->setCurrentIndex(model()->index(cur, 0), QItemSelectionModel::NoUpdate);
    else
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    syncing_ = false;
}

std::vector<int> FileListBox::widgetSelection() const {
    std::vector<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedIndexes()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void FileListBox::mousePressEvent(QMouseEvent* event) {
    const QModelIndex at = indexAt(event->position().toPoint());
    setFocus(Qt::MouseFocusReason);
    if (!at.isValid()) return;
    if (event->button() == Qt::LeftButton) {
        const auto mods = event->modifiers();
        dragAnchor_ = (mods & Qt::ShiftModifier) ? -1 : at.row();
        dragRow_ = at.row();
        list_.userClick(at.row(), mods & Qt::ControlModifier, mods & Qt::ShiftModifier);
        scrollTo(at);
    }
}

void FileListBox::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || dragAnchor_ < 0 || list_.count() == 0) return;
    // Dragging highlights the range from the pressed entry to the one under
    // the pointer.
    const QModelIndex at = indexAt(event->position().toPoint());
    if (!at.isValid()) return;
    const int row = at.row();
    if (row == dragRow_ || row < 0) return;
    dragRow_ = row;
    std::vector<int> range;
    for (int k = std::min(dragAnchor_, row); k <= std::max(dragAnchor_, row); ++k) range.push_back(k);
    list_.userSelectionChanged(range, row);
    scrollTo(model()->index(row, 0));
}

void FileListBox::mouseReleaseEvent(QMouseEvent*) {
    dragAnchor_ = -1;
    dragRow_ = -1;
}

void FileListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex at = indexAt(event->position().toPoint());
    if (!at.isValid() || event->button() != Qt::LeftButton) return;
    if (onDoubleClick) onDoubleClick();
}

void FileListBox::keyPressEvent(QKeyEvent* event) {
    const std::vector<int> before = widgetSelection();
    const int beforeRow = currentRow();
    QListWidget::keyPressEvent(event);
    const std::vector<int> after = widgetSelection();
    if (after != before || currentRow() != beforeRow) list_.userSelectionChanged(after, currentRow());
    sync();
}

void FileListBox::focusInEvent(QFocusEvent* event) {
    list_.focusIn();
    QListWidget::focusInEvent(event);
}

void FileListBox::focusOutEvent(QFocusEvent* event) {
    list_.focusOut(focusMove(event->reason()));
    QListWidget::focusOutEvent(event);
}

}  // namespace quillet::ui
