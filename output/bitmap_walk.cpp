#include "output/bitmap_walk.h"

namespace quillet::output {

void walkSelectedBitmaps(const app::FileList& list, const std::function<bool(const SelectedBitmap&)>& visit) {
    const int n = list.selectedCount();
    for (int i = 0, k = 0; i < list.count() && k < n; ++i) {
        if (!list.selected(i)) continue;
        const std::string& entry = list.entry(i);
        if (!visit({entry, list.pathOf(entry), ++k, n})) return;
    }
}

}  // namespace quillet::output
