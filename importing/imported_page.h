#pragma once
// The one road every imported page takes between the file it comes from and
// the BMP file it becomes, in the page reader process: read as a 1-bit page,
// then whatever is done to the page itself happens here (the clean-up),
// before it is handed back to be saved.

#include <string>

#include "imaging/bitmap.h"
#include "importing/page_source.h"

namespace quillet::importing {

struct ImportedPage {
    imaging::Bitmap bitmap;
    // What the clean-up did (cleanup::cleanInPlace); empty when it was not asked for.
    std::string cleaned;
};

// Page `index` of `source`, ready to be saved. Throws ImportError naming the
// file, the page and the fault. A page the clean-up cannot take is kept as
// read, and `cleaned` says why.
ImportedPage importedPage(PageSource& source, int index, const PageSettings& settings);

}  // namespace quillet::importing
