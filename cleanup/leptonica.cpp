#include "cleanup/leptonica.h"

#include <leptonica/allheaders.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "cleanup/cleanup_error.h"
#include "imaging/bit_rows.h"

namespace quillet::cleanup::leptonica {

namespace {

using imaging::Bitmap;
using imaging::Rect;

struct PixFree {
    void operator()(PIX* p) const { pixDestroy(&p); }
};
using Pix = std::unique_ptr<PIX, PixFree>;
struct BoxaFree {
    void operator()(BOXA* b) const { boxaDestroy(&b); }
};
struct PixaFree {
    void operator()(PIXA* p) const { pixaDestroy(&p); }
};

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

// Leptonica writes its complaints to the standard error stream; our callers
// say what went wrong themselves.
void quiet() {
    static std::once_flag once;
    std::call_once(once, [] {
        setMsgSeverity(L_SEVERITY_NONE);
        leptSetStderrHandler([](const char*) {});
    });
}

// A Leptonica result, or the failure named after the step.
Pix made(PIX* p, const char* what) {
    if (p == nullptr) throw CleanupError(std::string("Not enough memory to ") + what);
    return Pix(p);
}

Pix toPix(const Bitmap& b) {
    quiet();
    Pix p = made(pixCreateNoInit(b.width(), b.height(), 1), "hand the page to Leptonica");
    l_uint32* data = pixGetData(p.get());
    const int wpl = pixGetWpl(p.get());
    const int whole = wpl / 2;
    for (int y = 0; y < b.height(); ++y) {
        const std::uint64_t* src = b.row(y);
        l_uint32* dst = data + std::size_t(y) * std::size_t(wpl);
        for (int k = 0; k < whole; ++k) {
            dst[2 * k] = l_uint32(src[k] >> 32);
            dst[2 * k + 1] = l_uint32(src[k]);
        }
        if (wpl & 1) dst[wpl - 1] = l_uint32(src[whole] >> 32);
    }
    return p;
}

Bitmap toBitmap(PIX* p) {
    const int w = int(pixGetWidth(p)), h = int(pixGetHeight(p));
    Bitmap b = Bitmap::uninitialised(w, h);
    const l_uint32* data = pixGetData(p);
    const int wpl = pixGetWpl(p);
    const int whole = wpl / 2;
    const std::uint64_t pad = w % 64 == 0 ? ~std::uint64_t(0) : imaging::leadingMask(w % 64);
    for (int y = 0; y < h; ++y) {
        const l_uint32* src = data + std::size_t(y) * std::size_t(wpl);
        std::uint64_t* dst = b.row(y);
        for (int k = 0; k < whole; ++k) dst[k] = std::uint64_t(src[2 * k]) << 32 | src[2 * k + 1];
        if (wpl & 1) dst[whole] = std::uint64_t(src[wpl - 1]) << 32;
        dst[b.wordsPerRow() - 1] &= pad;  // Leptonica leaves the bits past the width as they fall
    }
    return b;
}

// Leptonica's brick operations take odd and even sizes alike; 1 is a no-op.
int brick(int size) { return std::max(1, size); }

}  // namespace

Skew findSkew(const Bitmap& page, double range, int sweepReduction, int searchReduction) {
    const Pix p = toPix(page);
    l_float32 angle = 0, confidence = 0, score = 0;
    // The pivot form: the plain one drops the sweep's centre.
    const l_ok failed = pixFindSkewSweepAndSearchScorePivot(
        p.get(), &angle, &confidence, &score, sweepReduction, searchReduction, 0.0f, l_float32(range), 1.0f, 0.01f,
        L_SHEAR_ABOUT_CORNER);
    if (failed) return {};
    return {true, double(angle), double(confidence)};
}

std::vector<double> skewScores(const Bitmap& page, int reduction, const std::vector<double>& degrees) {
    const Pix p = toPix(page);
    const int level = reduction >= 8 ? 3 : reduction >= 4 ? 2 : reduction >= 2 ? 1 : 0;
    const Pix reduced = level == 0 ? Pix(pixClone(p.get()))
                                   : made(pixReduceRankBinaryCascade(p.get(), 1, level > 1 ? 1 : 0, level > 2 ? 1 : 0, 0),
                                          "measure the skew");
    const Pix sheared = made(pixCreateTemplate(reduced.get()), "measure the skew");
    std::vector<double> scores;
    for (const double d : degrees) {
        pixVShearCorner(sheared.get(), reduced.get(), l_float32(d * kRadiansPerDegree), L_BRING_IN_WHITE);
        l_float32 sum = 0;
        pixFindDifferentialSquareSum(sheared.get(), &sum);
        scores.push_back(double(sum));
    }
    return scores;
}

Bitmap rotateByShear(const Bitmap& page, double degrees, int cx, int cy) {
    const Pix p = toPix(page);
    const Pix r = made(pixRotateShear(p.get(), cx, cy, l_float32(degrees * kRadiansPerDegree), L_BRING_IN_WHITE),
                       "turn the page");
    return toBitmap(r.get());
}

Bitmap reduceSolid4(const Bitmap& page) {
    const Pix p = toPix(page);
    return toBitmap(made(pixReduceRankBinaryCascade(p.get(), 4, 4, 0, 0), "find solid ink").get());
}

Bitmap expand4(const Bitmap& page, int width, int height) {
    const Pix p = toPix(page);
    const Pix big = made(pixExpandBinaryPower2(p.get(), 4), "enlarge the solid ink");
    Bitmap out(width, height);
    const Bitmap b = toBitmap(big.get());
    out.blit(0, 0, b, 0, 0, std::min(width, b.width()), std::min(height, b.height()));
    return out;
}

Bitmap open(const Bitmap& page, int size) {
    const Pix p = toPix(page);
    return toBitmap(made(pixOpenBrick(nullptr, p.get(), brick(size), brick(size)), "open the ink").get());
}

Bitmap dilate(const Bitmap& page, int size) {
    const Pix p = toPix(page);
    return toBitmap(made(pixDilateBrick(nullptr, p.get(), brick(size), brick(size)), "grow the ink").get());
}

Bitmap fillFrom(const Bitmap& seed, const Bitmap& mask) {
    const Pix s = toPix(seed);
    const Pix m = toPix(mask);
    return toBitmap(made(pixSeedfillBinary(nullptr, s.get(), m.get(), 8), "follow the ink").get());
}

std::vector<Rect> componentBoxes(const Bitmap& page) {
    const Pix p = toPix(page);
    const std::unique_ptr<BOXA, BoxaFree> boxes(pixConnCompBB(p.get(), 8));
    if (!boxes) throw CleanupError("Not enough memory to find the page's specks");
    const int n = boxaGetCount(boxes.get());
    std::vector<Rect> out;
    out.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        l_int32 x = 0, y = 0, w = 0, h = 0;
        boxaGetBoxGeometry(boxes.get(), i, &x, &y, &w, &h);
        out.push_back({x, y, x + w, y + h});
    }
    return out;
}

Bitmap withoutComponents(const Bitmap& page, const std::function<bool(const Component&)>& drop, int& dropped) {
    dropped = 0;
    const Pix p = toPix(page);
    PIXA* raw = nullptr;
    const std::unique_ptr<BOXA, BoxaFree> boxes(pixConnComp(p.get(), &raw, 8));
    const std::unique_ptr<PIXA, PixaFree> parts(raw);
    if (!boxes || !parts) throw CleanupError("Not enough memory to sort the page's ink");
    const int n = pixaGetCount(parts.get());
    for (int i = 0; i < n; ++i) {
        l_int32 x = 0, y = 0, w = 0, h = 0;
        pixaGetBoxGeometry(parts.get(), i, &x, &y, &w, &h);
        PIX* part = pixaGetPix(parts.get(), i, L_CLONE);
        l_int32 count = 0;
        pixCountPixels(part, &count, nullptr);
        if (drop(Component{{x, y, x + w, y + h}, count})) {
            pixRasterop(p.get(), x, y, w, h, PIX_DST & PIX_NOT(PIX_SRC), part, 0, 0);
            ++dropped;
        }
        pixDestroy(&part);
    }
    return toBitmap(p.get());
}

Bitmap sauvola(const std::uint8_t* pixels, int width, int height, std::ptrdiff_t stride, int halfWindow,
               double factor) {
    quiet();
    const Pix grey = made(pixCreateNoInit(width, height, 8), "hand the grey page to Leptonica");
    l_uint32* data = pixGetData(grey.get());
    const int wpl = pixGetWpl(grey.get());
    // Leptonica keeps the first pixel of four in a word's high byte.
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = pixels + y * stride;
        l_uint32* dst = data + std::size_t(y) * std::size_t(wpl);
        const int whole = width / 4;
        for (int k = 0; k < whole; ++k) {
            std::uint32_t v;
            std::memcpy(&v, src + 4 * k, 4);
            dst[k] = __builtin_bswap32(v);
        }
        if (whole < wpl) {
            std::uint8_t last[4] = {255, 255, 255, 255};
            std::memcpy(last, src + 4 * whole, std::size_t(width - 4 * whole));
            std::uint32_t v;
            std::memcpy(&v, last, 4);
            dst[whole] = __builtin_bswap32(v);
        }
    }
    // Tiles of about 512 pixels a side, each at least the window's reach.
    const int reach = halfWindow + 2;
    const int nx = std::clamp(width / 512, 1, std::max(1, width / reach));
    const int ny = std::clamp(height / 512, 1, std::max(1, height / reach));
    PIX* out = nullptr;
    if (pixSauvolaBinarizeTiled(grey.get(), halfWindow, l_float32(factor), nx, ny, nullptr, &out) != 0 || !out) {
        pixDestroy(&out);
        throw CleanupError("Not enough memory for the local threshold");
    }
    const Pix owned(out);
    return toBitmap(owned.get());
}

}  // namespace quillet::cleanup::leptonica
