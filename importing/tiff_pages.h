#pragma once
// TIFF pages with libtiff. The chain of pages is walked once, in order, when
// the file is opened, keeping where each page's directory lies, so any page
// is reached in one step; a chain that loops back ends the walk there. 1-bit
// pages are read row by row straight into the packed store; grey and colour
// pages in bands of bounded size, then thresholded.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "importing/page_source.h"

typedef struct tiff TIFF;

namespace quillet::importing {

class TiffPages : public PageSource {
public:
    // Throws ImportError when the file cannot be opened as a TIFF.
    TiffPages(const std::string& path, const PageSettings& settings);
    ~TiffPages() override;

    int pageCount() const override { return int(directories_.size()); }
    imaging::Bitmap page(int index) override;
    std::string walkFault() const override { return walkFault_; }

    // libtiff's messages about this file, newest last (its error handler).
    std::string lastError;

private:
    imaging::Bitmap oneBitPage(int index, int width, int height, bool blackIsZero);
    imaging::Bitmap colourPage(int index, int width, int height);

    std::string path_;
    PageSettings settings_;
    std::unique_ptr<TIFF, void (*)(TIFF*)> tiff_;
    std::vector<std::uint64_t> directories_;  // each page's directory offset
    std::string walkFault_;
    int unreadable_ = -1;  // the page whose directory could not be read, or -1
};

}  // namespace quillet::importing
