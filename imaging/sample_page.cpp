// Sample scanned pages. All sizes are given for 300 dpi and scaled to the
// requested resolution: x-height about 25 pixels, line pitch about 50, strokes
// 3 pixels, margins of 120 to 330 pixels.

#include "imaging/sample_page.h"

#include <algorithm>
#include <cmath>

namespace quillet::imaging {

namespace {

// splitmix64: small, fast and the same on every platform and library, unlike
// the standard distributions.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x1234567ull) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [lo, hi].
    int between(int lo, int hi) { return lo + int(next() % std::uint64_t(hi - lo + 1)); }
    bool chance(int percent) { return between(0, 99) < percent; }

private:
    std::uint64_t state_;
};

Rect unite(const Rect& a, const Rect& b) {
    if (a.isEmpty()) return b;
    if (b.isEmpty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

class PageWriter {
public:
    PageWriter(const SamplePageOptions& o) : rng_(o.seed), scale_(o.dpi / 300.0) {}

    int px(double at300) const { return std::max(1, int(std::lround(at300 * scale_))); }
    Random& rng() { return rng_; }

    // Ink rectangle, recorded in the current line's bounds.
    void ink(Bitmap& b, Rect r) {
        b.fillRect(r, kBlack);
        line_ = unite(line_, r);
    }
    Rect takeLine() {
        const Rect r = line_;
        line_ = {};
        return r;
    }

    // One letter-like glyph on baseline `base` from x, `size` 1 for body text.
    // Returns its advance width.
    int glyph(Bitmap& b, int x, int base, double size) {
        const int xh = px(25 * size), asc = px(11 * size), desc = px(9 * size);
        const int t = px(3 * size);
        const int w = px(rng_.between(11, 19) * size);
        const int top = base - xh;
        switch (rng_.between(0, 9)) {
            case 0:  // o
                ink(b, {x, top, x + w, top + t});
                ink(b, {x, base - t, x + w, base});
                ink(b, {x, top, x + t, base});
                ink(b, {x + w - t, top, x + w, base});
                break;
            case 1:  // n
            case 2:
                ink(b, {x, top, x + t, base});
                ink(b, {x, top, x + w, top + t});
                ink(b, {x + w - t, top, x + w, base});
                break;
            case 3:  // l, d, b: an ascender
                ink(b, {x, top - asc, x + t, base});
                ink(b, {x, base - t, x + w, base});
                ink(b, {x + w - t, top + xh / 2, x + w, base});
                break;
            case 4:  // p, g: a descender
                ink(b, {x, top, x + t, base + desc});
                ink(b, {x, top, x + w, top + t});
                ink(b, {x + w - t, top, x + w, base - xh / 3});
                ink(b, {x, base - xh / 3, x + w, base - xh / 3 + t});
                break;
            case 5:  // e
                ink(b, {x, top, x + w, top + t});
                ink(b, {x, top + xh / 2 - t / 2, x + w, top + xh / 2 - t / 2 + t});
                ink(b, {x, base - t, x + w, base});
                ink(b, {x, top, x + t, base});
                ink(b, {x + w - t, top, x + w, top + xh / 2});
                break;
            case 6: {  // i: a stem and a dot
                const int iw = px(4 * size);
                ink(b, {x, top, x + t, base});
                ink(b, {x, top - asc + px(2), x + t, top - asc / 2 + px(2)});
                return iw + t + px(rng_.between(3, 5) * size);
            }
            case 7:  // s
                ink(b, {x, top, x + w, top + t});
                ink(b, {x, top + xh / 2 - t / 2, x + w, top + xh / 2 - t / 2 + t});
                ink(b, {x, base - t, x + w, base});
                ink(b, {x, top, x + t, top + xh / 2});
                ink(b, {x + w - t, top + xh / 2, x + w, base});
                break;
            case 8:  // t: a short ascender and a bar
                ink(b, {x + w / 3, top - asc / 2, x + w / 3 + t, base});
                ink(b, {x, top, x + w, top + t});
                break;
            default:  // a
                ink(b, {x, top, x + w, top + t});
                ink(b, {x + w - t, top, x + w, base});
                ink(b, {x, base - t, x + w, base});
                ink(b, {x, top + xh / 2, x + t, base});
                ink(b, {x, top + xh / 2, x + w, top + xh / 2 + t});
                break;
        }
        return w + px(rng_.between(3, 5) * size);
    }

    // Width a word of n glyphs would take at most.
    int maxWordWidth(int letters, double size) const { return letters * px(24 * size); }

private:
    Random rng_;
    double scale_;
    Rect line_;
};

}  // namespace

Size a4Pixels(int dpi) {
    return Size{int(std::lround(210.0 / 25.4 * dpi)), int(std::lround(297.0 / 25.4 * dpi))};
}

SamplePage generateSamplePage(const SamplePageOptions& options) {
    const int dpi = std::clamp(options.dpi, 30, 1200);
    SamplePageOptions o = options;
    o.dpi = dpi;
    PageWriter pw(o);
    Random& rng = pw.rng();
    const Size size = a4Pixels(dpi);

    SamplePage page;
    page.bitmap = Bitmap(size.width, size.height);
    Bitmap& b = page.bitmap;

    // Margins differ page to page; a slight skew makes the left edge ragged.
    const int left = pw.px(rng.between(120, 320));
    const int right = size.width - pw.px(rng.between(120, 320));
    const int top = pw.px(rng.between(130, 330));
    const int bottom = size.height - pw.px(rng.between(160, 380));
    const double skew = rng.between(-40, 40) / 10000.0;  // up to ~14 px over a page

    const int pitch = pw.px(50);
    int base = top + pw.px(36);  // the first line's ascenders touch the top margin
    bool paragraphStart = true;
    int linesLeft = 0;
    while (base + pw.px(12) < bottom) {
        const int shift = int(std::lround((base - top) * skew));
        const int lineLeft = left + shift + pw.px(rng.between(-1, 1));
        if (paragraphStart && rng.chance(15) && base + 3 * pitch < bottom) {
            // A heading: larger, bolder, short, with a blank line after it.
            const double hs = 1.5;
            int x = lineLeft;
            const int words = rng.between(1, 4);
            for (int wd = 0; wd < words; ++wd) {
                const int letters = rng.between(3, 8);
                if (x + pw.maxWordWidth(letters, hs) > right) break;
                for (int l = 0; l < letters; ++l) x += pw.glyph(b, x, base + pw.px(12), hs);
                x += pw.px(28);
            }
            page.lines.push_back(pw.takeLine());
            page.headings.push_back(true);
            base += 2 * pitch + pw.px(12);
            continue;
        }
        if (paragraphStart) linesLeft = rng.between(2, 10);
        // Full lines wrap at the right margin; a paragraph's last line stops short.
        const bool last = linesLeft == 1;
        const int lineRight = last ? lineLeft + (right - lineLeft) * rng.between(15, 85) / 100 : right;
        int x = lineLeft + (paragraphStart && rng.chance(60) ? pw.px(rng.between(50, 80)) : 0);
        bool any = false;
        for (;;) {
            const int letters = rng.between(1, 10);
            if (x + pw.maxWordWidth(letters, 1) > lineRight + shift && any) break;
            if (x + pw.maxWordWidth(letters, 1) > right + shift) break;
            for (int l = 0; l < letters; ++l) x += pw.glyph(b, x, base, 1);
            any = true;
            x += pw.px(rng.between(14, 20));
        }
        if (any) {
            page.lines.push_back(pw.takeLine());
            page.headings.push_back(false);
        }
        base += pitch + rng.between(-1, 1);
        paragraphStart = --linesLeft <= 0;
        if (paragraphStart) base += pitch;  // a blank line between paragraphs
    }
    for (const Rect& r : page.lines) page.textBox = unite(page.textBox, r);

    // Specks of dirt in the margins, well away from the text.
    const Rect& tb = page.textBox;
    const int gap = pw.px(20);
    auto inMargin = [&](int w, int h) {
        for (int tries = 0; tries < 100; ++tries) {
            const int x = rng.between(0, size.width - w - 1), y = rng.between(0, size.height - h - 1);
            const Rect r{x, y, x + w, y + h};
            const bool clear = r.right + gap <= tb.left || r.left >= tb.right + gap || r.bottom + gap <= tb.top ||
                               r.top >= tb.bottom + gap;
            if (clear) return r;
        }
        return Rect{};
    };
    const int specks = rng.between(3, 7);
    for (int i = 0; i < specks; ++i) {
        const Rect r = inMargin(rng.between(1, 5), rng.between(1, 5));
        if (r.isEmpty()) continue;
        b.fillRect(r, kBlack);
        page.specks.push_back(r);
    }
    if (options.wideSpeck) {
        const Rect r = inMargin(pw.px(rng.between(40, 90)), pw.px(rng.between(8, 20)));
        b.fillRect(r, kBlack);
        page.wideSpeck = r;
    }
    return page;
}

Bitmap makeSamplePage(const SamplePageOptions& options) { return generateSamplePage(options).bitmap; }

}  // namespace quillet::imaging
