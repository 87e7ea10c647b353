#pragma once
// One PDF file of external pages, for handing the composed pages on: each
// page of the printed size in millimetres with a 1-bit bitmap stretched over
// it, embedded lossless and 1-bit. Written through Qt's PDF engine, which
// keeps a monochrome image 1-bit only when its colour table is exactly
// black, then white.

#include <memory>
#include <stdexcept>
#include <string>

#include "imaging/bitmap.h"

namespace quillet::output {

class PdfError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// True when the file at `path` looks like a whole PDF: more than a header,
// ending with the end-of-file marker (a write that failed part-way leaves
// it short of that).
bool isWholePdf(const std::string& path);

class PdfDocument {
public:
    // Nothing is written before the first page. The pages go into a
    // temporary file beside `path`, every write checked, and the file takes
    // its name only when finish() has checked it whole: a run that fails or
    // stops leaves the earlier file under the name as it was.
    explicit PdfDocument(std::string path);
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    // Adds a page of widthMm x heightMm with the monochrome bitmap stretched
    // over all of it; the document's resolution is the first page's
    // pixelsPerInch. Throws PdfError naming the file and the fault.
    void addPage(const imaging::Bitmap& page, int widthMm, int heightMm, int pixelsPerInch);

    // Completes the file, checks it and gives it its name, replacing an
    // earlier file; removes the temporaries that killed runs left beside it.
    // Throws PdfError (the temporary is then removed).
    void finish();

    int pages() const { return pages_; }
    const std::string& path() const { return path_; }

private:
    struct Writer;
    std::string path_;
    std::unique_ptr<Writer> writer_;
    int pages_ = 0;
};

}  // namespace quillet::output
