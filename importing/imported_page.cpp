#include "importing/imported_page.h"

#include <new>

#include "cleanup/cleanup_error.h"
#include "importing/import_error.h"

namespace quillet::importing {

ImportedPage importedPage(PageSource& source, int index, const PageSettings& settings) {
    ImportedPage out;
    try {
        out.bitmap = source.page(index);
    } catch (const std::bad_alloc&) {
        throw ImportError(source.path(), pageLabel(index) + " cannot be read (not enough memory)");
    } catch (const cleanup::CleanupError& e) {  // the local threshold out of memory
        throw ImportError(source.path(), pageLabel(index) + " cannot be read (" + e.what() + ")");
    }
    if (settings.clean) out.cleaned = cleanup::cleanInPlace(out.bitmap, settings.cleanup);
    return out;
}

}  // namespace quillet::importing
