#pragma once
// The handling of the bitmap list: clicks and changes of the file list and
// changes of the drive list. Every click and every change releases a locked
// selection (by unchecking lockselection), so a locked selection is always
// exactly what the list shows selected.

#include <functional>
#include <string>

#include "app/main_form.h"
#include "app/platform_services.h"

namespace quillet::app {

// The selection counter text: "No bitmaps selected.", "1 bitmap selected.",
// or n followed by " bitmaps selected.".
std::string selectionCounterText(int selectedCount);

class BitmapList {
public:
    BitmapList(MainForm& form, PlatformServices& platform);

    // Installs the handlers on FileListBox1 (click, change) and
    // DriveComboBox1 (change: moves the directory list to the drive's root,
    // then DriveComboBox1Change).
    void install();

    // Writes the selection counter text into the status panel and lets the
    // view paint it at once.
    void writeSelectionCounter();

    // A click in the list (or a keyboard move of the selection): releases the
    // lock, writes the counter, then shows the current entry in the viewer.
    // A file that is not a bitmap gets the general error report. Nothing in
    // zip list mode.
    void FileListBox1Click();
    // A change (every refill, and a click that moved the current entry):
    // releases the lock; selects every entry when LayoutHandlersEnabled is
    // already on, the list is not empty and does not have the focus; turns
    // LayoutHandlersEnabled on; writes the counter. In zip list mode only the
    // release, LayoutHandlersEnabled and onZipListChange run.
    void FileListBox1Change();
    // The drive changed (after the list was refilled): LayoutHandlersEnabled.
    void DriveComboBox1Change();

    // The viewer's "show a bitmap file" (load, clamp to the screen origin,
    // refresh). It throws on a file that cannot be loaded, after leaving the
    // viewer with an empty bitmap.
    std::function<void(const std::string& path)> showInViewer;
    // The archive list's own change steps (zip list mode).
    std::function<void()> onZipListChange;

    // The path of the list's current entry ("" when there is none): the
    // directory followed by "/" unless it already ends with "/", then the name.
    std::string currentPath() const;

private:
    MainForm& form_;
    PlatformServices& platform_;
};

}  // namespace quillet::app
