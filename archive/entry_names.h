#pragma once
// The check every entry name of an archive passes before extraction writes
// anything: the name must stay below the base directory. Entries are
// written only through the components this check returns, each directory
// opened without following symbolic links, so a link already on disk cannot
// lead outside either (see the extraction library).

#include <string>
#include <string_view>
#include <vector>

namespace quillet::archive {

// An entry name taken apart: the directories to go through (or create), in
// order, and the file name; `leaf` is empty for a directory-only entry
// ("scans/").
struct EntryPath {
    std::vector<std::string> directories;
    std::string leaf;
};

// Splits `name` at "/" and "\" (archives made on other systems use either),
// dropping empty and "." components. Returns false, with `why` saying so,
// when the name may not be written: empty or nothing but separators, an
// absolute name, a ".." component, or a NUL byte inside.
bool splitEntryName(std::string_view name, EntryPath& out, std::string& why);

// The components of `path` joined with "/" (the name extraction writes).
std::string joinEntryPath(const EntryPath& path);

}  // namespace quillet::archive
