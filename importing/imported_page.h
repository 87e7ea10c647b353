#pragma once
// The one road every imported page takes between the file it comes from and
// the BMP file it becomes, in the page reader process: read as a 1-bit page,
// then whatever is done to the page itself happens here, before it is handed
// back to be saved.

#include "imaging/bitmap.h"
#include "importing/page_source.h"

namespace quillet::importing {

// Page `index` of `source`, ready to be saved. Throws ImportError naming the
// file, the page and the fault.
imaging::Bitmap importedPage(PageSource& source, int index, const PageSettings& settings);

}  // namespace quillet::importing
