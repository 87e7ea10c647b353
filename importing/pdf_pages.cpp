#include "importing/pdf_pages.h"

#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-global.h>
#include <poppler/cpp/poppler-page-renderer.h>
#include <poppler/cpp/poppler-page.h>

#include <mutex>

#include "imaging/bitmap_error.h"
#include "importing/import_error.h"

namespace quillet::importing {

namespace {

// Poppler reports through one global function; each thread collects the
// first message of the call it is making, to give a reason with a failure.
thread_local std::string* t_firstMessage = nullptr;

void popplerMessage(const std::string& message, void*) {
    if (t_firstMessage != nullptr && t_firstMessage->empty()) *t_firstMessage = message;
}

// Collects poppler's first message while it lives.
class PopplerMessages {
public:
    PopplerMessages() {
        static std::once_flag installed;
        std::call_once(installed, [] { poppler::set_debug_error_function(popplerMessage, nullptr); });
        t_firstMessage = &first_;
    }
    ~PopplerMessages() { t_firstMessage = nullptr; }
    PopplerMessages(const PopplerMessages&) = delete;
    PopplerMessages& operator=(const PopplerMessages&) = delete;

    // " (message)" or nothing.
    std::string reason() const { return first_.empty() ? std::string() : " (" + first_ + ")"; }

private:
    std::string first_;
};

// The largest grey raster rendered, in pixels (one byte each).
constexpr std::int64_t kMaxGreyPixels = std::int64_t(1) << 30;

}  // namespace

PdfPages::PdfPages(const std::string& path, const PageSettings& settings) : path_(path), settings_(settings) {
    PopplerMessages messages;
    document_.reset(poppler::document::load_from_file(path));
    if (!document_) throw ImportError(path, "the PDF is damaged and cannot be read" + messages.reason());
    if (document_->is_locked()) throw ImportError(path, "the PDF is encrypted and needs a password");
    if (document_->pages() <= 0) throw ImportError(path, "the PDF has no pages");
}

PdfPages::~PdfPages() = default;

int PdfPages::pageCount() const { return document_->pages(); }

imaging::Bitmap PdfPages::page(int index) {
    PopplerMessages messages;
    const std::unique_ptr<poppler::page> page(document_->create_page(index));
    if (!page) throw ImportError(path_, pageLabel(index) + " cannot be read" + messages.reason());
    // Poppler aborts when it cannot allocate a page: refuse pages whose grey
    // raster would pass a gigabyte first.
    const poppler::rectf box = page->page_rect();
    const double pixels = box.width() / 72.0 * settings_.dpi * (box.height() / 72.0 * settings_.dpi);
    if (!(pixels <= double(kMaxGreyPixels)))
        throw ImportError(path_, pageLabel(index) + " is too large to render at " + std::to_string(settings_.dpi) +
                                     " pixels per inch");
    poppler::page_renderer renderer;
    renderer.set_image_format(poppler::image::format_gray8);
    const double dpi = settings_.dpi;
    const poppler::image grey = renderer.render_page(page.get(), dpi, dpi);
    if (!grey.is_valid() || grey.width() <= 0 || grey.height() <= 0)
        throw ImportError(path_, pageLabel(index) + " cannot be rendered at " + std::to_string(settings_.dpi) +
                                     " pixels per inch" + messages.reason());
    try {
        imaging::Bitmap bitmap = toOneBit(GreyImage{reinterpret_cast<const std::uint8_t*>(grey.const_data()),
                                                    grey.width(), grey.height(), grey.bytes_per_row()},
                                          settings_.threshold);
        bitmap.xPixelsPerMetre = bitmap.yPixelsPerMetre = pixelsPerMetre(dpi);
        return bitmap;
    } catch (const imaging::BitmapError& e) {
        throw ImportError(path_, pageLabel(index) + ": " + e.what());
    }
}

}  // namespace quillet::importing
