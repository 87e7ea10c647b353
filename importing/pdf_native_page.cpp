#include "importing/pdf_native_page.h"

#include <GfxState.h>
#include <OutputDev.h>
#include <PDFDoc.h>
#include <Stream.h>

#include <cmath>
#include <vector>

#include "imaging/bit_rows.h"
#include "imaging/word_bytes.h"
#include "importing/page_source.h"

namespace quillet::importing {

namespace {

// The largest grey or colour image held as grey bytes while it is read.
constexpr std::int64_t kMaxGreyImagePixels = std::int64_t(1) << 27;

// Watches a page being drawn at 72 pixels per inch, top-down, and keeps its
// image when the page turns out to be that image alone. Anything else marks
// the page as not native, which also stops the drawing early.
class ImageOnlyProbe : public OutputDev {
public:
    explicit ImageOnlyProbe(Threshold threshold) : threshold_(threshold) {}

    bool native() const { return !other_ && page_.has_value(); }
    imaging::Bitmap take() { return std::move(*page_); }
    static bool stop(void* probe) { return static_cast<ImageOnlyProbe*>(probe)->other_; }

    bool upsideDown() override { return true; }
    bool useDrawChar() override { return true; }
    bool interpretType3Chars() override { return false; }

    void startPage(int, GfxState* state, XRef*) override {
        pageWidth_ = state->getPageWidth();
        pageHeight_ = state->getPageHeight();
    }

    // Painting of any other kind.
    void stroke(GfxState*) override { other_ = true; }
    void fill(GfxState*) override { other_ = true; }
    void eoFill(GfxState*) override { other_ = true; }
    void clipToStrokePath(GfxState*) override { other_ = true; }
    void drawChar(GfxState* state, double, double, double, double, double, double, CharCode, int, const Unicode*,
                  int) override {
        if (state->getRender() != 3) other_ = true;  // 3: invisible
    }
    void beginTransparencyGroup(GfxState*, const double*, GfxColorSpace*, bool, bool, bool) override {
        other_ = true;
    }
    void setSoftMask(GfxState*, const double*, bool, Function*, GfxColor*) override { other_ = true; }
    void clip(GfxState* state) override { clipTo(state); }
    void eoClip(GfxState* state) override { clipTo(state); }

    void drawImageMask(GfxState* state, Object* ref, Stream* str, int width, int height, bool invert,
                       bool interpolate, bool inlineImg) override {
        other_ = true;
        OutputDev::drawImageMask(state, ref, str, width, height, invert, interpolate, inlineImg);
    }
    void setSoftMaskFromImageMask(GfxState* state, Object* ref, Stream* str, int width, int height, bool invert,
                                  bool inlineImg, double* baseMatrix) override {
        other_ = true;
        OutputDev::setSoftMaskFromImageMask(state, ref, str, width, height, invert, inlineImg, baseMatrix);
    }
    void drawMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                         GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr, int maskWidth,
                         int maskHeight, bool maskInvert, bool maskInterpolate) override {
        other_ = true;
        OutputDev::drawMaskedImage(state, ref, str, width, height, colorMap, interpolate, maskStr, maskWidth,
                                   maskHeight, maskInvert, maskInterpolate);
    }
    void drawSoftMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                             GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr, int maskWidth,
                             int maskHeight, GfxImageColorMap* maskColorMap, bool maskInterpolate) override {
        other_ = true;
        OutputDev::drawSoftMaskedImage(state, ref, str, width, height, colorMap, interpolate, maskStr, maskWidth,
                                       maskHeight, maskColorMap, maskInterpolate);
    }

    void drawImage(GfxState* state, Object* ref, Stream* str, int width, int height, GfxImageColorMap* colorMap,
                   bool interpolate, const int* maskColors, bool inlineImg) override {
        if (page_ || other_ || maskColors != nullptr || !coversPageUpright(state, width, height) ||
            state->getFillOpacity() < 1 || state->getBlendMode() != gfxBlendNormal ||
            std::int64_t(width) * height > imaging::Bitmap::kMaxPixels) {
            other_ = true;
            OutputDev::drawImage(state, ref, str, width, height, colorMap, interpolate, maskColors, inlineImg);
            return;
        }
        const double* m = state->getCTM();
        if (colorMap->getNumPixelComps() == 1 && colorMap->getBits() == 1) {
            page_ = oneBitImage(str, width, height, colorMap);
        } else if (std::int64_t(width) * height <= kMaxGreyImagePixels) {
            page_ = greyImage(str, width, height, colorMap, width * 72.0 / m[0]);
        } else {
            other_ = true;
            OutputDev::drawImage(state, ref, str, width, height, colorMap, interpolate, maskColors, inlineImg);
            return;
        }
        page_->xPixelsPerMetre = pixelsPerMetre(width * 72.0 / m[0]);
        page_->yPixelsPerMetre = pixelsPerMetre(height * 72.0 / -m[3]);
    }

private:
    // The image's unit square lands on the whole page, its first row at the
    // top and its first column at the left, to within one image pixel.
    bool coversPageUpright(GfxState* state, int width, int height) const {
        const double* m = state->getCTM();  // x = a u + c v + e, y = b u + d v + f
        if (!(m[0] > 0 && m[3] < 0) || width <= 0 || height <= 0) return false;
        const double pixelX = m[0] / width, pixelY = -m[3] / height;
        if (std::abs(m[1]) * width > pixelX * 0.5 || std::abs(m[2]) * height > pixelY * 0.5) return false;
        auto near = [](double a, double b, double tolerance) { return std::abs(a - b) <= tolerance + 1e-6; };
        return near(m[4], 0, pixelX) && near(m[4] + m[0], pageWidth_, pixelX) && near(m[5] + m[3], 0, pixelY) &&
               near(m[5], pageHeight_, pixelY);
    }

    // A clip is harmless when it is one rectangle holding the whole page.
    void clipTo(GfxState* state) {
        const GfxPath* path = state->getPath();
        double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
        int corners = 0;
        for (int s = 0; s < path->getNumSubpaths(); ++s) {
            const GfxSubpath* sub = path->getSubpath(s);
            for (int i = 0; i < sub->getNumPoints(); ++i) {
                if (sub->getCurve(i)) corners = 99;
                double x, y;
                state->transform(sub->getX(i), sub->getY(i), &x, &y);
                x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
                ++corners;
            }
        }
        const bool rectangle = path->getNumSubpaths() == 1 && corners >= 4 && corners <= 5 && axisAligned(state);
        if (!rectangle || x0 > 0.5 || y0 > 0.5 || x1 < pageWidth_ - 0.5 || y1 < pageHeight_ - 0.5) other_ = true;
    }
    // Every edge of the current path runs along an axis.
    static bool axisAligned(GfxState* state) {
        const GfxSubpath* sub = state->getPath()->getSubpath(0);
        const int n = sub->getNumPoints();
        for (int i = 0; i < n; ++i) {
            double ax, ay, bx, by;
            state->transform(sub->getX(i), sub->getY(i), &ax, &ay);
            state->transform(sub->getX((i + 1) % n), sub->getY((i + 1) % n), &bx, &by);
            if (std::abs(ax - bx) > 0.01 && std::abs(ay - by) > 0.01) return false;
        }
        return true;
    }

    // Sample value v (0 or 1) shows as ink.
    static bool inkSample(GfxImageColorMap* colorMap, unsigned char v) {
        GfxGray grey;
        colorMap->getGray(&v, &grey);
        return grey < gfxColorComp1 / 2;
    }

    // Rows of packed samples, most significant bit first, become the store's
    // words as they are.
    static imaging::Bitmap oneBitImage(Stream* str, int width, int height, GfxImageColorMap* colorMap) {
        const bool inkOne = inkSample(colorMap, 1), inkZero = inkSample(colorMap, 0);
        imaging::Bitmap page(width, height);
        if (inkOne == inkZero) {
            if (inkOne) page.fillRect({0, 0, width, height}, imaging::kBlack);
            return page;
        }
        const std::uint64_t flip = inkOne ? 0 : ~std::uint64_t(0);
        const int words = page.wordsPerRow(), rowBytes = (width + 7) / 8;
        const std::uint64_t tail = imaging::leadingMask(width - 64 * (words - 1));
        std::vector<std::uint8_t> row(std::size_t(words) * 8);
        str->reset();
        for (int y = 0; y < height; ++y) {
            const int got = str->doGetChars(rowBytes, row.data());
            if (got < rowBytes) std::fill(row.begin() + std::max(got, 0), row.end(), std::uint8_t(flip));
            imaging::wordsFromBigEndian(row.data(), std::size_t(words), flip, page.row(y));
            page.row(y)[words - 1] &= tail;
        }
        str->close();
        return page;
    }

    imaging::Bitmap greyImage(Stream* str, int width, int height, GfxImageColorMap* colorMap, double dpi) const {
        std::vector<std::uint8_t> grey(std::size_t(width) * std::size_t(height));
        ImageStream image(str, width, colorMap->getNumPixelComps(), colorMap->getBits());
        image.reset();
        const int comps = colorMap->getNumPixelComps();
        for (int y = 0; y < height; ++y) {
            const unsigned char* line = image.getLine();
            std::uint8_t* out = grey.data() + std::size_t(y) * width;
            if (line == nullptr) {
                std::fill_n(out, width, std::uint8_t(255));
                continue;
            }
            for (int x = 0; x < width; ++x) {
                GfxGray g;
                colorMap->getGray(line + std::size_t(x) * comps, &g);
                out[x] = colToByte(g);
            }
        }
        image.close();
        return toOneBit(GreyImage{grey.data(), width, height, width}, threshold_, dpi);
    }

    Threshold threshold_;
    double pageWidth_ = 0, pageHeight_ = 0;
    bool other_ = false;
    std::optional<imaging::Bitmap> page_;
};

}  // namespace

std::optional<imaging::Bitmap> nativePage(PDFDoc& doc, int pageNumber, Threshold threshold) {
    ImageOnlyProbe probe(threshold);
    doc.displayPage(&probe, pageNumber, 72, 72, 0, false, true, false, ImageOnlyProbe::stop, &probe);
    if (!probe.native()) return std::nullopt;
    return probe.take();
}

}  // namespace quillet::importing
