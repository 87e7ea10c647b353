#include "layout/strip_compression.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace quillet::layout {

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
