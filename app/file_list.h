#pragma once
// The file list of the main window: the ordinary files of one directory that
// match a mask, sorted without regard to case, several selectable at once.

#include <functional>
#include <string>
#include <vector>

#include "app/signal.h"

namespace quillet::app {

class FileList {
public:
    // Re-reads the directory (ordinary, non-hidden files matching the mask,
    // case-insensitively), sorts the names case-insensitively, clears the
    // selection and the current entry, then sends the change notification.
    // An unreadable directory gives an empty list (and `lastError` says why).
    void refill();

    const std::string& directory() const { return directory_; }
    // Sets the directory and refills. The path is kept as given except that
    // "." and ".." steps and a trailing "/" are removed ("/" stays "/"); an
    // empty path means "/".
    void setDirectory(const std::string& dir);
    // Joins the directory and an entry name without doubling the separator:
    // "/" + "a.bmp" gives "/a.bmp", "/scans" + "a.bmp" gives "/scans/a.bmp".
    std::string pathOf(const std::string& name) const;
    const std::string& mask() const { return mask_; }
    // Sets the mask ("*.bmp" or "*.zip") and refills.
    void setMask(const std::string& mask);

    int count() const { return int(entries_.size()); }
    const std::string& entry(int i) const { return entries_.at(std::size_t(i)); }
    const std::vector<std::string>& entries() const { return entries_; }
    bool selected(int i) const { return selected_.at(std::size_t(i)); }
    // Selects or deselects one entry (no notification: the caller decides).
    void setSelected(int i, bool s);
    void selectAll();
    int selectedCount() const;
    // Names of the selected entries in list order.
    std::vector<std::string> selectedNames() const;
    // The entry last clicked, -1 when none.
    int currentIndex() const { return current_; }
    void setCurrentIndex(int i) { current_ = i; }
    // Whether the list has the keyboard focus (read by the change handling).
    bool hasFocus = false;
    // Why the last refill found nothing readable; empty when it succeeded.
    const std::string& lastError() const { return lastError_; }

    // User actions, as the view reports them: a plain click selects only i;
    // with ctrl it toggles i; with shift it selects the range from the anchor.
    // Each sends the click notification, then a change notification when the
    // current entry moved to another entry.
    // The click gives the list the keyboard focus. Precondition: 0 <= i < count().
    void userClick(int i, bool ctrl = false, bool shift = false);
    // The view's own selection handling (mouse drag, keyboard) ended with
    // `selected` (indices) and `current`: the model takes that state, gets the
    // focus and sends click, then change when the current entry moved.
    // Indices out of range are ignored.
    void userSelectionChanged(const std::vector<int>& selected, int current);

    // Notifications, in the order the system defines: click before change.
    std::function<void()> onClick;
    std::function<void()> onChange;
    // A double-click on an entry (after the click it implies).
    std::function<void()> onDoubleClick;
    // Emitted whenever the view must redraw entries or selection.
    Signal viewChanged;

private:
    std::string directory_;
    std::string mask_ = "*.bmp";
    std::vector<std::string> entries_;
    std::vector<bool> selected_;
    int current_ = -1;
    int anchor_ = -1;
    std::string lastError_;
};

}  // namespace quillet::app
