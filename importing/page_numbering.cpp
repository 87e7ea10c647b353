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

// Writes the page whole under a fresh short name in `directory`; returns
// that name. Throws BitmapError when it cannot be written. The name is one
// of the shared temporary names, so a run killed part-way leaves nothing
// that the next write into the folder does not clear.
std::string writeTemp(const std::string& directory, const imaging::Bitmap& page) {
    base::TemporaryFile temp = base::temporaryBeside(app::joinPath(directory, "page"));
    if (!temp.fd.valid()) throw imaging::BitmapError("cannot be created (" + errnoText(errno) + ")");
    temp.fd.reset();
    try {
        imaging::saveBmp(page, temp.name);  // whole or not at all, then renamed over the empty file
    } catch (...) {
        ::unlink(temp.name.c_str());
        throw;
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

// The first name from `number` on that no file holds.
std::string PageNumbering::firstFreeFrom(int number) const {
    while (number < kLastNumber && ::access(pathFor(number).c_str(), F_OK) == 0) ++number;
    return pathFor(number);
}

WrittenPage PageNumbering::write(const imaging::Bitmap& page) {
    WrittenPage written;
    TempFile temp;
    try {
        temp.path = writeTemp(naming_.directory, page);
    } catch (const std::bad_alloc&) {
        throw ImportError(firstFreeFrom(next_), "the new page cannot be written (not enough memory)");
    } catch (const imaging::BitmapError& e) {
        // Named after the file the page would have become: no file of that
        // name was touched.
        throw ImportError(firstFreeFrom(next_), std::string("the new page cannot be written: ") + e.what());
    }
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
