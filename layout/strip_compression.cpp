#include "layout/strip_compression.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace quillet::layout {

std::vector<RowRun> keptRows(const Strip& strip, int tag) {
    std::vector<RowRun> runs;
    auto add = [&runs](int first, int last) {
        if (first >= last) return;
        if (!runs.empty() && runs.back().last == first) runs.back().last = last;
        else runs.push_back({first, last});
    };
    const int h = strip.height();
    int y = 0;
    while (y < h) {
        const int start = y;
        if (!strip.rowBlank(y)) {
            while (y < h && !strip.rowBlank(y)) ++y;
            add(start, y);
        } else {
            while (y < h && strip.rowBlank(y)) ++y;
            const int run = y - start;
            const int keep = std::min(run, y < h ? tag : tag + 1);
            add(y - std::max(0, keep), y);
        }
    }
    return runs;
}

imaging::Bitmap compressStrip(Strip& strip, int tag) {
    strip.originalHeight = strip.height();
    strip.keptRuns = keptRows(strip, tag);
    int kept = 0;
    for (const RowRun& r : strip.keptRuns) kept += r.last - r.first;
    imaging::Bitmap out = imaging::Bitmap::uninitialised(strip.width(), kept);  // every row copied below
    const std::size_t wpr = std::size_t(out.wordsPerRow());
    int dst = 0;
    if (wpr > 0)
        for (const RowRun& r : strip.keptRuns) {
            std::memcpy(out.row(dst), strip.row(r.first), sizeof(std::uint64_t) * wpr * std::size_t(r.last - r.first));
            dst += r.last - r.first;
        }
    std::swap(strip.bitmap, out);
    strip.top = 0;
    strip.cut = 0;
    return out;
}

void runCompressionPhase(std::vector<Strip>& strips, int tag, CompositionStatus& status) {
    std::int64_t T0 = 0;
    for (const Strip& s : strips) T0 += s.originalHeight;
    if (T0 <= 0) T0 = 1;
    std::int64_t D = 1;
    // One text a row; it is built again only when its number changes.
    std::int64_t shown = -1;
    std::string text;
    for (std::size_t i = strips.size(); i-- > 0;) {
        Strip& strip = strips[i];
        for (const RowRun& r : strip.keptRuns)
            for (int row = r.first; row < r.last; ++row) {
                const std::int64_t percent = (D + row) * 100 / T0;
                if (percent != shown) {
                    text = "Compression processing . . . " + std::to_string(percent) + "% of lines processed.   ";
                    shown = percent;
                }
                status.say(text);
                status.front();
            }
        D += strip.originalHeight - 1;

        if (i + 1 < strips.size() && !strip.empty()) {
            const Strip& next = strips[i + 1];
            const int b = -scanInkUp(strip, strip.height() - 1);
            const int a = next.empty() ? 0 : scanInkDown(next, 0);
            if (a + b > tag) strip.cutBottom(std::min(a + b - tag, b));
        }
    }
    strips.erase(std::remove_if(strips.begin(), strips.end(), [](const Strip& s) { return s.empty(); }),
                 strips.end());
}

}  // namespace quillet::layout
