#include <QStorageInfo>
// Qt's "emit" keyword macro would swallow the models' Signal::emit calls.
#undef emit

#include "app/drives.h"

#include <algorithm>
#include <set>

namespace quillet::app {

namespace {

// File systems that hold files the user keeps: disks, removable media and
// network shares. Everything else (proc, sysfs, tmpfs, cgroup, ...) is a
// view of the kernel's state, not a drive.
bool isRealFileSystem(const QStorageInfo& v) {
    static const std::set<std::string> kTypes{
        "ext2", "ext3", "ext4", "xfs", "btrfs", "jfs", "reiserfs", "f2fs", "zfs", "vfat", "msdos",
        "exfat", "ntfs", "ntfs3", "fuseblk", "hfs", "hfsplus", "iso9660", "udf", "nfs", "nfs4",
        "cifs", "smb3", "smbfs", "9p", "virtiofs"};
    const std::string type = v.fileSystemType().toStdString();
    if (kTypes.count(type)) return true;
    return v.device().startsWith("/dev/") && type != "devtmpfs" && type != "tmpfs";
}

}  // namespace

std::vector<std::string> mountedVolumeRoots() {
    std::set<std::string> roots{"/"};
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        if (!v.isValid() || !v.isReady() || !isRealFileSystem(v)) continue;
        roots.insert(v.rootPath().toStdString());
    }
    return {roots.begin(), roots.end()};
}

std::string volumeRootOf(const std::vector<std::string>& roots, const std::string& path) {
    std::string best = "/";
    for (const auto& r : roots) {
        if (r.size() <= best.size() || path.compare(0, r.size(), r) != 0) continue;
        // "/media/a" holds "/media/a" and "/media/a/x", not "/media/ab".
        if (path.size() == r.size() || path[r.size()] == '/' || r.back() == '/') best = r;
    }
    return best;
}

DriveList::DriveList() : DriveList(mountedVolumeRoots()) {}

DriveList::DriveList(std::vector<std::string> roots) : roots_(std::move(roots)) {
    if (!roots_.empty()) index_ = 0;
}

std::string DriveList::currentRoot() const {
    return index_ >= 0 ? roots_[std::size_t(index_)] : std::string();
}

void DriveList::followDirectory(const std::string& directory) {
    const std::string root = volumeRootOf(roots_, directory);
    auto it = std::find(roots_.begin(), roots_.end(), root);
    int i = it == roots_.end() ? -1 : int(it - roots_.begin());
    if (i != index_) {
        index_ = i;
        viewChanged.emit();
    }
}

void DriveList::userSelect(int i) {
    // Picking the drive already shown is no change: the directory list
    // stays where it is.
    if (i < 0 || i >= int(roots_.size()) || i == index_) return;
    index_ = i;
    viewChanged.emit();
    if (onChange) onChange();
}

void DriveList::reload() {
    const std::string keep = currentRoot();
    roots_ = mountedVolumeRoots();
    auto it = std::find(roots_.begin(), roots_.end(), keep);
    index_ = it != roots_.end() ? int(it - roots_.begin()) : (roots_.empty() ? -1 : 0);
    viewChanged.emit();
}

}  // namespace quillet::app
