#pragma once
// The cups-pdf queue "PDF" as tests meet it: whether it runs, the folder its
// PDFs land in (from /etc/cups/cups-pdf.conf), waiting for the PDFs of new
// jobs, and reading them back with poppler's pdfimages and pdftoppm.
//
// Tests that print hold a PdfQueue for their whole run: it takes a lock that
// other printing tests wait for, so the PDFs that appear are their own.

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "imaging/bitmap.h"

namespace quillet::testing {

// One line of `pdfimages -list`.
struct PdfImage {
    int width = 0, height = 0, bitsPerComponent = 0;
    std::string type, colour, encoding;
};

class PdfQueue {
public:
    PdfQueue();  // takes the lock and notes the PDFs already there
    ~PdfQueue();
    PdfQueue(const PdfQueue&) = delete;
    PdfQueue& operator=(const PdfQueue&) = delete;

    // Empty when the queue can be used; otherwise why not (for GTEST_SKIP).
    const std::string& unavailable() const { return unavailable_; }
    // The folder cups-pdf writes this user's PDFs to.
    const std::filesystem::path& folder() const { return folder_; }

    // Waits (up to `seconds`) until n PDFs have appeared since the last call
    // (or construction) and the queue has no pending jobs; returns them in
    // job order (oldest first). The PDFs are removed when the queue object goes.
    std::vector<std::filesystem::path> waitForNew(std::size_t n, int seconds = 60);

private:
    std::set<std::filesystem::path> pdfs() const;

    int lockFd_ = -1;
    std::string unavailable_;
    std::filesystem::path folder_;
    std::set<std::filesystem::path> seen_;
    std::vector<std::filesystem::path> made_;
};

// `pdfimages -list` of a PDF's images.
std::vector<PdfImage> pdfImages(const std::filesystem::path& pdf);
// The first image of page 1 as pdfimages extracts it (PBM for 1-bit data),
// as a monochrome bitmap; empty when it cannot be had.
imaging::Bitmap firstPdfImage(const std::filesystem::path& pdf);
// Page 1 rendered with `pdftoppm -mono -r dpi` as a monochrome bitmap.
imaging::Bitmap renderPdfPage(const std::filesystem::path& pdf, int dpi);
// Reads a binary PBM (P4) file; empty on any fault.
imaging::Bitmap readPbm(const std::filesystem::path& file);

}  // namespace quillet::testing
