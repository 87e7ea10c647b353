// ZIPDLL: adds files to an archive through libzip. libzip writes the new
// archive into a temporary file beside the old one and renames it over the
// old one only when everything was written, so a failed add leaves the old
// archive as it was. The archive's folder is locked (flock) for the whole
// add: another add into it, from another run, waits until this one has
// renamed its copy into place and then reads that, so neither loses entries.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>

#include "archive/dll/dll_message.h"
#include "base/posix_file.h"
#include "base/temp_file.h"

namespace quillet::archive::dll {

namespace {

std::string lowerCase(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool storedWithoutCompression(const ZipDllCall& call, const std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string ext = lowerCase(name.substr(dot + 1));
    for (int i = 0; i < call.storeSuffixCount; ++i)
        if (ext == lowerCase(call.storeSuffixes[i])) return true;
    return false;
}

// The name a file is stored under: its bare name, or its path without the
// leading "/" when directory names are kept.
std::string entryName(const ZipDllCall& call, const std::string& path) {
    if (call.flags & ZIPDLL_ADD_DIRNAMES) {
        std::size_t start = 0;
        while (start < path.size() && path[start] == '/') ++start;
        return path.substr(start);
    }
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

enum class Queued { Yes, Skipped, Failed };

// Queues one file for the close; Failed (after saying why) when it cannot be
// added.
Queued queueFile(ZipDllCall& call, zip_t* za, const std::string& path, int& lastError) {
    const std::string name = entryName(call, path);
    const std::size_t slash = name.rfind('/');
    const std::string bare = slash == std::string::npos ? name : name.substr(slash + 1);
    if (bare.empty()) {
        say(call, lastError = EINVAL, "Cannot add " + path + ": it names no file");
        return Queued::Failed;
    }
    if (bare.front() == '.' && !(call.flags & ZIPDLL_ADD_HIDDEN)) {
        say(call, 0, "Skipped the hidden file " + path);
        return Queued::Skipped;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int e = errno;
        say(call, lastError = e, "Cannot add " + path + ": " + std::strerror(e));
        return Queued::Failed;
    }
    if (!S_ISREG(st.st_mode)) {
        say(call, lastError = EINVAL, "Cannot add " + path + ": it is not an ordinary file");
        return Queued::Failed;
    }
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src = zip_source_file_create(path.c_str(), 0, -1, &error);
    if (src == nullptr) {
        say(call, lastError = zip_error_code_zip(&error), "Cannot add " + path + ": " + zip_error_strerror(&error));
        zip_error_fini(&error);
        return Queued::Failed;
    }
    zip_error_fini(&error);
    const zip_int64_t index = zip_file_add(za, name.c_str(), src, ZIP_FL_OVERWRITE);
    if (index < 0) {
        zip_source_free(src);
        say(call, lastError = zip_error_code_zip(zip_get_error(za)),
            "Cannot add " + path + ": " + zip_strerror(za));
        return Queued::Failed;
    }
    const zip_uint64_t i = zip_uint64_t(index);
    if (storedWithoutCompression(call, name))
        zip_set_file_compression(za, i, ZIP_CM_STORE, 0);
    else
        zip_set_file_compression(za, i, ZIP_CM_DEFLATE, zip_uint32_t(std::clamp(call.level, 1, 9)));
    // Unix permissions, so that unzip restores them.
    zip_file_set_external_attributes(za, i, 0, ZIP_OPSYS_UNIX,
                                     zip_uint32_t((st.st_mode & 07777) | S_IFREG) << 16);
    return Queued::Yes;
}

// Holds an exclusive lock on the archive's folder until it goes; no lock
// when the folder cannot be opened (the add then fails on its own).
base::UniqueFd lockFolderOf(const std::string& archive) {
    base::UniqueFd folder(::open(base::folderOf(archive).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    while (folder.valid() && ::flock(folder.get(), LOCK_EX) != 0 && errno == EINTR) {
    }
    return folder;
}

int addFiles(ZipDllCall& call) {
    call.added = 0;
    call.failed = 0;
    call.archiveFailed = 0;
    const base::UniqueFd lock = lockFolderOf(call.archive);
    int code = 0;
    zip_t* za = zip_open(call.archive, ZIP_CREATE, &code);
    if (za == nullptr) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        say(call, code, std::string("Cannot open the archive ") + call.archive + ": " + zip_error_strerror(&e));
        zip_error_fini(&e);
        call.failed = call.fileCount;
        call.archiveFailed = 1;
        return code;
    }
    int lastError = 0;
    int queued = 0;
    for (int i = 0; i < call.fileCount; ++i) {
        switch (queueFile(call, za, call.files[i], lastError)) {
        case Queued::Yes: ++queued; break;
        case Queued::Failed: ++call.failed; break;
        case Queued::Skipped: break;
        }
    }
    if (zip_close(za) != 0) {
        const int e = zip_error_code_zip(zip_get_error(za));
        say(call, e != 0 ? e : ZIP_ER_CLOSE,
            std::string("Cannot write the archive ") + call.archive + ": " + zip_strerror(za) +
                "; it is left as it was");
        zip_discard(za);
        call.failed += queued;
        call.archiveFailed = 1;
        return e != 0 ? e : ZIP_ER_CLOSE;
    }
    call.added = queued;
    return lastError;
}

}  // namespace

}  // namespace quillet::archive::dll

QUILLET_DLL_EXPORT int GetZipDllVersion(void) { return QUILLET_DLL_VERSION; }

QUILLET_DLL_EXPORT int ZipDllExec(ZipDllCall* call) {
    if (call == nullptr || call->version / 100 != QUILLET_DLL_VERSION / 100) return -1;
    try {
        return quillet::archive::dll::addFiles(*call);
    } catch (...) {
        return -1;
    }
}
