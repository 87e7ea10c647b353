#include "app/logo.h"

#include <algorithm>
#include <exception>

#include "imaging/colour.h"

namespace quillet::app {

namespace {

using imaging::Bitmap;
using imaging::Rgb;

void put(Bitmap& b, int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= b.width() || y >= b.height()) return;
    b.colourRow(y)[x] = imaging::packRgb(c);
}

void fill(Bitmap& b, int x0, int y0, int x1, int y1, Rgb c) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) put(b, x, y, c);
}

// A small page: white sheet with a dark edge and rows of grey "text" with
// ragged line ends and a blank gap between paragraphs.
void page(Bitmap& b, int x0, int y0, int w, int h, int seed) {
    fill(b, x0 + 2, y0 + 2, x0 + w + 2, y0 + h + 2, Rgb{10, 30, 70});  // shadow
    fill(b, x0, y0, x0 + w, y0 + h, Rgb{250, 250, 245});
    for (int x = x0; x < x0 + w; ++x) {
        put(b, x, y0, Rgb{120, 130, 150});
        put(b, x, y0 + h - 1, Rgb{120, 130, 150});
    }
    for (int y = y0; y < y0 + h; ++y) {
        put(b, x0, y, Rgb{120, 130, 150});
        put(b, x0 + w - 1, y, Rgb{120, 130, 150});
    }
    int line = 0;
    for (int y = y0 + 4; y + 1 < y0 + h - 3; y += 3, ++line) {
        if ((line + seed) % 6 == 5) continue;  // paragraph gap
        const int ragged = ((line * 7 + seed * 3) % 5);
        fill(b, x0 + 3, y, x0 + w - 3 - ragged, y + 1, Rgb{60, 60, 70});
    }
}

}  // namespace

imaging::Bitmap makeLogo() {
    Bitmap logo(kLogoWidth, kLogoHeight);
    logo.setMonochrome(false);

    // Background: a vertical blue band, 16 steps from deep to lighter blue.
    for (int y = 0; y < kLogoHeight; ++y) {
        const int step = y * 16 / kLogoHeight;
        const Rgb c{std::uint8_t(20 + step * 3), std::uint8_t(50 + step * 5),
                    std::uint8_t(110 + step * 6)};
        fill(logo, 0, y, kLogoWidth, y + 1, c);
    }
    // A thin gold rule along the bottom.
    fill(logo, 0, kLogoHeight - 3, kLogoWidth, kLogoHeight - 1, Rgb{230, 180, 60});

    // A fan of three pages on the left ...
    page(logo, 8, 10, 26, 36, 0);
    page(logo, 18, 16, 26, 36, 2);
    page(logo, 28, 22, 26, 36, 4);
    // ... and the same text packed small into one sheet of three columns.
    const int sx = 66, sy = 8, sw = 40, sh = 54;
    fill(logo, sx + 2, sy + 2, sx + sw + 2, sy + sh + 2, Rgb{10, 30, 70});
    fill(logo, sx, sy, sx + sw, sy + sh, Rgb{250, 250, 245});
    for (int col = 0; col < 3; ++col) {
        const int cx = sx + 3 + col * 12;
        for (int y = sy + 3, line = 0; y < sy + sh - 3; y += 2, ++line)
            if ((line + col) % 9 != 8) fill(logo, cx, y, cx + 10 - (line * 3 + col) % 3, y + 1,
                                            Rgb{60, 60, 70});
    }
    // The arrow from the pages to the sheet.
    fill(logo, 57, 34, 63, 35, Rgb{230, 180, 60});
    for (int d = 0; d < 3; ++d) {
        put(logo, 61 + d, 32 + d, Rgb{230, 180, 60});
        put(logo, 61 + d, 36 - d, Rgb{230, 180, 60});
    }

    // The name, drawn through the monochrome text rasteriser and laid over
    // the band in white with a dark shadow.
    try {
        imaging::Font big{"Arial", true, false, false, false, 24};
        imaging::Font small{"Arial", false, true, false, false, 8};
        auto stamp = [&](const std::string& text, const imaging::Font& font, int x, int y,
                         Rgb colour) {
            const imaging::Size s = imaging::measureText(text, font);
            if (s.width <= 0 || s.height <= 0) return;
            Bitmap mask(s.width, s.height);
            mask.drawText(0, 0, text, font);
            for (int ty = 0; ty < s.height; ++ty)
                for (int tx = 0; tx < s.width; ++tx)
                    if (mask.isBlack(tx, ty)) {
                        put(logo, x + tx + 1, y + ty + 1, Rgb{10, 25, 60});
                        put(logo, x + tx, y + ty, colour);
                    }
        };
        stamp("Quillet", big, 122, 8, Rgb{255, 255, 255});
        stamp("many pages, few sheets", small, 124, 46, Rgb{250, 225, 140});
    } catch (const std::exception&) {
        // No font rendering available: the picture stands without its name.
    }
    return logo;
}

}  // namespace quillet::app
