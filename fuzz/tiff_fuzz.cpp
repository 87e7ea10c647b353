// TIFF pages on arbitrary files (the import reads TIFFs in its own process,
// but a fault there still loses the user's page). For every input that
// starts like a TIFF:
//  - opening it and reading each of its first pages ends with the page or an
//    ImportError; nothing else escapes, nothing crashes;
//  - a page read is black and white, with the bits past its width 0.
// The last byte of the input picks the threshold: Otsu's, a fixed level or
// the local one.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "imaging/bit_rows.h"
#include "importing/import_error.h"
#include "importing/page_source.h"

using quillet::imaging::Bitmap;

namespace {

[[noreturn]] void fault(const char* what) {
    std::fprintf(stderr, "tiff_fuzz: %s\n", what);
    std::abort();
}

void check(const Bitmap& page) {
    if (!page.monochrome()) fault("the page is not black and white");
    const int tail = page.width() % 64;
    for (int y = 0; y < page.height() && tail != 0; ++y)
        if (page.row(y)[page.wordsPerRow() - 1] & ~quillet::imaging::leadingMask(tail)) fault("bits past the width");
}

bool startsLikeTiff(const std::uint8_t* data, std::size_t size) {
    static const std::uint8_t kinds[3][4] = {{'I', 'I', 42, 0}, {'M', 'M', 0, 42}, {'I', 'I', 43, 0}};
    return size >= 8 && std::any_of(std::begin(kinds), std::end(kinds),
                                    [data](const std::uint8_t* k) { return std::memcmp(data, k, 4) == 0; });
}

// The input as a file of this process's own, removed again when the run's
// scope ends.
struct InputFile {
    InputFile(const std::uint8_t* data, std::size_t size)
        : path("/tmp/tiff_fuzz-" + std::to_string(::getpid()) + ".tif") {
        FILE* f = std::fopen(path.c_str(), "wb");
        if (f == nullptr || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0)
            fault("cannot write the input");
    }
    ~InputFile() { ::unlink(path.c_str()); }
    const std::string path;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!startsLikeTiff(data, size)) return 0;
    quillet::importing::PageSettings settings;
    const std::uint8_t pick = data[size - 1];
    settings.threshold = {pick % 3 == 0, int(pick), pick % 3 == 2};
    try {
        const InputFile input(data, size);
        auto source = quillet::importing::openPageSource(input.path, settings);
        for (int i = 0; i < std::min(source->pageCount(), 4); ++i) {
            try {
                check(source->page(i));
            } catch (const quillet::importing::ImportError&) {
            }
        }
    } catch (const quillet::importing::ImportError&) {
    }
    return 0;
}
