#include "app/file_list.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace quillet::app {

namespace fs = std::filesystem;

namespace {

char lower(char c) { return char(std::tolower(static_cast<unsigned char>(c))); }

// Wildcard match of a file name against a mask of '*' and '?' without
// regard to case (the masks are "*.bmp" and "*.zip").
bool matchesMask(std::string_view name, std::string_view mask) {
    std::size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || lower(mask[m]) == lower(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starM = m++;
            starN = n;
        } else if (starM != std::string_view::npos) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

// Case-insensitive order of the sorted list control; names equal but for
// case keep a fixed order by their bytes.
bool lessNoCase(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        char ca = lower(a[i]), cb = lower(b[i]);
        if (ca != cb) return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb);
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

std::string normalise(const std::string& dir) {
    if (dir.empty()) return "/";
    std::string p = fs::path(dir).lexically_normal().string();
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p.empty() ? "/" : p;
}

}  // namespace

void FileList::refill() {
    entries_.clear();
    lastError_.clear();
    std::error_code ec;
    fs::directory_iterator it(directory_, fs::directory_options::none, ec);
    if (ec) {
        lastError_ = "Cannot read the directory " + directory_ + ": " + ec.message();
    } else {
        for (const fs::directory_iterator end; it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            // Hidden files are those whose name starts with a dot.
            if (name.empty() || name.front() == '.') continue;
            if (!matchesMask(name, mask_)) continue;
            std::error_code sec;
            if (!it->is_regular_file(sec)) continue;  // follows links to files
            entries_.push_back(name);
        }
        if (ec) lastError_ = "Cannot read the directory " + directory_ + ": " + ec.message();
        std::sort(entries_.begin(), entries_.end(), lessNoCase);
    }
    selected_.assign(entries_.size(), false);
    current_ = -1;
    anchor_ = -1;
    viewChanged.emit();
    if (onChange) onChange();
}

void FileList::setDirectory(const std::string& dir) {
    directory_ = normalise(dir);
    refill();
}

std::string FileList::pathOf(const std::string& name) const {
    if (!directory_.empty() && directory_.back() == '/') return directory_ + name;
    return directory_ + "/" + name;
}

void FileList::setMask(const std::string& mask) {
    mask_ = mask;
    refill();
}

void FileList::setSelected(int i, bool s) {
    selected_.at(std::size_t(i)) = s;
    viewChanged.emit();
}

void FileList::selectAll() {
    std::fill(selected_.begin(), selected_.end(), true);
    viewChanged.emit();
}

int FileList::selectedCount() const {
    return int(std::count(selected_.begin(), selected_.end(), true));
}

std::vector<std::string> FileList::selectedNames() const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (selected_[i]) out.push_back(entries_[i]);
    return out;
}

void FileList::userClick(int i, bool ctrl, bool shift) {
    if (i < 0 || i >= count()) return;
    const int before = current_;
    if (shift) {
        const int from = anchor_ >= 0 ? anchor_ : i;
        if (!ctrl) std::fill(selected_.begin(), selected_.end(), false);
        for (int k = std::min(from, i); k <= std::max(from, i); ++k) selected_[std::size_t(k)] = true;
    } else if (ctrl) {
        selected_[std::size_t(i)] = !selected_[std::size_t(i)];
        anchor_ = i;
    } else {
        std::fill(selected_.begin(), selected_.end(), false);
        selected_[std::size_t(i)] = true;
        anchor_ = i;
    }
    current_ = i;
    hasFocus = true;
    viewChanged.emit();
    if (onClick) onClick();
    if (current_ != before && onChange) onChange();
}

void FileList::userSelectionChanged(const std::vector<int>& selected, int current) {
    const int before = current_;
    std::fill(selected_.begin(), selected_.end(), false);
    for (int k : selected)
        if (k >= 0 && k < count()) selected_[std::size_t(k)] = true;
    if (current >= 0 && current < count()) {
        current_ = current;
        if (anchor_ < 0) anchor_ = current;
    }
    hasFocus = true;
    viewChanged.emit();
    if (onClick) onClick();
    if (current_ != before && onChange) onChange();
}

}  // namespace quillet::app
