#include "importing/image_pages.h"

#include <QImage>
#include <QImageReader>
#include <QPainter>

#include "imaging/bitmap_error.h"
#include "importing/import_error.h"

namespace quillet::importing {

namespace {

// The largest picture decoded, in bytes as Qt holds it (a colour page at
// four bytes a pixel): 11585 x 11585 colour pixels, or a 1-bit page of any
// size the bitmap can hold.
constexpr std::int64_t kMaxPictureBytes = std::int64_t(512) << 20;

// A page with transparency as it shows on white paper.
QImage onWhite(const QImage& image) {
    QImage paper(image.size(), QImage::Format_RGB32);
    paper.fill(Qt::white);
    QPainter painter(&paper);
    painter.drawImage(0, 0, image);
    return paper;
}

std::int64_t bytesOf(QSize size, QImage::Format format) {
    const int depth = format == QImage::Format_Mono || format == QImage::Format_MonoLSB ? 1
                      : format == QImage::Format_Grayscale8 || format == QImage::Format_Indexed8 ? 8
                                                                                                   : 32;
    return std::int64_t(size.width()) * size.height() * depth / 8;
}

}  // namespace

ImagePages::ImagePages(const std::string& path, PageFileKind kind, const PageSettings& settings)
    : PageSource(path), path_(path), format_(kind == PageFileKind::Png ? "png" : "jpeg"), settings_(settings) {
    QImageReader reader(QString::fromStdString(path), format_);
    if (!reader.canRead())
        throw ImportError(path, "the " + std::string(format_) + " file cannot be read (" +
                                    reader.errorString().toStdString() + ")");
}

imaging::Bitmap ImagePages::page(int index) {
    QImageReader reader(QString::fromStdString(path_), format_);
    reader.setAutoTransform(true);  // photographed pages stand upright
    const QSize size = reader.size();
    const std::int64_t bytes = bytesOf(size, reader.imageFormat());
    if (size.isValid() && bytes > kMaxPictureBytes)
        throw ImportError(path_, pageLabel(index) + " is too large: " + std::to_string(size.width()) + " x " +
                                     std::to_string(size.height()) + " pixels (at most " +
                                     std::to_string(kMaxPictureBytes >> 20) + " MB as the reader holds it)");
    // Qt's own limit assumes four bytes a pixel and stops at 128 MB; ours
    // above holds instead.
    QImageReader::setAllocationLimit(int(kMaxPictureBytes >> 20) * 4);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        throw ImportError(path_, pageLabel(index) + " cannot be read (" + reader.errorString().toStdString() + ")");
    try {
        imaging::Bitmap bitmap;
        if (image.depth() == 1) {
            bitmap = imaging::Bitmap::fromQImage(image);  // kept pixel for pixel
        } else {
            if (image.hasAlphaChannel()) image = onWhite(image);
            const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
            if (grey.isNull()) throw imaging::BitmapError("not enough memory to convert the page to grey");
            bitmap = toOneBit(GreyImage{grey.constBits(), grey.width(), grey.height(), grey.bytesPerLine()},
                              settings_.threshold, image.dotsPerMeterX() * 0.0254);
        }
        bitmap.xPixelsPerMetre = image.dotsPerMeterX();
        bitmap.yPixelsPerMetre = image.dotsPerMeterY();
        return bitmap;
    } catch (const imaging::BitmapError& e) {
        throw ImportError(path_, pageLabel(index) + ": " + e.what());
    }
}

}  // namespace quillet::importing
