#include "archive/entry_names.h"

namespace quillet::archive {

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

bool splitEntryName(std::string_view name, EntryPath& out, std::string& why) {
    out = {};
    if (name.empty()) {
        why = "its name is empty";
        return false;
    }
    if (name.find('\0') != std::string_view::npos) {
        why = "its name holds a NUL byte";
        return false;
    }
    if (isSeparator(name.front())) {
        why = "its name is absolute";
        return false;
    }
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = start;
        while (end < name.size() && !isSeparator(name[end])) ++end;
        const std::string_view part = name.substr(start, end - start);
        if (part == "..") {
            why = "its name climbs out of the folder with \"..\"";
            return false;
        }
        if (!part.empty() && part != ".") parts.emplace_back(part);
        start = end + 1;
    }
    if (parts.empty()) {
        why = "its name holds no file or folder name";
        return false;
    }
    // A name ending in a separator is a directory-only entry.
    if (!isSeparator(name.back())) {
        out.leaf = std::move(parts.back());
        parts.pop_back();
    }
    out.directories = std::move(parts);
    return true;
}

std::string joinEntryPath(const EntryPath& path) {
    std::string s;
    for (const std::string& d : path.directories) s += d + "/";
    if (path.leaf.empty() && !s.empty()) s.pop_back();
    return s + path.leaf;
}

}  // namespace quillet::archive
