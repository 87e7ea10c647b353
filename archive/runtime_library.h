#pragma once
// A shared library loaded for one operation and unloaded when the object
// goes (dlopen / dlclose).

#include <string>
#include <vector>

namespace quillet::archive {

class RuntimeLibrary {
public:
    // Loads the first `fileName` found in `directories`, in order. loaded()
    // is false when none exists or none could be loaded.
    RuntimeLibrary(const std::vector<std::string>& directories, const std::string& fileName);
    ~RuntimeLibrary();
    RuntimeLibrary(const RuntimeLibrary&) = delete;
    RuntimeLibrary& operator=(const RuntimeLibrary&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    // The entry point `name`, or nullptr when the library has none.
    void* symbol(const char* name) const;

private:
    void* handle_ = nullptr;
};

// The directories the engine's libraries are looked for in: the running
// executable's own directory, then <that directory>/../lib/quillet.
std::vector<std::string> defaultLibraryDirectories();

}  // namespace quillet::archive
