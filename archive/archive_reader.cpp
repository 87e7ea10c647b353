#include "archive/archive_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "archive/central_directory.h"
#include "base/posix_file.h"

namespace quillet::archive {

namespace {

// Where an archive's bytes come from, and how libzip opens them as they are.
struct Bytes {
    std::uint64_t size = 0;
    ReadAt read;
    // Opens the archive with libzip's `flags`; on failure fills `r`'s error.
    std::function<zip_t*(int flags, ArchiveReading& r)> open;
};

void fail(ArchiveReading& r, zip_error_t& e) {
    r.error = zip_error_code_zip(&e);
    r.errorText = zip_error_strerror(&e);
}

// The repaired view as a libzip source: the archive's bytes up to its
// directory, then the repaired directory.
struct View {
    ReadAt read;
    RepairedDirectory dir;
    std::uint64_t position = 0;
    zip_error_t error{};

    std::uint64_t size() const { return dir.headLength + dir.tail.size(); }
    zip_int64_t fill(char* out, std::uint64_t n) {
        n = std::min(n, size() - std::min(position, size()));
        const std::uint64_t fromFile = position < dir.headLength ? std::min(n, dir.headLength - position) : 0;
        if (fromFile > 0 && !read(dir.base + position, out, std::size_t(fromFile))) {
            zip_error_set(&error, ZIP_ER_READ, EIO);
            return -1;
        }
        if (n > fromFile)
            std::memcpy(out + fromFile, dir.tail.data() + (position + fromFile - dir.headLength),
                        std::size_t(n - fromFile));
        position += n;
        return zip_int64_t(n);
    }
};

zip_int64_t viewCallback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    View* v = static_cast<View*>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        v->position = 0;
        return 0;
    case ZIP_SOURCE_READ:
        return v->fill(static_cast<char*>(data), length);
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_STAT: {
        zip_stat_t* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &v->error);
        if (st == nullptr) return -1;
        zip_stat_init(st);
        st->size = v->size();
        st->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&v->error, data, length);
    case ZIP_SOURCE_FREE:
        zip_error_fini(&v->error);
        delete v;
        return 0;
    case ZIP_SOURCE_SEEK: {
        const zip_int64_t at = zip_source_seek_compute_offset(v->position, v->size(), data, length, &v->error);
        if (at < 0) return -1;
        v->position = zip_uint64_t(at);
        return 0;
    }
    case ZIP_SOURCE_TELL:
        return zip_int64_t(v->position);
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
                                              ZIP_SOURCE_SUPPORTS, -1);
    default:
        zip_error_set(&v->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

// The modification time of a DOS date and time, read as local time (as
// libzip reads it).
std::time_t dosTime(std::uint16_t time, std::uint16_t date) {
    std::tm t{};
    t.tm_year = ((date >> 9) & 0x7f) + 80;
    t.tm_mon = ((date >> 5) & 0x0f) - 1;
    t.tm_mday = date & 0x1f;
    t.tm_hour = (time >> 11) & 0x1f;
    t.tm_min = (time >> 5) & 0x3f;
    t.tm_sec = (time & 0x1f) * 2;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

// Lists every entry libzip holds; false when one cannot be read.
bool listEntries(ArchiveReading& r) {
    const zip_int64_t n = zip_get_num_entries(r.zip.get(), 0);
    r.items.reserve(std::size_t(std::max<zip_int64_t>(n, 0)));
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(r.zip.get(), zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME)) return false;
        ArchiveItem item;
        item.index = i;
        item.entry.name = st.name;
        if (st.valid & ZIP_STAT_SIZE) item.entry.size = st.size;
        if (st.valid & ZIP_STAT_COMP_SIZE) item.entry.compressedSize = st.comp_size;
        if (st.valid & ZIP_STAT_MTIME) item.entry.modified = st.mtime;
        item.entry.directoryOnly = !item.entry.name.empty() && item.entry.name.back() == '/';
        r.items.push_back(std::move(item));
    }
    return true;
}

// Opens an archive that libzip refused through its repaired directory;
// false when its directory cannot be read record by record either.
bool openRepaired(const Bytes& bytes, ArchiveReading& r) {
    const std::optional<RawDirectory> raw = readRawDirectory(bytes.size, bytes.read);
    if (!raw) return false;
    RepairedDirectory repaired = repairDirectory(*raw);
    const std::vector<std::int64_t> index = repaired.index;
    auto* view = new View{bytes.read, std::move(repaired)};
    zip_error_init(&view->error);
    zip_error_t e;
    zip_error_init(&e);
    zip_source_t* src = zip_source_function_create(viewCallback, view, &e);
    if (src == nullptr) {
        zip_error_fini(&view->error);
        delete view;
        zip_error_fini(&e);
        return false;
    }
    ArchiveReading listed;
    listed.zip.reset(zip_open_from_source(src, ZIP_RDONLY, &e));
    zip_error_fini(&e);
    if (!listed.zip) {
        zip_source_free(src);
        return false;
    }
    // libzip must see exactly the records kept, or the two readings disagree.
    const std::size_t kept = std::size_t(std::count_if(index.begin(), index.end(), [](std::int64_t i) { return i >= 0; }));
    if (!listEntries(listed) || listed.items.size() != kept) return false;
    // Every raw entry in order; a repeated name under the name that libzip
    // gives its first entry.
    std::map<std::string, std::string> firstName;
    r.items.clear();
    for (std::size_t i = 0; i < raw->entries.size(); ++i) {
        const RawEntry& e = raw->entries[i];
        if (index[i] >= 0) {
            r.items.push_back(listed.items[std::size_t(index[i])]);
            firstName[e.name] = r.items.back().entry.name;
            continue;
        }
        ArchiveItem repeated;
        repeated.entry.name = firstName[e.name];
        repeated.entry.size = e.size;
        repeated.entry.compressedSize = e.compressedSize;
        repeated.entry.modified = dosTime(e.dosTime, e.dosDate);
        repeated.entry.directoryOnly = !repeated.entry.name.empty() && repeated.entry.name.back() == '/';
        r.items.push_back(std::move(repeated));
    }
    r.zip = std::move(listed.zip);
    return true;
}

ArchiveReading openBytes(const Bytes& bytes) {
    ArchiveReading r;
    r.zip.reset(bytes.open(ZIP_RDONLY | ZIP_CHECKCONS, r));
    if (r.zip) {
        r.outcome = ArchiveReading::Outcome::Read;
    } else {
        const int checkedError = r.error;
        const std::string checkedText = r.errorText;
        r.zip.reset(bytes.open(ZIP_RDONLY, r));
        if (r.zip && checkedError == ZIP_ER_INCONS) {
            r.outcome = ArchiveReading::Outcome::Warning;
            r.message = kZipStructureWarning;
        } else {
            // Refused as it stands, or opened only without the check (two
            // entries of one name): read record by record, or fail with the
            // first refusal.
            if (r.zip) {
                r.zip.reset();
                r.error = checkedError;
                r.errorText = checkedText;
            }
            if (openRepaired(bytes, r)) {
                r.outcome = ArchiveReading::Outcome::Warning;
                r.message = kZipStructureWarning;
                return r;
            }
        }
    }
    if (r.zip && !listEntries(r)) {
        r.zip.reset();
        r.items.clear();
        r.outcome = ArchiveReading::Outcome::Failed;
        r.message = "Error while reading a central file name";
        return r;
    }
    if (!r.zip) {
        r.outcome = ArchiveReading::Outcome::Failed;
        r.items.clear();
        r.message = listErrorMessage(r.error, r.errorText);
    }
    return r;
}

}  // namespace

ArchiveReading openArchive(const std::string& path) {
    auto file = std::make_shared<base::UniqueFd>(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    Bytes bytes;
    if (file->valid() && ::fstat(file->get(), &st) == 0) bytes.size = std::uint64_t(st.st_size);
    bytes.read = [file](std::uint64_t at, void* out, std::size_t n) {
        return file->valid() && base::preadFully(file->get(), out, n, off_t(at)) == std::ptrdiff_t(n);
    };
    bytes.open = [&path](int flags, ArchiveReading& r) {
        int code = 0;
        zip_t* za = zip_open(path.c_str(), flags, &code);
        if (za == nullptr) {
            zip_error_t e;
            zip_error_init_with_code(&e, code);
            fail(r, e);
            zip_error_fini(&e);
        }
        return za;
    };
    return openBytes(bytes);
}

ArchiveReading openArchive(const void* data, std::size_t size) {
    Bytes bytes;
    bytes.size = size;
    bytes.read = [data, size](std::uint64_t at, void* out, std::size_t n) {
        if (at > size || n > size - at) return false;
        std::memcpy(out, static_cast<const char*>(data) + at, n);
        return true;
    };
    bytes.open = [data, size](int flags, ArchiveReading& r) -> zip_t* {
        zip_error_t e;
        zip_error_init(&e);
        zip_source_t* src = zip_source_buffer_create(data, size, 0, &e);
        zip_t* za = src != nullptr ? zip_open_from_source(src, flags, &e) : nullptr;
        if (za == nullptr) {
            if (src != nullptr) zip_source_free(src);
            fail(r, e);
        }
        zip_error_fini(&e);
        return za;
    };
    return openBytes(bytes);
}

}  // namespace quillet::archive
