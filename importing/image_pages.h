#pragma once
// PNG and JPEG pages (one per file) read with Qt's image readers, within a
// memory limit of our own instead of the readers' default one.

#include <string>

#include "importing/page_source.h"

namespace quillet::importing {

class ImagePages : public PageSource {
public:
    // Throws ImportError when the reader cannot read the file.
    ImagePages(const std::string& path, PageFileKind kind, const PageSettings& settings);

    int pageCount() const override { return 1; }
    // Reads the file afresh at every call.
    imaging::Bitmap page(int index) override;

private:
    std::string path_;
    const char* format_;
    PageSettings settings_;
};

}  // namespace quillet::importing
