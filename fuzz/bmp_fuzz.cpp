// The BMP reader on arbitrary bytes. For every input:
//  - decoding from memory and loading the same bytes from a file agree: the
//    same bitmap, or a BitmapError with the same message;
//  - nothing but a BitmapError escapes (anything else ends the run);
//  - a monochrome result keeps the bits past its width 0;
//  - a monochrome result survives encoding and decoding unchanged, and the
//    header check of the file agrees with the result's kind.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "imaging/bit_rows.h"
#include "imaging/bmp_file.h"

using quillet::imaging::Bitmap;
using quillet::imaging::BitmapError;

namespace {

[[noreturn]] void fault(const char* what) {
    std::fprintf(stderr, "bmp_fuzz: %s\n", what);
    std::abort();
}

bool same(const Bitmap& a, const Bitmap& b) {
    if (a.width() != b.width() || a.height() != b.height() || a.monochrome() != b.monochrome()) return false;
    for (int y = 0; y < a.height(); ++y) {
        const bool equal = a.monochrome()
                               ? std::memcmp(a.row(y), b.row(y), std::size_t(a.wordsPerRow()) * 8) == 0
                               : std::memcmp(a.colourRow(y), b.colourRow(y), std::size_t(a.width()) * 4) == 0;
        if (!equal) return false;
    }
    return true;
}

struct Outcome {
    std::optional<Bitmap> bitmap;
    std::string error;
};

template <class F>
Outcome attempt(F&& f) {
    Outcome o;
    try {
        o.bitmap = f();
    } catch (const BitmapError& e) {
        o.error = e.what();
        if (o.error.empty()) fault("a BitmapError without a message");
    }
    return o;
}

// The input as a file: an anonymous memory file reached through /proc.
class MemoryFile {
public:
    MemoryFile() : fd_(::memfd_create("bmp_fuzz", 0)) {
        if (fd_ < 0) fault("memfd_create failed");
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    const std::string& hold(const std::uint8_t* data, std::size_t size) {
        if (::ftruncate(fd_, 0) != 0 || ::pwrite(fd_, data, size, 0) != ssize_t(size)) fault("writing the file failed");
        return path_;
    }

private:
    int fd_;
    std::string path_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    const Outcome fromMemory = attempt([&] { return quillet::imaging::decodeBmp(data, size); });
    const std::string& path = file.hold(data, size);
    const Outcome fromFile = attempt([&] { return quillet::imaging::loadBmp(path); });

    if (fromMemory.error != fromFile.error) fault("memory and file paths fail differently");
    if (!fromMemory.bitmap) return 0;
    const Bitmap& b = *fromMemory.bitmap;
    if (!fromFile.bitmap || !same(b, *fromFile.bitmap)) fault("memory and file paths decode differently");
    if (quillet::imaging::isMonochromeBmp(path) != b.monochrome()) fault("the header check disagrees with the load");
    if (!b.monochrome()) return 0;

    const int wpr = b.wordsPerRow();
    const std::uint64_t lastMask = quillet::imaging::leadingMask(b.width() - ((wpr - 1) << 6));
    for (int y = 0; y < b.height(); ++y)
        if (b.row(y)[wpr - 1] & ~lastMask) fault("bits past the width are set");
    const std::vector<std::uint8_t> encoded = quillet::imaging::encodeBmp(b);
    const Outcome again = attempt([&] { return quillet::imaging::decodeBmp(encoded.data(), encoded.size()); });
    if (!again.bitmap || !same(b, *again.bitmap)) fault("a monochrome bitmap does not survive a write and read");
    return 0;
}
