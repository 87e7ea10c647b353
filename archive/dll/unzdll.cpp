// UNZDLL: extracts entries of an archive through libzip below a base folder.
//
// Nothing is written outside the base folder: every name passes the entry
// name check, symbolic-link entries are never written, and the folders of a
// name are opened one by one without following symbolic links, so a link
// already on disk cannot lead elsewhere either. A file is written under a
// temporary name in its folder and takes its own name only when it is
// complete, so a failed write (a full disk) leaves nothing under the entry's
// name; an existing file is kept unless overwriting was asked for.
//
// Nothing is written past what the archive declares: an entry that inflates
// beyond its declared size is refused part-way, and when the declared sizes
// together exceed the folder's free space nothing is extracted. Of two
// entries of one name only the first is written.

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "archive/dll/dll_message.h"
#include "archive/archive_reader.h"
#include "archive/entry_names.h"
#include "base/posix_file.h"
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

// Where one entry goes: `leaf` of the folder open as `dir`.
struct Target {
    int dir = -1;
    std::string leaf;
    mode_t mode = 0666;
    time_t modified = 0;
    std::uint64_t declared = 0;  // the entry's size as its directory record says
    bool overwrite = false;
};

// Streams entry `index` into its target, never past its declared size.
bool writeEntry(zip_t* za, zip_uint64_t index, const Target& to, bool& existed, Refusal& refusal) {
    base::TemporaryFile made = base::temporaryIn(to.dir, to.mode);
    const std::string temp = made.name;
    Fd out(made.fd.release());
    if (out.get() < 0) {
        refusal = {errno, std::strerror(errno)};
        return false;
    }
    auto fail = [&](int code, const std::string& why) {
        out.close();
        ::unlinkat(to.dir, temp.c_str(), 0);
        refusal = {code, why};
        return false;
    };
    std::unique_ptr<zip_file_t, decltype(&zip_fclose)> in(zip_fopen_index(za, index, 0), &zip_fclose);
    if (!in) return fail(zip_error_code_zip(zip_get_error(za)), zip_strerror(za));
    std::vector<char> buffer(256 * 1024);
    std::uint64_t total = 0;
    for (;;) {
        const zip_int64_t n = zip_fread(in.get(), buffer.data(), buffer.size());
        if (n < 0) return fail(zip_error_code_zip(zip_file_get_error(in.get())), zip_file_strerror(in.get()));
        if (n == 0) break;
        total += std::uint64_t(n);
        if (total > to.declared)
            return fail(0, "it inflates past its declared size of " + std::to_string(to.declared) + " bytes");
        if (!base::writeFully(out.get(), buffer.data(), std::size_t(n))) {
            const int e = errno;
            return fail(e, std::strerror(e));
        }
    }
    const struct timespec times[2] = {{to.modified, 0}, {to.modified, 0}};
    ::futimens(out.get(), times);
    if (out.close() != 0) {
        const int e = errno;
        ::unlinkat(to.dir, temp.c_str(), 0);
        refusal = {e, std::strerror(e)};
        return false;
    }
    if (!publish(to.dir, temp, to.leaf, to.overwrite)) {
        const int e = errno;
        ::unlinkat(to.dir, temp.c_str(), 0);
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

// The entry's path below the base folder, when it may be written.
bool pathOf(const ArchiveItem& item, bool dirNames, EntryPath& path, std::string& why) {
    if (!splitEntryName(item.entry.name, path, why)) return false;
    if (!dirNames) path.directories.clear();
    return true;
}

// The bytes the entries to be written declare: those with a name that may
// be written, not already on disk (unless overwriting).
std::uint64_t declaredTotal(const std::vector<ArchiveItem>& items, const std::set<std::string>& wanted, int base,
                            bool dirNames, bool overwrite) {
    std::uint64_t total = 0;
    for (const ArchiveItem& item : items) {
        EntryPath path;
        std::string why;
        if (item.index < 0 || item.entry.directoryOnly || (!wanted.empty() && !wanted.count(item.entry.name)) ||
            !pathOf(item, dirNames, path, why) || path.leaf.empty())
            continue;
        struct stat st;
        if (!overwrite && ::fstatat(base, joinEntryPath(path).c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) continue;
        total += item.entry.size;
    }
    return total;
}

int extractEntries(UnzDllCall& call) {
    call.extracted = 0;
    call.failed = 0;
    ArchiveReading archive = openArchive(call.archive);
    if (archive.outcome == ArchiveReading::Outcome::Failed) {
        say(call, archive.error, std::string("Cannot open the archive ") + call.archive + ": " + archive.errorText);
        return archive.error != 0 ? archive.error : ZIP_ER_NOZIP;
    }
    zip_t* za = archive.zip.get();
    const Fd base(::open(call.baseDir, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (base.get() < 0) {
        const int e = errno;
        say(call, e, std::string("Cannot open the folder ") + call.baseDir + ": " + std::strerror(e));
        return e;
    }
    base::removeStaleTemporariesIn(base.get());
    const std::set<std::string> wanted(call.names, call.names + call.nameCount);
    const bool dirNames = (call.flags & UNZDLL_EXTR_DIRNAMES) != 0;
    const bool overwrite = (call.flags & UNZDLL_EXTR_OVERWRITE) != 0;

    // What the entries say they need against what the folder has.
    const std::uint64_t needed = declaredTotal(archive.items, wanted, base.get(), dirNames, overwrite);
    struct statvfs fs;
    if (::fstatvfs(base.get(), &fs) == 0 && needed > std::uint64_t(fs.f_bavail) * fs.f_frsize) {
        say(call, ENOSPC,
            std::string("Cannot extract into ") + call.baseDir + ": the entries need " + std::to_string(needed) +
                " bytes and only " + std::to_string(std::uint64_t(fs.f_bavail) * fs.f_frsize) + " are free");
        call.failed = int(archive.items.size());
        return ENOSPC;
    }

    int lastError = 0;
    for (const ArchiveItem& item : archive.items) {
        const std::string& name = item.entry.name;
        if (!wanted.empty() && !wanted.count(name)) continue;
        Refusal refusal;
        EntryPath path;
        bool existed = false;
        bool done = false;
        if (item.index < 0) {
            refusal = {0, "an earlier entry has the same name"};
        } else if (!pathOf(item, dirNames, path, refusal.why)) {
            refusal.errorCode = 0;
        } else {
            const zip_uint64_t index = zip_uint64_t(item.index);
            const mode_t mode = storedMode(za, index);
            Fd folder;
            if (S_ISLNK(mode)) {
                refusal = {0, "it is a symbolic link"};
            } else if (path.leaf.empty() && !dirNames) {
                continue;
            } else if (openFolders(base.get(), path.directories, folder, refusal)) {
                if (path.leaf.empty()) continue;
                if (!overwrite && existsIn(folder.get(), path.leaf)) {
                    existed = true;
                } else {
                    Target to;
                    to.dir = folder.get();
                    to.leaf = path.leaf;
                    to.mode = (mode & 0777) != 0 ? (mode & 0777) : 0666;
                    to.modified = item.entry.modified;
                    to.declared = item.entry.size;
                    to.overwrite = overwrite;
                    done = writeEntry(za, index, to, existed, refusal);
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
