#include "importing/imported_page.h"

#include <new>

#include "importing/import_error.h"

namespace quillet::importing {

imaging::Bitmap importedPage(PageSource& source, int index, const PageSettings&) {
    try {
        return source.page(index);
    } catch (const std::bad_alloc&) {
        throw ImportError(source.path(), pageLabel(index) + " cannot be read (not enough memory)");
    }
}

}  // namespace quillet::importing
