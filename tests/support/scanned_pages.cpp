#include "support/scanned_pages.h"

#include <QImage>
#include <QPainter>
#include <random>

#include "imaging/sample_page.h"

namespace quillet::test {

using imaging::Bitmap;
using imaging::Rect;

namespace {

bool inkIn(const Bitmap& page, Rect r) {
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, page.height()); ++y)
        for (int x = std::max(r.left, 0); x < std::min(r.right, page.width()); ++x)
            if (page.isBlack(x, y)) return true;
    return false;
}

}  // namespace

Bitmap textPage(int dpi, int seed) {
    imaging::SamplePageOptions o;
    o.dpi = dpi;
    o.seed = std::uint64_t(seed);
    imaging::SamplePage p = imaging::generateSamplePage(o);
    for (const Rect& s : p.specks) p.bitmap.fillRect(s, imaging::kWhite);
    return p.bitmap;
}

Bitmap turnedPage(const Bitmap& page, double degrees) {
    if (degrees == 0) return page;
    QImage canvas(page.width(), page.height(), QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter p(&canvas);
        p.translate(page.width() / 2.0, page.height() / 2.0);
        p.rotate(degrees);
        p.translate(-page.width() / 2.0, -page.height() / 2.0);
        p.drawImage(0, 0, page.toQImage());
    }
    Bitmap turned = Bitmap::fromQImage(canvas);
    turned.setMonochrome(true);
    return turned;
}

Bitmap croppedToInk(const Bitmap& page) {
    int left = page.width(), top = page.height(), right = 0, bottom = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.isBlack(x, y)) {
                left = std::min(left, x), right = std::max(right, x + 1);
                top = std::min(top, y), bottom = std::max(bottom, y + 1);
            }
    Bitmap out(std::max(right - left, 0), std::max(bottom - top, 0));
    out.blit(0, 0, page, left, top, out.width(), out.height());
    return out;
}

int sprinkleSpecks(Bitmap& page, int count, int side, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> x(0, page.width() - side), y(0, page.height() - side);
    int placed = 0;
    for (int tries = 0; placed < count && tries < 100 * count; ++tries) {
        const Rect s{x(random), y(random), 0, 0};
        const Rect speck{s.left, s.top, s.left + side, s.top + side};
        if (inkIn(page, {speck.left - 6, speck.top - 6, speck.right + 6, speck.bottom + 6})) continue;
        page.fillRect(speck, imaging::kBlack);
        ++placed;
    }
    return placed;
}

}  // namespace quillet::test
