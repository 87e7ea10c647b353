#include "cleanup/despeckle.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "cleanup/leptonica.h"
#include "cleanup/page_masks.h"
#include "cleanup/resolution.h"

namespace quillet::cleanup {

namespace {

// The clear space a speck keeps around it, in millimetres (at least a pixel).
constexpr double kClearanceMm = 0.26;
// Dust is sparse: a speck with more than this many small components (none
// over a millimetre a side) in the 3 x 3 mm around it is a grain of a picture
// (the dots of a grey tint or a dithered photograph) and stays.
constexpr double kGrainCellMm = 1.0;
constexpr int kGrainNeighbours = 6;

// Small components counted by the millimetre cell their box starts in.
class Grain {
public:
    Grain(const std::vector<imaging::Rect>& boxes, int cell) : cell_(cell) {
        for (const imaging::Rect& b : boxes)
            if (b.width() <= cell && b.height() <= cell) ++count_[key(b.left / cell, b.top / cell)];
    }
    // Small components in the cells around (and in) the box's own cell,
    // the box itself included.
    int around(const imaging::Rect& box) const {
        int n = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const auto it = count_.find(key(box.left / cell_ + dx, box.top / cell_ + dy));
                if (it != count_.end()) n += it->second;
            }
        return n;
    }

private:
    static std::int64_t key(int x, int y) { return std::int64_t(x) << 32 ^ std::uint32_t(y); }
    int cell_;
    std::unordered_map<std::int64_t, int> count_;
};

}  // namespace

Despeckled despeckle(const imaging::Bitmap& page, const DespeckleSettings& settings) {
    Despeckled out{page, {}};
    const Resolution at(settings.dpi);
    const int largest = int(std::floor(at.pixels(settings.maxMillimetres) + 1e-9));
    if (largest < 1 || page.isEmpty()) return out;
    const int clearance = std::max(1, int(at.pixels(kClearanceMm)));
    const std::vector<imaging::Rect> boxes = leptonica::componentBoxes(page);
    const Grain grain(boxes, std::max(largest + 1, int(at.pixels(kGrainCellMm))));
    for (const imaging::Rect& box : boxes) {
        if (box.width() > largest || box.height() > largest) continue;
        if (grain.around(box) > kGrainNeighbours + 1) continue;
        // Every black pixel of the box is the speck's or another speck's: a
        // larger component in it would reach out of the box into the ring.
        const imaging::Rect ring{box.left - clearance, box.top - clearance, box.right + clearance,
                                 box.bottom + clearance};
        if (inkIn(out.page, ring) != inkIn(out.page, box)) continue;
        out.page.fillRect(box, imaging::kWhite);
        ++out.report.specks;
    }
    return out;
}

}  // namespace quillet::cleanup
