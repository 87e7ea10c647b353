#include "importing/local_threshold.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "cleanup/sauvola.h"

namespace quillet::importing {

imaging::Bitmap localThreshold(int width, int height, double dpi, int bandRows, const GreyRows& rowsOf) {
    cleanup::SauvolaSettings settings;
    settings.dpi = dpi >= 50 && dpi <= 4800 ? int(std::lround(dpi)) : 300;
    const int reach = cleanup::sauvolaReach(settings);
    bandRows = std::clamp(bandRows, 1, std::max(height, 1));
    // Every band read at the same height (the last ones reach further back),
    // so no band is smaller than the window while the page is not.
    const int readRows = std::min(height, bandRows + 2 * reach);
    imaging::Bitmap out = imaging::Bitmap::uninitialised(width, height);  // every row copied below
    for (int y = 0; y < height; y += bandRows) {
        const int rows = std::min(bandRows, height - y);
        const int from = std::clamp(y - reach, 0, height - readRows);
        const GreyImage grey = rowsOf(from, readRows);
        const imaging::Bitmap band =
            cleanup::sauvolaThreshold(grey, settings);
        const std::size_t rowBytes = std::size_t(out.wordsPerRow()) * sizeof(std::uint64_t);
        for (int r = 0; r < rows; ++r) std::memcpy(out.row(y + r), band.row(y - from + r), rowBytes);
    }
    return out;
}

}  // namespace quillet::importing
