#include "importing/pdf_pages.h"

#include <ErrorCodes.h>
#include <GlobalParams.h>
#include <PDFDoc.h>
#include <Page.h>
#include <SplashOutputDev.h>
#include <goo/GooString.h>
#include <splash/SplashBitmap.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "imaging/bit_rows.h"
#include "imaging/bitmap_error.h"
#include "imaging/word_bytes.h"
#include "importing/import_error.h"
#include "importing/local_threshold.h"
#include "importing/pdf_native_page.h"

namespace quillet::importing {

namespace {

// Poppler reports through one global function; each thread collects the
// first message of the call it is making, to give a reason with a failure.
thread_local std::string* t_firstMessage = nullptr;

void popplerMessage(ErrorCategory, Goffset, const char* message) {
    if (t_firstMessage != nullptr && t_firstMessage->empty() && message != nullptr) *t_firstMessage = message;
}

// Poppler's settings, made once for the process.
void initPoppler() { static GlobalParamsIniter params(popplerMessage); }

// Collects poppler's first message while it lives.
class PopplerMessages {
public:
    PopplerMessages() { t_firstMessage = &first_; }
    ~PopplerMessages() { t_firstMessage = nullptr; }
    PopplerMessages(const PopplerMessages&) = delete;
    PopplerMessages& operator=(const PopplerMessages&) = delete;

    // " (message)" or nothing.
    std::string reason() const { return first_.empty() ? std::string() : " (" + first_ + ")"; }

private:
    std::string first_;
};

// Grey bytes rendered at once: a page larger than this is drawn in bands.
constexpr std::int64_t kBandBytes = std::int64_t(64) << 20;
// Pixels of the small rendering whose grey levels choose the threshold of a
// page drawn in bands.
constexpr double kPreviewPixels = 16e6;

// Splash's grey rendering, leaving the paper to us: its own pass that lays
// every pixel over the paper costs a fifth of a text page's rendering time;
// ours runs where the page was not fully painted only.
class GreyOutput : public SplashOutputDev {
public:
    explicit GreyOutput(SplashColorPtr paper) : SplashOutputDev(splashModeMono8, 4, false, paper) {}
    void endPage() override {}
};

// Lays the pixels of a rendering over white paper, by their alpha. Pixels
// left unpainted (alpha 0) hold the paper already, opaque ones their ink:
// only rows with pixels in between need the work.
void onPaper(SplashBitmap& b) {
    const int w = b.getWidth(), h = b.getHeight();
    for (int y = 0; y < h; ++y) {
        std::uint8_t* c = b.getDataPtr() + std::ptrdiff_t(y) * b.getRowSize();
        const std::uint8_t* a = b.getAlphaPtr() + std::ptrdiff_t(y) * b.getAlphaRowSize();
        // A byte is 0 or 255 exactly when its neighbouring bits all agree.
        std::uint64_t mixed = 0;
        int x = 0;
        for (; x + 8 <= w; x += 8) {
            std::uint64_t v;
            std::memcpy(&v, a + x, 8);
            mixed |= (v ^ (v << 1)) & 0xfefefefefefefefeu;
        }
        for (; x < w; ++x) mixed |= std::uint8_t(a[x] + 1) > 1;
        if (mixed == 0) continue;
        for (int x = 0; x < w; ++x)
            c[x] = std::uint8_t((unsigned(c[x]) * a[x] + 255u * (255u - a[x]) + 127u) / 255u);
    }
}

// True when the resources hold an image, in forms and patterns too. The
// walk is bounded (hostile files nest or loop their resources): past the
// bound the answer is yes, which only costs time.
bool holdsImages(Dict* resources, int& budget, int depth = 0) {
    if (resources == nullptr) return false;
    if (depth > 8) return true;
    for (const char* group : {"XObject", "Pattern"}) {
        const Object objects = resources->lookup(group);
        if (!objects.isDict()) continue;
        Dict* d = objects.getDict();
        for (int i = 0; i < d->getLength(); ++i) {
            if (--budget < 0) return true;
            const Object o = d->getVal(i);
            if (!o.isStream()) continue;
            Dict* sd = o.getStream()->getDict();
            if (sd->lookup("Subtype").isName("Image")) return true;
            const Object inner = sd->lookup("Resources");
            if (inner.isDict() && holdsImages(inner.getDict(), budget, depth + 1)) return true;
        }
    }
    return false;
}

// Ready to draw the document's pages without smoothing; one device serves
// every page, so that the fonts it loads and the glyphs it draws are kept
// from page to page.
void startDrawing(SplashOutputDev& out, PDFDoc& doc) {
    out.setFontAntialias(false);
    out.setVectorAntialias(false);
    out.startDoc(&doc);
}

bool holdsImages(Dict* resources) {
    int budget = 1000;
    return holdsImages(resources, budget);
}

// A page drawn 1-bit by Splash itself: for pages of text and lines, where
// there is no grey to choose a threshold for, it costs half the grey road.
imaging::Bitmap oneBitRendering(PDFDoc& doc, SplashOutputDev& out, int page, double dpi, int w, int h) {
    imaging::Bitmap bitmap(w, h);
    const int words = bitmap.wordsPerRow();
    const std::uint64_t tail = imaging::leadingMask(w - 64 * (words - 1));
    std::vector<std::uint8_t> row(std::size_t(words) * 8, 0xff);
    const int bandRows = int(std::clamp<std::int64_t>(kBandBytes * 8 / w, 1, h));
    for (int y0 = 0; y0 < h; y0 += bandRows) {
        doc.displayPageSlice(&out, page, dpi, dpi, 0, false, true, false, 0, y0, w, std::min(bandRows, h - y0));
        SplashBitmap* b = out.getBitmap();
        if (b == nullptr || b->getDataPtr() == nullptr) return {};
        const int rows = std::min(std::min(bandRows, h - y0), b->getHeight());
        const std::size_t rowBytes = std::size_t(std::min(b->getRowSize(), words * 8));
        for (int y = 0; y < rows; ++y) {
            std::memcpy(row.data(), b->getDataPtr() + std::ptrdiff_t(y) * b->getRowSize(), rowBytes);
            std::uint64_t* to = bitmap.row(y0 + y);
            imaging::wordsFromBigEndian(row.data(), std::size_t(words), ~std::uint64_t(0), to);  // 1 is paper
            to[words - 1] &= tail;
        }
    }
    return bitmap;
}

// A page's or a band's grey rendering.
class GreyRenderer {
public:
    explicit GreyRenderer(PDFDoc& doc) : doc_(doc), out_(white_) { startDrawing(out_, doc_); }
    // Rows [y, y + h) of the page at dpi, w pixels wide.
    GreyImage render(int page, double dpi, int y, int w, int h) {
        doc_.displayPageSlice(&out_, page, dpi, dpi, 0, false, true, false, 0, y, w, h);
        SplashBitmap* b = out_.getBitmap();
        if (b == nullptr || b->getDataPtr() == nullptr) return {};
        if (b->getAlphaPtr() != nullptr) onPaper(*b);
        return GreyImage{b->getDataPtr(), std::min(b->getWidth(), w), std::min(b->getHeight(), h), b->getRowSize()};
    }

private:
    PDFDoc& doc_;
    SplashColor white_{0xff, 0xff, 0xff, 0xff};
    GreyOutput out_;
};

}  // namespace

// The drawing devices, made when first needed and kept for later pages.
struct PdfPages::Devices {
    explicit Devices(PDFDoc& doc) : mono(splashModeMono1, 8, false, white), grey(doc) { startDrawing(mono, doc); }
    SplashColor white{0xff, 0xff, 0xff, 0xff};
    SplashOutputDev mono;  // 1-bit, as a printer draws
    GreyRenderer grey;
};

PdfPages::PdfPages(const std::string& path, const PageSettings& settings)
    : PageSource(path), path_(path), settings_(settings) {
    initPoppler();
    PopplerMessages messages;
    document_ = std::make_unique<PDFDoc>(std::make_unique<GooString>(path));
    if (!document_->isOk()) {
        if (document_->getErrorCode() == errEncrypted)
            throw ImportError(path, "the PDF is encrypted and needs a password");
        throw ImportError(path, "the PDF is damaged and cannot be read" + messages.reason());
    }
    if (document_->getNumPages() <= 0) throw ImportError(path, "the PDF has no pages");
}

PdfPages::~PdfPages() = default;

int PdfPages::pageCount() const { return document_->getNumPages(); }

imaging::Bitmap PdfPages::page(int index) {
    PopplerMessages messages;
    if (document_->getPage(index + 1) == nullptr)
        throw ImportError(path_, pageLabel(index) + " cannot be read" + messages.reason());
    try {
        if (!settings_.render)
            if (std::optional<imaging::Bitmap> own = nativePage(*document_, index + 1, settings_.threshold))
                return std::move(*own);
        return rendered(index);
    } catch (const imaging::BitmapError& e) {
        throw ImportError(path_, pageLabel(index) + ": " + e.what());
    }
}

PdfPages::Devices& PdfPages::devices() {
    if (!devices_) devices_ = std::make_unique<Devices>(*document_);
    return *devices_;
}

imaging::Bitmap PdfPages::rendered(int index) {
    Page* page = document_->getPage(index + 1);
    const bool turned = page->getRotate() % 180 != 0;
    const double dpi = settings_.dpi;
    const double wide = (turned ? page->getCropHeight() : page->getCropWidth()) * dpi / 72;
    const double high = (turned ? page->getCropWidth() : page->getCropHeight()) * dpi / 72;
    const std::string size = std::to_string(std::lround(wide)) + " x " + std::to_string(std::lround(high));
    if (!(wide >= 0.5 && high >= 0.5))
        throw ImportError(path_, pageLabel(index) + " has no area to render");
    if (!(wide < imaging::Bitmap::kMaxSide && high < imaging::Bitmap::kMaxSide &&
          wide * high <= double(imaging::Bitmap::kMaxPixels)))
        throw ImportError(path_, pageLabel(index) + " is too large: " + size + " pixels at " +
                                     std::to_string(settings_.dpi) + " pixels per inch (at most " +
                                     std::to_string(imaging::Bitmap::kMaxPixels / 1000000) +
                                     " million pixels); try a lower --dpi");
    const int w = int(std::lround(wide)), h = int(std::lround(high));
    if (!holdsImages(page->getResourceDict())) {
        imaging::Bitmap out = oneBitRendering(*document_, devices().mono, index + 1, dpi, w, h);
        if (out.isEmpty())
            throw ImportError(path_, pageLabel(index) + " cannot be rendered at " + std::to_string(settings_.dpi) +
                                         " pixels per inch");
        out.xPixelsPerMetre = out.yPixelsPerMetre = pixelsPerMetre(dpi);
        return out;
    }
    GreyRenderer& renderer = devices().grey;
    const int bandRows = int(std::clamp<std::int64_t>(kBandBytes / w, 1, h));
    const auto rowsOf = [&](int y, int rows) {
        const GreyImage band = renderer.render(index + 1, dpi, y, w, rows);
        if (band.pixels == nullptr)
            throw ImportError(path_, pageLabel(index) + " cannot be rendered at " + std::to_string(settings_.dpi) +
                                         " pixels per inch");
        return band;
    };
    if (settings_.threshold.local) {
        imaging::Bitmap out = localThreshold(w, h, dpi, bandRows, rowsOf);
        out.xPixelsPerMetre = out.yPixelsPerMetre = pixelsPerMetre(dpi);
        return out;
    }
    int level = std::clamp(settings_.threshold.level, 0, 255);
    if (bandRows < h && settings_.threshold.automatic) {
        // Otsu's level of the whole page, from a small rendering of it.
        const double scale = std::min(1.0, std::sqrt(kPreviewPixels / (double(w) * h)));
        const int pw = std::max(1, int(w * scale)), ph = std::max(1, int(h * scale));
        level = levelFor(renderer.render(index + 1, dpi * scale, 0, pw, ph), settings_.threshold);
    }
    imaging::Bitmap out(w, h);
    for (int y = 0; y < h; y += bandRows) {
        const GreyImage band = rowsOf(y, std::min(bandRows, h - y));
        if (bandRows >= h) level = levelFor(band, settings_.threshold);
        binarizeRows(GreyImage{band.pixels, band.width, band.height, band.stride}, level, out, y);
    }
    out.xPixelsPerMetre = out.yPixelsPerMetre = pixelsPerMetre(dpi);
    return out;
}

}  // namespace quillet::importing
