#pragma once
// PDF pages rendered with poppler in 8-bit grey at the chosen resolution,
// then thresholded.

#include <memory>
#include <string>

#include "importing/page_source.h"

namespace poppler {
class document;
}

namespace quillet::importing {

class PdfPages : public PageSource {
public:
    // Throws ImportError for a damaged or encrypted PDF, or one without pages.
    PdfPages(const std::string& path, const PageSettings& settings);
    ~PdfPages() override;

    int pageCount() const override;
    imaging::Bitmap page(int index) override;

private:
    std::string path_;
    PageSettings settings_;
    std::unique_ptr<poppler::document> document_;
};

}  // namespace quillet::importing
