#pragma once
// PDF pages with poppler: a page that is one upright image covering the page
// is taken at that image's own pixels (pdf_native_page.h); every other page,
// and every page when rendering is asked for, is rendered at the chosen
// resolution: a page that holds images in 8-bit grey, in bands of bounded
// size, then thresholded; a page of text and lines alone 1-bit at once (its
// grey fills halftoned as a printer would).

#include <memory>
#include <string>

#include "importing/page_source.h"

class PDFDoc;

namespace quillet::importing {

class PdfPages : public PageSource {
public:
    // Throws ImportError for a damaged or encrypted PDF, or one without pages.
    PdfPages(const std::string& path, const PageSettings& settings);
    ~PdfPages() override;

    int pageCount() const override;
    imaging::Bitmap page(int index) override;

private:
    struct Devices;
    imaging::Bitmap rendered(int index);
    Devices& devices();

    std::string path_;
    PageSettings settings_;
    std::unique_ptr<PDFDoc> document_;
    std::unique_ptr<Devices> devices_;  // after document_: they draw its pages
};

}  // namespace quillet::importing
