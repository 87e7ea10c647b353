#pragma once
// A file of pages to import: a PDF (poppler: a scanned page at its own
// pixels, any other page rendered), a TIFF (every page of a multi-page file,
// with libtiff), a PNG or a JPEG (Qt's image readers). Each page comes out as
// a 1-bit bitmap carrying its resolution, whatever its size, with memory
// bounded by the page's 1-bit store and a band of it.
//
// A source is used by one thread at a time; threads that render pages of the
// same file in parallel open a source each.

#include <memory>
#include <string>

#include "cleanup/clean_page.h"
#include "imaging/bitmap.h"
#include "importing/threshold.h"

namespace quillet::importing {

enum class PageFileKind { Pdf, Tiff, Png, Jpeg };

// How pages become bitmaps.
struct PageSettings {
    int dpi = 300;        // PDF rendering resolution; image files keep their own
    bool render = false;  // render every PDF page, even one that is a scanned image
    Threshold threshold;
    bool clean = false;               // each page cleaned once it is 1-bit
    cleanup::CleanupSettings cleanup;  // the steps that clean it, at the page's own resolution
};

class PageSource {
public:
    explicit PageSource(std::string path) : path_(std::move(path)) {}
    virtual ~PageSource() = default;
    const std::string& path() const { return path_; }
    virtual int pageCount() const = 0;
    // Page 0 .. pageCount() - 1 as a 1-bit bitmap, its resolution fields set:
    // 1-bit pages pixel for pixel, grey and colour ones thresholded. Throws
    // ImportError naming the file, the page and the reason.
    virtual imaging::Bitmap page(int index) = 0;
    // A fault that ended the walk over the file's pages early (a TIFF whose
    // chain of pages loops back); the pages before it import. Empty when the
    // file holds no such fault.
    virtual std::string walkFault() const { return {}; }

private:
    std::string path_;
};

// The kind of a file, from its first bytes (never from its name). Throws
// ImportError when the file cannot be read or is none of the four kinds.
PageFileKind pageFileKind(const std::string& path);

// Opens a file of pages. Throws ImportError naming the file and the reason
// (not a page file, an encrypted or damaged PDF, no pages).
std::unique_ptr<PageSource> openPageSource(const std::string& path, const PageSettings& settings);

// Pixels per metre for a resolution in pixels per inch, rounded.
int pixelsPerMetre(double pixelsPerInch);

// The page's name in messages: "page 3" (index 2).
std::string pageLabel(int index);

}  // namespace quillet::importing
