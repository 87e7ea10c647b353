#pragma once
// The drive list of the main window (DriveComboBox1): the mounted volumes of
// the machine, shown by their root paths. Choosing one moves the directory
// list to that root.

#include <functional>
#include <string>
#include <vector>

#include "app/signal.h"

namespace quillet::app {

// Root paths of the mounted volumes that hold real file systems (disks,
// removable media, network shares), sorted, without duplicates. Pseudo file
// systems (proc, sysfs, cgroups, ...) are left out. "/" is always present.
std::vector<std::string> mountedVolumeRoots();

// The root among `roots` that holds `path`: the longest root that is a
// leading path component sequence of it ("/" when none is longer).
std::string volumeRootOf(const std::vector<std::string>& roots, const std::string& path);

class DriveList {
public:
    // Fills the list from the mounted volumes.
    DriveList();
    // Fills the list from the given roots (tests).
    explicit DriveList(std::vector<std::string> roots);

    const std::vector<std::string>& roots() const { return roots_; }
    // Index of the shown drive, -1 when the list is empty.
    int itemIndex() const { return index_; }
    // The shown drive's root ("" when the list is empty).
    std::string currentRoot() const;

    // Shows the drive that holds `directory` (the directory list moved);
    // runs no handler.
    void followDirectory(const std::string& directory);
    // The user picked drive i: when it is not the one shown it becomes
    // shown, then onChange runs (the handler moves the directory list to
    // roots()[i]). Picking the shown drive does nothing.
    void userSelect(int i);
    // Re-reads the mounted volumes, keeping the shown root when still there.
    void reload();

    std::function<void()> onChange;
    Signal viewChanged;

private:
    std::vector<std::string> roots_;
    int index_ = -1;
};

}  // namespace quillet::app
