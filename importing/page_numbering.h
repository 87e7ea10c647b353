#pragma once
// Where imported pages go and what they are called: the output directory,
// the base file name and the scan counter (page001.bmp, page002.bmp, ...).
// Pages are written in order, each under the next counter name that no file
// holds yet: an existing file is never overwritten; its name is passed by
// and reported, and the page takes the next free name.

#include <string>
#include <vector>

#include "imaging/bitmap.h"

namespace quillet::importing {

struct PageNaming {
    std::string directory;  // cut form: no trailing separator ("" is the root)
    std::string baseName = "page";
    int firstNumber = 1;
};

// One page written: its path and the existing files whose names it passed by.
struct WrittenPage {
    std::string path;
    std::vector<std::string> passedBy;
};

// The report of an existing file whose name was passed by.
std::string passedByText(const std::string& path);

class PageNumbering {
public:
    explicit PageNumbering(PageNaming naming) : naming_(std::move(naming)), next_(naming_.firstNumber) {}

    // Writes the page (its resolution in the header) under the next free
    // name; the file appears complete or not at all. Throws ImportError
    // naming the target when it cannot be written.
    WrittenPage write(const imaging::Bitmap& page);

    // The counter value after the last name used (taken or passed by).
    int nextNumber() const { return next_; }
    std::string pathFor(int number) const;

private:
    std::string firstFreeFrom(int number) const;

    PageNaming naming_;
    int next_;
};

}  // namespace quillet::importing
