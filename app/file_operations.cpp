#include "app/file_operations.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "base/posix_file.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace quillet::app {

namespace {

using Fd = base::UniqueFd;

std::string errnoText(int e) { return std::strerror(e); }

void setError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

// A single directory entry name: not empty, no separator, not "." or "..".
bool plainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

constexpr int kDirFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

// Opens a directory as a base for *at() calls. A path longer than the system
// accepts in one call is opened one component at a time, so the directory is
// reached exactly, never through a shortened path.
Fd openDirectory(const std::string& path) {
    const std::string p = path.empty() ? std::string("/") : path;
    Fd fd(::open(p.c_str(), kDirFlags));
    if (fd.valid() || errno != ENAMETOOLONG) return fd;
    Fd cur(::open(p[0] == '/' ? "/" : ".", kDirFlags));
    std::size_t i = 0;
    while (cur.valid() && i < p.size()) {
        std::size_t j = p.find('/', i);
        if (j == std::string::npos) j = p.size();
        if (j > i) {
            const std::string part = p.substr(i, j - i);
            cur = Fd(::openat(cur.get(), part.c_str(), kDirFlags));
        }
        i = j + 1;
    }
    return cur;
}

// Flushes a directory's entries to disk; best effort (an O_PATH descriptor
// cannot be synced itself, so the directory is reopened for reading).
void syncDirectory(int dirFd) {
    Fd d(::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (d.valid()) ::fsync(d.get());
}

int renameNoReplace(int fromDir, const char* from, int toDir, const char* to) {
    return int(::syscall(SYS_renameat2, fromDir, from, toDir, to, RENAME_NOREPLACE));
}

// Copies the content, mode and times of `in` into `out` and syncs `out`.
bool copyContent(int in, int out, const struct stat& st) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        ssize_t r = ::read(in, buffer.data(), buffer.size());
        if (r < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (r == 0) break;
        if (!base::writeFully(out, buffer.data(), std::size_t(r))) return false;
    }
    if (::fchmod(out, st.st_mode & 07777) != 0) return false;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(out, times);  // times are a courtesy; a refusal does not fail the move
    return ::fsync(out) == 0;
}

// Moves across file systems: copy to a temporary file in the destination,
// sync, link it to the final name (refused if the name exists by then, so
// nothing is ever replaced), drop the temporary, then remove the source.
bool moveByCopy(int srcDir, int dstDir, const std::string& name, std::string* error) {
    Fd in(::openat(srcDir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!in.valid()) {
        setError(error, errnoText(errno));
        return false;
    }
    struct stat st {};
    if (::fstat(in.get(), &st) != 0) {
        setError(error, errnoText(errno));
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        setError(error, "not an ordinary file");
        return false;
    }
    // Refuse early when the name is taken; the link below checks again.
    struct stat existing {};
    if (::fstatat(dstDir, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        setError(error, errnoText(EEXIST));
        return false;
    }

    static unsigned counter = 0;
    std::string tempName;
    Fd out;
    for (int attempt = 0; attempt < 100 && !out.valid(); ++attempt) {
        tempName = ".quillet-move-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".tmp";
        out = Fd(::openat(dstDir, tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!out.valid() && errno != EEXIST) break;
    }
    if (!out.valid()) {
        setError(error, errnoText(errno));
        return false;
    }
    auto dropTemp = [&] { ::unlinkat(dstDir, tempName.c_str(), 0); };

    struct stat tempStat {};
    if (!copyContent(in.get(), out.get(), st) || ::fstat(out.get(), &tempStat) != 0) {
        setError(error, errnoText(errno));
        dropTemp();
        return false;
    }
    if (::close(out.release()) != 0) {
        setError(error, errnoText(errno));
        dropTemp();
        return false;
    }

    if (::linkat(dstDir, tempName.c_str(), dstDir, name.c_str(), 0) == 0) {
        dropTemp();
    } else if (errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS || errno == EMLINK) {
        // A file system without hard links: the refusing rename gives the
        // same guarantee and consumes the temporary.
        if (renameNoReplace(dstDir, tempName.c_str(), dstDir, name.c_str()) != 0) {
            setError(error, errnoText(errno));
            dropTemp();
            return false;
        }
    } else {
        setError(error, errnoText(errno));
        dropTemp();
        return false;
    }
    syncDirectory(dstDir);

    if (::unlinkat(srcDir, name.c_str(), 0) != 0) {
        const int e = errno;
        // The source stays; take back our copy so the move leaves no trace,
        // but only if the name still holds the file we created.
        struct stat now {};
        if (::fstatat(dstDir, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
            now.st_dev == tempStat.st_dev && now.st_ino == tempStat.st_ino)
            ::unlinkat(dstDir, name.c_str(), 0);
        setError(error, errnoText(e));
        return false;
    }
    syncDirectory(srcDir);
    return true;
}

}  // namespace

bool deleteFileIn(const std::string& directory, const std::string& name, std::string* error) {
    if (!plainName(name)) {
        setError(error, "not a plain file name");
        return false;
    }
    Fd dir = openDirectory(directory);
    if (!dir.valid()) {
        setError(error, errnoText(errno));
        return false;
    }
    // Flag 0: a directory is refused (EISDIR), only the named file goes.
    if (::unlinkat(dir.get(), name.c_str(), 0) != 0) {
        setError(error, errnoText(errno));
        return false;
    }
    return true;
}

bool moveFileNoReplace(const std::string& sourceDirectory, const std::string& destinationDirectory,
                       const std::string& name, std::string* error) {
    if (!plainName(name)) {
        setError(error, "not a plain file name");
        return false;
    }
    Fd src = openDirectory(sourceDirectory);
    if (!src.valid()) {
        setError(error, errnoText(errno));
        return false;
    }
    Fd dst = openDirectory(destinationDirectory);
    if (!dst.valid()) {
        setError(error, errnoText(errno));
        return false;
    }
    if (renameNoReplace(src.get(), name.c_str(), dst.get(), name.c_str()) == 0) return true;
    int e = errno;
    if (e == EINVAL || e == ENOSYS) {
        // The file system cannot refuse inside a rename: link (which never
        // replaces) and unlink give the same result.
        if (::linkat(src.get(), name.c_str(), dst.get(), name.c_str(), 0) == 0) {
            if (::unlinkat(src.get(), name.c_str(), 0) == 0) return true;
            e = errno;
            ::unlinkat(dst.get(), name.c_str(), 0);
            setError(error, errnoText(e));
            return false;
        }
        e = errno;
    }
    if (e == EXDEV) return moveByCopy(src.get(), dst.get(), name, error);
    setError(error, errnoText(e));
    return false;
}

}  // namespace quillet::app
