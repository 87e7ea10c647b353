#pragma once
// TIFF (every page), PNG and JPEG pages read with Qt's image readers.

#include <memory>
#include <string>

#include "importing/page_source.h"

class QImageReader;

namespace quillet::importing {

class ImagePages : public PageSource {
public:
    // Throws ImportError when the reader cannot read the file.
    ImagePages(const std::string& path, PageFileKind kind, const PageSettings& settings);
    ~ImagePages() override;

    int pageCount() const override { return count_; }
    imaging::Bitmap page(int index) override;

private:
    std::string path_;
    PageSettings settings_;
    std::unique_ptr<QImageReader> reader_;
    int count_ = 1;     // pages the file's directories announce
    int readable_ = 1;  // pages the reader finds
};

}  // namespace quillet::importing
