#include "archive/zip_directory.h"

#include <sys/stat.h>
#include <zip.h>

#include <functional>
#include <memory>

namespace quillet::archive {

namespace {

using ArchivePtr = std::unique_ptr<zip_t, decltype(&zip_discard)>;

// Opens an archive with the given libzip flags; on failure `error` holds
// libzip's code and text.
using Opener = std::function<zip_t*(int flags, int& error, std::string& text)>;

bool listEntries(zip_t* za, DirectoryReading& out) {
    const zip_int64_t n = zip_get_num_entries(za, 0);
    out.entries.reserve(std::size_t(n > 0 ? n : 0));
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(za, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME)) {
            out.message = "Error while reading a central file name";
            return false;
        }
        ZipEntry e;
        e.name = st.name;
        if (st.valid & ZIP_STAT_SIZE) e.size = st.size;
        if (st.valid & ZIP_STAT_COMP_SIZE) e.compressedSize = st.comp_size;
        if (st.valid & ZIP_STAT_MTIME) e.modified = st.mtime;
        e.directoryOnly = !e.name.empty() && e.name.back() == '/';
        out.entries.push_back(std::move(e));
    }
    return true;
}

DirectoryReading readWith(const Opener& open) {
    DirectoryReading out;
    int error = 0;
    std::string text;
    ArchivePtr za(open(ZIP_RDONLY | ZIP_CHECKCONS, error, text), &zip_discard);
    if (!za) {
        const int checkedError = error;
        za.reset(open(ZIP_RDONLY, error, text));
        if (!za) {
            out.outcome = DirectoryReading::Outcome::Failed;
            out.message = listErrorMessage(error, text);
            return out;
        }
        if (checkedError == ZIP_ER_INCONS) {
            out.outcome = DirectoryReading::Outcome::Warning;
            out.message = kZipStructureWarning;
        } else {
            // The check failed for another reason (memory, reading): report
            // that, as the directory was not read as a whole.
            out.outcome = DirectoryReading::Outcome::Failed;
            out.message = listErrorMessage(checkedError, text);
            return out;
        }
    } else {
        out.outcome = DirectoryReading::Outcome::Read;
    }
    if (!listEntries(za.get(), out)) {
        out.outcome = DirectoryReading::Outcome::Failed;
        out.entries.clear();
    }
    return out;
}

std::string errorText(zip_error_t& e) { return zip_error_strerror(&e); }

}  // namespace

std::string listErrorMessage(int zipError, const std::string& libzipText) {
    switch (zipError) {
    case ZIP_ER_SEEK:
    case ZIP_ER_TELL:
        return "Seek error reading Zip archive!";
    case ZIP_ER_NOZIP:
    case ZIP_ER_EOF:
        return "Error while reading the End Of Central Directory";
    case ZIP_ER_READ:
        return "Error while reading a central header";
    case ZIP_ER_INCONS:
        return "A central header signature is wrong";
    case ZIP_ER_MEMORY:
        return "Requested memory not available";
    default:
        return "Unknown error in List() function\n" + libzipText;
    }
}

DirectoryReading readZipDirectory(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return {};
    return readWith([&](int flags, int& error, std::string& text) -> zip_t* {
        int code = 0;
        zip_t* za = zip_open(path.c_str(), flags, &code);
        if (za == nullptr) {
            zip_error_t e;
            zip_error_init_with_code(&e, code);
            error = zip_error_code_zip(&e);
            text = errorText(e);
            zip_error_fini(&e);
        }
        return za;
    });
}

DirectoryReading readZipDirectory(const void* data, std::size_t size) {
    return readWith([&](int flags, int& error, std::string& text) -> zip_t* {
        zip_error_t e;
        zip_error_init(&e);
        zip_source_t* src = zip_source_buffer_create(data, size, 0, &e);
        zip_t* za = src != nullptr ? zip_open_from_source(src, flags, &e) : nullptr;
        if (za == nullptr) {
            if (src != nullptr) zip_source_free(src);
            error = zip_error_code_zip(&e);
            text = errorText(e);
        }
        zip_error_fini(&e);
        return za;
    });
}

}  // namespace quillet::archive
