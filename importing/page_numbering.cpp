#include "importing/page_numbering.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/counter_form.h"
#include "base/posix_file.h"
#include "base/temp_file.h"
#include "app/output_directory.h"
#include "imaging/bitmap_error.h"
#include "imaging/bmp_file.h"
#include "importing/import_error.h"

namespace quillet::importing {

namespace {

constexpr int kLastNumber = 999999;

std::string errnoText(int e) { return std::strerror(e); }

// Removes the temporary file on every path.
struct TempFile {
    std::string path;
    ~TempFile() {
        if (!path.empty()) ::unlink(path.c_str());
    }
};

// Writes the bytes to a fresh file beside `target`; returns its path.
std::string writeTemp(const std::string& target, const std::vector<std::uint8_t>& bytes) {
    base::TemporaryFile temp = base::temporaryBeside(target);
    if (!temp.fd.valid()) throw ImportError(target, "cannot be created (" + errnoText(errno) + ")");
    if (!base::writeFully(temp.fd.get(), bytes.data(), bytes.size()) || ::close(temp.fd.release()) != 0) {
        const int e = errno;
        ::unlink(temp.name.c_str());
        throw ImportError(target, "cannot be written (" + errnoText(e) + ")");
    }
    return temp.name;
}

// Gives the complete temporary file the target's name unless a file holds
// that name already: false then, and nothing changed.
bool placeWithoutReplacing(const std::string& temp, const std::string& target) {
    if (::link(temp.c_str(), target.c_str()) == 0) return true;
    if (errno == EEXIST) return false;
    // File systems without hard links.
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno == EEXIST) return false;
    if (errno == EINVAL || errno == ENOSYS) {
        if (::access(target.c_str(), F_OK) == 0) return false;
        if (::rename(temp.c_str(), target.c_str()) == 0) return true;
    }
    throw ImportError(target, "cannot be created (" + errnoText(errno) + ")");
}

}  // namespace

std::string passedByText(const std::string& path) {
    return path + ": exists already; kept as it was, and the page took the next free name";
}

std::string PageNumbering::pathFor(int number) const {
    return app::joinPath(naming_.directory, app::counterFileName(naming_.baseName, number));
}

WrittenPage PageNumbering::write(const imaging::Bitmap& page) {
    WrittenPage written;
    std::vector<std::uint8_t> bytes;
    try {
        bytes = imaging::encodeBmp(page);
    } catch (const std::bad_alloc&) {
        throw ImportError(pathFor(next_), "not enough memory to write the page");
    }
    TempFile temp{writeTemp(pathFor(next_), bytes)};
    for (;;) {
        if (next_ > kLastNumber) throw ImportError(pathFor(next_), "no free file name is left");
        const std::string target = pathFor(next_++);
        if (placeWithoutReplacing(temp.path, target)) {
            written.path = target;
            return written;
        }
        written.passedBy.push_back(target);
    }
}

}  // namespace quillet::importing
