#include "importing/image_pages.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <algorithm>

#include "imaging/bitmap_error.h"
#include "importing/import_error.h"

namespace quillet::importing {

namespace {

const char* formatOf(PageFileKind kind) {
    switch (kind) {
        case PageFileKind::Tiff: return "tiff";
        case PageFileKind::Png: return "png";
        case PageFileKind::Jpeg: return "jpeg";
        case PageFileKind::Pdf: break;
    }
    return "";
}

// The pages of a TIFF by its chain of directories, counting a directory
// that lies past the end of a truncated file (its page then fails to read,
// instead of vanishing unnoticed).
int tiffDirectories(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return 1;
    const qint64 size = file.size();
    char order[2];
    if (file.read(order, 2) != 2) return 1;
    const bool little = order[0] == 'I';
    auto number = [&](qint64 at, int bytes) -> qint64 {
        unsigned char b[4] = {};
        if (!file.seek(at) || file.read(reinterpret_cast<char*>(b), bytes) != bytes) return -1;
        qint64 v = 0;
        for (int i = 0; i < bytes; ++i) v |= qint64(b[little ? i : bytes - 1 - i]) << (8 * i);
        return v;
    };
    int pages = 0;
    qint64 at = number(4, 4);
    for (qint64 seen = 0; at > 0 && seen < 100000; ++seen) {
        ++pages;
        const qint64 entries = at + 2 <= size ? number(at, 2) : -1;
        if (entries < 0 || at + 2 + 12 * entries + 4 > size) break;  // cut here
        at = number(at + 2 + 12 * entries, 4);
    }
    return std::max(1, pages);
}

// A page with transparency as it shows on white paper.
QImage onWhite(const QImage& image) {
    QImage paper(image.size(), QImage::Format_RGB32);
    paper.fill(Qt::white);
    QPainter painter(&paper);
    painter.drawImage(0, 0, image);
    return paper;
}

}  // namespace

ImagePages::ImagePages(const std::string& path, PageFileKind kind, const PageSettings& settings)
    : path_(path), settings_(settings),
      reader_(std::make_unique<QImageReader>(QString::fromStdString(path), formatOf(kind))) {
    reader_->setAutoTransform(true);  // photographed pages stand upright
    if (!reader_->canRead())
        throw ImportError(path, "the " + std::string(formatOf(kind)) + " file cannot be read (" +
                                    reader_->errorString().toStdString() + ")");
    if (kind == PageFileKind::Tiff) {
        readable_ = std::max(1, reader_->imageCount());
        count_ = std::max(readable_, tiffDirectories(path));
    }
}

ImagePages::~ImagePages() = default;

imaging::Bitmap ImagePages::page(int index) {
    if (index >= readable_) throw ImportError(path_, pageLabel(index) + " cannot be read (the file is cut short)");
    if (count_ > 1 && !reader_->jumpToImage(index))
        throw ImportError(path_, pageLabel(index) + " cannot be found in the file");
    QImage image;
    if (!reader_->read(&image) || image.isNull())
        throw ImportError(path_, pageLabel(index) + " cannot be read (" + reader_->errorString().toStdString() + ")");
    try {
        imaging::Bitmap bitmap;
        if (image.depth() == 1) {
            bitmap = imaging::Bitmap::fromQImage(image);  // kept pixel for pixel
        } else {
            if (image.hasAlphaChannel()) image = onWhite(image);
            const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
            if (grey.isNull()) throw imaging::BitmapError("not enough memory to convert the page to grey");
            bitmap = toOneBit(GreyImage{grey.constBits(), grey.width(), grey.height(), grey.bytesPerLine()},
                              settings_.threshold);
        }
        bitmap.xPixelsPerMetre = image.dotsPerMeterX();
        bitmap.yPixelsPerMetre = image.dotsPerMeterY();
        return bitmap;
    } catch (const imaging::BitmapError& e) {
        throw ImportError(path_, pageLabel(index) + ": " + e.what());
    }
}

}  // namespace quillet::importing
