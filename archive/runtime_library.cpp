#include "archive/runtime_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace quillet::archive {

RuntimeLibrary::RuntimeLibrary(const std::vector<std::string>& directories,
                               const std::string& fileName) {
    for (const std::string& dir : directories) {
        const std::string path = (std::filesystem::path(dir) / fileName).string();
        if (::access(path.c_str(), F_OK) != 0) continue;
        handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle_ != nullptr) return;
    }
}

RuntimeLibrary::~RuntimeLibrary() {
    if (handle_ != nullptr) ::dlclose(handle_);
}

void* RuntimeLibrary::symbol(const char* name) const {
    return handle_ != nullptr ? ::dlsym(handle_, name) : nullptr;
}

std::vector<std::string> defaultLibraryDirectories() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    const std::filesystem::path dir = exe.parent_path();
    return {dir.string(), (dir / ".." / "lib" / "quillet").lexically_normal().string()};
}

}  // namespace quillet::archive
