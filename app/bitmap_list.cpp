#include "app/bitmap_list.h"

#include <exception>

#include "app/message_boxes.h"

namespace quillet::app {

std::string selectionCounterText(int selectedCount) {
    if (selectedCount <= 0) return "No bitmaps selected.";
    if (selectedCount == 1) return "1 bitmap selected.";
    return std::to_string(selectedCount) + " bitmaps selected.";
}

BitmapList::BitmapList(MainForm& form, PlatformServices& platform)
    : form_(form), platform_(platform) {}

void BitmapList::install() {
    form_.FileListBox1.onClick = [this] { FileListBox1Click(); };
    form_.FileListBox1.onChange = [this] { FileListBox1Change(); };
    form_.DriveComboBox1.onChange = [this] {
        form_.changeDirectory(form_.DriveComboBox1.currentRoot());
        DriveComboBox1Change();
    };
}

void BitmapList::writeSelectionCounter() {
    form_.Panel1.setText(selectionCounterText(form_.FileListBox1.selectedCount()));
    platform_.processPaintEvents();
}

std::string BitmapList::currentPath() const {
    const FileList& list = form_.FileListBox1;
    const int i = list.currentIndex();
    if (i < 0 || i >= list.count()) return {};
    return list.pathOf(list.entry(i));
}

void BitmapList::FileListBox1Click() {
    if (form_.ZipListMode) return;
    const std::string path = currentPath();
    form_.lockselection.setChecked(false);
    writeSelectionCounter();
    if (path.empty() || !showInViewer) return;
    try {
        showInViewer(path);
    } catch (const std::exception& e) {
        reportError(platform_, e.what());
    }
}

void BitmapList::FileListBox1Change() {
    FileList& list = form_.FileListBox1;
    form_.lockselection.setChecked(false);
    if (form_.ZipListMode) {
        form_.LayoutHandlersEnabled = true;
        if (onZipListChange) onZipListChange();
        return;
    }
    if (form_.LayoutHandlersEnabled && list.count() > 0 && !list.hasFocus) list.selectAll();
    form_.LayoutHandlersEnabled = true;
    writeSelectionCounter();
    // A directory that cannot be read shows as an empty list; say why.
    if (!list.lastError().empty()) reportError(platform_, list.lastError());
}

void BitmapList::DriveComboBox1Change() { form_.LayoutHandlersEnabled = true; }

}  // namespace quillet::app
