#include "cleanup/sauvola.h"

#include <algorithm>
#include <cmath>

#include "cleanup/leptonica.h"
#include "cleanup/resolution.h"

namespace quillet::cleanup {

namespace {

// Half the window's side, in pixels, before a small page shrinks it.
int halfWindow(const SauvolaSettings& settings) {
    return std::max(int(std::lround(Resolution(settings.dpi).pixels(settings.windowMillimetres) / 2)), 2);
}

}  // namespace

int sauvolaReach(const SauvolaSettings& settings) { return halfWindow(settings) + 2; }

imaging::Bitmap sauvolaThreshold(const imaging::GreyImage& grey, const SauvolaSettings& settings) {
    const int side = std::min(grey.width, grey.height);
    const int half = std::min(halfWindow(settings), (side - 3) / 2);
    if (half >= 2)
        return leptonica::sauvola(grey.pixels, grey.width, grey.height, grey.stride, half, settings.factor);
    imaging::Bitmap out(grey.width, grey.height);
    for (int y = 0; y < grey.height; ++y)
        for (int x = 0; x < grey.width; ++x)
            if (grey.pixels[y * grey.stride + x] < 128) out.setBlack(x, y, true);
    return out;
}

}  // namespace quillet::cleanup
