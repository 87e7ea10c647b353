#pragma once
// Files the user owns are written whole or not at all: under a temporary
// name in their own folder, then renamed over the target. The temporary name
// is short whatever the target's (".quillet-<pid>-<n>.tmp", at most 34
// bytes), so a target whose name takes all 255 bytes a folder entry allows
// still has room for one. A run killed part-way leaves its temporary behind;
// the next write into the folder removes those whose process is gone.

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <string_view>

#include "base/posix_file.h"

namespace quillet::base {

inline constexpr std::string_view kTemporaryPrefix = ".quillet-";
inline constexpr std::string_view kTemporarySuffix = ".tmp";

// The temporary name of this process's write number `serial`.
inline std::string temporaryName(unsigned serial) {
    return std::string(kTemporaryPrefix) + std::to_string(::getpid()) + "-" + std::to_string(serial) +
           std::string(kTemporarySuffix);
}

// The process id in a name made by temporaryName, or 0 for any other name.
inline long temporaryOwner(std::string_view leaf) {
    if (leaf.size() <= kTemporaryPrefix.size() + kTemporarySuffix.size() || !leaf.starts_with(kTemporaryPrefix) ||
        !leaf.ends_with(kTemporarySuffix))
        return 0;
    leaf = leaf.substr(kTemporaryPrefix.size(), leaf.size() - kTemporaryPrefix.size() - kTemporarySuffix.size());
    const std::size_t dash = leaf.find('-');
    auto digits = [](std::string_view t) {
        return !t.empty() && t.size() < 10 && t.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (dash == std::string_view::npos || !digits(leaf.substr(0, dash)) || !digits(leaf.substr(dash + 1))) return 0;
    return std::stol(std::string(leaf.substr(0, dash)));
}

// A new file under a temporary name: `name` is the name inside the folder it
// was made in (or the whole path, for temporaryBeside).
struct TemporaryFile {
    UniqueFd fd;
    std::string name;
};

// Creates a new, empty temporary file in the folder open as `dirFd`, never
// through a symbolic link. On failure fd is invalid and errno says why.
inline TemporaryFile temporaryIn(int dirFd, mode_t mode = 0666) {
    static std::atomic<unsigned> serial{0};
    TemporaryFile t;
    for (int attempt = 0; attempt < 100 && !t.fd.valid(); ++attempt) {
        t.name = temporaryName(serial++);
        t.fd.reset(::openat(dirFd, t.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (!t.fd.valid() && errno != EEXIST) break;
    }
    return t;
}

// The folder of `path` ("." for a bare name, "/" for a name in the root).
inline std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// Creates a temporary file in the folder of `target`; `name` is its path.
inline TemporaryFile temporaryBeside(const std::string& target, mode_t mode = 0666) {
    const std::string folder = folderOf(target);
    const UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid()) return TemporaryFile();
    TemporaryFile t = temporaryIn(dir.get(), mode);
    if (t.fd.valid()) t.name = (folder == "/" ? "" : folder) + "/" + t.name;
    return t;
}

// Removes the temporaries in the folder open as `dirFd` whose process is
// gone. Keeps errno.
inline void removeStaleTemporariesIn(int dirFd) {
    const int saved = errno;
    const int own = ::dup(dirFd);
    DIR* d = own >= 0 ? ::fdopendir(own) : nullptr;
    if (d == nullptr) {
        if (own >= 0) ::close(own);
        errno = saved;
        return;
    }
    while (const dirent* e = ::readdir(d)) {
        const long pid = temporaryOwner(e->d_name);
        if (pid <= 0 || pid == long(::getpid())) continue;
        if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH) ::unlinkat(dirFd, e->d_name, 0);
    }
    ::closedir(d);
    errno = saved;
}

// The same for the folder of `target`.
inline void removeStaleTemporariesBeside(const std::string& target) {
    const UniqueFd dir(::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) removeStaleTemporariesIn(dir.get());
}

}  // namespace quillet::base
