// UNZDLL: extracts entries of an archive through libzip below a base folder.
//
// Nothing is written outside the base folder: every name passes the entry
// name check, symbolic-link entries are never written, and the folders of a
// name are opened one by one without following symbolic links, so a link
// already on disk cannot lead elsewhere either. A file is written under a
// temporary name in its folder and takes its own name only when it is
// complete, so a failed write (a full disk) leaves nothing under the entry's
// name; an existing file is kept unless overwriting was asked for.

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "archive/dll/dll_message.h"
#include "archive/entry_names.h"
#include "base/temp_file.h"

namespace quillet::archive::dll {

namespace {

// A file descriptor closed when it goes.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { if (fd_ >= 0) ::close(fd_); }
    Fd(Fd&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    Fd& operator=(Fd&& o) noexcept {
        if (this != &o) {
            if (fd_ >= 0) ::close(fd_);
            fd_ = o.fd_;
            o.fd_ = -1;
        }
        return *this;
    }
    int get() const { return fd_; }
    // Closes now; the result of close() (a write error may show only here).
    int close() {
        const int r = fd_ >= 0 ? ::close(fd_) : 0;
        fd_ = -1;
        return r;
    }

private:
    int fd_;
};

// Why one entry could not be written: errorCode 0 for an entry refused on
// purpose (an unsafe name), otherwise errno or a libzip code.
struct Refusal {
    int errorCode = 0;
    std::string why;
};

// Opens (creating when asked) the folders of `dirs` below `base`, never
// following a symbolic link.
bool openFolders(int base, const std::vector<std::string>& dirs, Fd& out, Refusal& refusal) {
    Fd current(::dup(base));
    std::string sofar;
    for (const std::string& d : dirs) {
        sofar += (sofar.empty() ? "" : "/") + d;
        if (::mkdirat(current.get(), d.c_str(), 0777) != 0 && errno != EEXIST) {
            refusal = {errno, "cannot create the folder " + sofar + ": " + std::strerror(errno)};
            return false;
        }
        Fd next(::openat(current.get(), d.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (next.get() < 0) {
            const int e = errno;
            struct stat st;
            if (::fstatat(current.get(), d.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
                refusal = {0, "the folder " + sofar + " on disk is a symbolic link"};
            else
                refusal = {e, "cannot open the folder " + sofar + ": " + std::strerror(e)};
            return false;
        }
        current = std::move(next);
    }
    out = std::move(current);
    return true;
}

bool existsIn(int dir, const std::string& name) {
    struct stat st;
    return ::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

// Gives the finished temporary file its name: without replacing an existing
// file unless `overwrite`. False with errno EEXIST when the name is taken.
bool publish(int dir, const std::string& temp, const std::string& name, bool overwrite) {
    if (overwrite) return ::renameat(dir, temp.c_str(), dir, name.c_str()) == 0;
    if (::renameat2(dir, temp.c_str(), dir, name.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without the no-replace rename: a hard link never replaces.
    if (::linkat(dir, temp.c_str(), dir, name.c_str(), 0) != 0) return false;
    ::unlinkat(dir, temp.c_str(), 0);
    return true;
}

// Streams entry `index` into `leaf` of folder `dir`.
bool writeEntry(zip_t* za, zip_uint64_t index, int dir, const std::string& leaf, mode_t mode,
                time_t modified, bool overwrite, bool& existed, Refusal& refusal) {
    base::TemporaryFile made = base::temporaryIn(dir, mode);
    const std::string temp = made.name;
    Fd out(made.fd.release());
    if (out.get() < 0) {
        refusal = {errno, std::strerror(errno)};
        return false;
    }
    auto fail = [&](int code, const std::string& why) {
        out.close();
        ::unlinkat(dir, temp.c_str(), 0);
        refusal = {code, why};
        return false;
    };
    std::unique_ptr<zip_file_t, decltype(&zip_fclose)> in(zip_fopen_index(za, index, 0), &zip_fclose);
    if (!in) return fail(zip_error_code_zip(zip_get_error(za)), zip_strerror(za));
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        const zip_int64_t n = zip_fread(in.get(), buffer.data(), buffer.size());
        if (n < 0) return fail(zip_error_code_zip(zip_file_get_error(in.get())), zip_file_strerror(in.get()));
        if (n == 0) break;
        for (zip_int64_t done = 0; done < n;) {
            const ssize_t w = ::write(out.get(), buffer.data() + done, std::size_t(n - done));
            if (w < 0) {
                if (errno == EINTR) continue;
                const int e = errno;
                return fail(e, std::strerror(e));
            }
            done += w;
        }
    }
    const struct timespec times[2] = {{modified, 0}, {modified, 0}};
    ::futimens(out.get(), times);
    if (out.close() != 0) {
        const int e = errno;
        ::unlinkat(dir, temp.c_str(), 0);
        refusal = {e, std::strerror(e)};
        return false;
    }
    if (!publish(dir, temp, leaf, overwrite)) {
        const int e = errno;
        ::unlinkat(dir, temp.c_str(), 0);
        if (e == EEXIST) {
            existed = true;
            return false;
        }
        refusal = {e, std::strerror(e)};
        return false;
    }
    return true;
}

// The Unix mode stored with an entry (0 when none was stored).
mode_t storedMode(zip_t* za, zip_uint64_t index) {
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(za, index, 0, &system, &attributes) != 0) return 0;
    return system == ZIP_OPSYS_UNIX ? mode_t(attributes >> 16) : 0;
}

int extractEntries(UnzDllCall& call) {
    call.extracted = 0;
    call.failed = 0;
    int code = 0;
    std::unique_ptr<zip_t, decltype(&zip_discard)> za(zip_open(call.archive, ZIP_RDONLY, &code), &zip_discard);
    if (!za) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        say(call, code, std::string("Cannot open the archive ") + call.archive + ": " + zip_error_strerror(&e));
        zip_error_fini(&e);
        return code;
    }
    const Fd base(::open(call.baseDir, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (base.get() < 0) {
        const int e = errno;
        say(call, e, std::string("Cannot open the folder ") + call.baseDir + ": " + std::strerror(e));
        return e;
    }
    const std::set<std::string> wanted(call.names, call.names + call.nameCount);
    const bool dirNames = (call.flags & UNZDLL_EXTR_DIRNAMES) != 0;
    const bool overwrite = (call.flags & UNZDLL_EXTR_OVERWRITE) != 0;
    int lastError = 0;
    const zip_int64_t n = zip_get_num_entries(za.get(), 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        const zip_uint64_t index = zip_uint64_t(i);
        zip_stat_t st;
        if (zip_stat_index(za.get(), index, 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME)) {
            lastError = zip_error_code_zip(zip_get_error(za.get()));
            say(call, lastError, "Cannot read entry " + std::to_string(i + 1) + ": " + zip_strerror(za.get()));
            ++call.failed;
            continue;
        }
        const std::string name = st.name;
        if (!wanted.empty() && !wanted.count(name)) continue;
        Refusal refusal;
        EntryPath path;
        const mode_t mode = storedMode(za.get(), index);
        bool existed = false;
        bool done = false;
        if (!splitEntryName(name, path, refusal.why)) {
            refusal.errorCode = 0;
        } else if (S_ISLNK(mode)) {
            refusal = {0, "it is a symbolic link"};
        } else {
            if (!dirNames) path.directories.clear();
            if (path.leaf.empty() && !dirNames) continue;
            Fd folder;
            if (openFolders(base.get(), path.directories, folder, refusal)) {
                if (path.leaf.empty()) continue;
                if (!overwrite && existsIn(folder.get(), path.leaf)) {
                    existed = true;
                } else {
                    const mode_t perms = (mode & 0777) != 0 ? (mode & 0777) : 0666;
                    const time_t modified = (st.valid & ZIP_STAT_MTIME) ? st.mtime : 0;
                    done = writeEntry(za.get(), index, folder.get(), path.leaf, perms, modified, overwrite,
                                      existed, refusal);
                }
            }
        }
        if (done) {
            ++call.extracted;
        } else if (existed) {
            say(call, 0, "Skipped " + name + ": the file exists");
        } else {
            ++call.failed;
            if (refusal.errorCode != 0) lastError = refusal.errorCode;
            say(call, refusal.errorCode,
                (refusal.errorCode == 0 ? "Skipped " : "Cannot extract ") + name + ": " + refusal.why);
        }
    }
    return lastError;
}

}  // namespace

}  // namespace quillet::archive::dll

QUILLET_DLL_EXPORT int GetUnzDllVersion(void) { return QUILLET_DLL_VERSION; }

QUILLET_DLL_EXPORT int UnzDllExec(UnzDllCall* call) {
    if (call == nullptr || call->version / 100 != QUILLET_DLL_VERSION / 100) return -1;
    try {
        return quillet::archive::dll::extractEntries(*call);
    } catch (...) {
        return -1;
    }
}
