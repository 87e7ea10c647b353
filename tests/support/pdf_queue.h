#pragma once
// A cups-pdf queue of the test's own, made with lpadmin for the test and
// removed after it: every job on it is the test's, and the PDF of each job
// is found among cups-pdf's files by the job's id, so that other prints on
// the machine (the same user's too) never count. Also reads the PDFs back
// with poppler's pdfimages and pdftoppm.

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
    PdfQueue();   // adds the queue, accepting jobs
    ~PdfQueue();  // removes the queue and the PDFs of its jobs
    PdfQueue(const PdfQueue&) = delete;
    PdfQueue& operator=(const PdfQueue&) = delete;

    // Empty when the queue can be used; otherwise why not (for GTEST_SKIP).
    const std::string& unavailable() const { return unavailable_; }
    // The queue's name, for --printer.
    const std::string& name() const { return name_; }
    // The folder cups-pdf writes this user's PDFs to.
    const std::filesystem::path& folder() const { return folder_; }
    // Makes the queue refuse new jobs (cupsreject); false on failure.
    bool refuseJobs();

    // The ids of every job the queue was given, oldest first.
    std::vector<int> jobs() const;
    // Waits (up to `seconds`) until the queue has finished every job and n
    // PDFs of jobs not returned before have appeared; returns those PDFs in
    // job order (oldest first), fewer when they did not come in time.
    std::vector<std::filesystem::path> waitForNew(std::size_t n, int seconds = 60);

private:
    std::filesystem::path pdfOfJob(int id) const;

    std::string unavailable_;
    std::string name_;
    std::filesystem::path folder_;
    std::set<int> returned_;
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
