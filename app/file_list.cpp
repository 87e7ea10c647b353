#include "app/file_list.h"

// Placeholder implementation; the full behaviour comes with the bitmap list.
namespace quillet::app {

void FileList::refill() {
    entries_.clear();
    selected_.clear();
    current_ = -1;
    viewChanged.emit();
    if (onChange) onChange();
}
void FileList::setDirectory(const std::string& dir) { directory_ = dir; refill(); }
void FileList::setMask(const std::string& mask) { mask_ = mask; refill(); }
void FileList::setSelected(int i, bool s) { selected_.at(std::size_t(i)) = s; viewChanged.emit(); }
void FileList::selectAll() { for (auto&& s : selected_) s = true; viewChanged.emit(); }
int FileList::selectedCount() const {
    int n = 0;
    for (bool s : selected_) n += s;
    return n;
}
std::vector<std::string> FileList::selectedNames() const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (selected_[i]) out.push_back(entries_[i]);
    return out;
}
void FileList::userClick(int, bool, bool) {}

}  // namespace quillet::app
