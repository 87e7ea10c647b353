#pragma once
// The file system operations behind Delete and Move: a permanent delete of
// exactly one named file, and a move that never replaces an existing file,
// within one file system or across two. Paths are handled through directory
// descriptors, so a long full path is never shortened into another name.

#include <string>

namespace quillet::app {

// Deletes the file `name` in `directory` permanently (no recycle bin).
// `name` is one directory entry, without a separator. Directories are never
// removed. Works whatever the length of the full path. Returns false (with
// `error` set when given) when the file could not be deleted.
bool deleteFileIn(const std::string& directory, const std::string& name, std::string* error = nullptr);

// Moves the entry `name` from `sourceDirectory` to `destinationDirectory`
// under the same name, never replacing an entry of that name in the
// destination: within a file system by an atomic rename that refuses to
// replace; across file systems by copying into a temporary file in the
// destination, syncing it, linking it to the name (refused when the name
// exists by then) and only then removing the temporary and the source. On any
// failure the source stays where it was, the destination holds no new entry,
// and false is returned (with `error` set when given).
bool moveFileNoReplace(const std::string& sourceDirectory, const std::string& destinationDirectory,
                       const std::string& name, std::string* error = nullptr);

}  // namespace quillet::app
