#include "output/pdf_document.h"

#include <unistd.h>

#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quillet::output {

struct PdfDocument::Writer {
    QFile file;
    QPdfWriter pdf{&file};
    QPainter painter;
};

namespace {

QPageLayout pageLayout(int widthMm, int heightMm) {
    return QPageLayout(QPageSize(QSizeF(widthMm, heightMm), QPageSize::Millimeter), QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

}  // namespace

PdfDocument::PdfDocument(std::string path)
    : path_(std::move(path)), temp_(path_ + ".tmp-" + std::to_string(::getpid())) {}

PdfDocument::~PdfDocument() {
    if (!writer_) return;
    if (writer_->painter.isActive()) writer_->painter.end();
    writer_.reset();
    std::remove(temp_.c_str());
}

void PdfDocument::addPage(const imaging::Bitmap& page, int widthMm, int heightMm, int pixelsPerInch) {
    if (!page.monochrome() || page.isEmpty()) throw PdfError(path_ + ": only monochrome pages can be written");
    const QImage image = imaging::toBlackFirstMono(page);
    if (image.isNull()) throw PdfError(path_ + ": not enough memory for the page image");
    if (!writer_) {
        writer_ = std::make_unique<Writer>();
        writer_->file.setFileName(QString::fromStdString(temp_));
        if (!writer_->file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw PdfError(path_ + ": cannot be created (" + writer_->file.errorString().toStdString() + ")");
        writer_->pdf.setCreator(QStringLiteral("Quillet"));
        writer_->pdf.setResolution(pixelsPerInch > 0 ? pixelsPerInch : 300);
        writer_->pdf.setPageLayout(pageLayout(widthMm, heightMm));
        if (!writer_->painter.begin(&writer_->pdf)) throw PdfError(path_ + ": cannot be written");
    } else {
        writer_->pdf.setPageLayout(pageLayout(widthMm, heightMm));
        if (!writer_->pdf.newPage()) throw PdfError(path_ + ": cannot be written");
    }
    // The whole page, exactly as the PDF's page box holds it.
    const QRectF box = writer_->pdf.pageLayout().fullRectPoints();
    const double toDevice = writer_->pdf.resolution() / 72.0;
    writer_->painter.setRenderHint(QPainter::LosslessImageRendering, true);
    writer_->painter.drawImage(QRectF(0, 0, box.width() * toDevice, box.height() * toDevice), image);
    ++pages_;
}

void PdfDocument::finish() {
    if (!writer_) throw PdfError(path_ + ": there are no pages to write");
    writer_->painter.end();
    const bool failed = writer_->file.error() != QFileDevice::NoError;
    const std::string why = writer_->file.errorString().toStdString();
    writer_->file.close();
    if (failed || writer_->file.error() != QFileDevice::NoError) {
        throw PdfError(path_ + ": cannot be written (" + (failed ? why : writer_->file.errorString().toStdString()) +
                       ")");
    }
    if (std::rename(temp_.c_str(), path_.c_str()) != 0)
        throw PdfError(path_ + ": cannot be given its name (" + std::string(std::strerror(errno)) + ")");
    writer_.reset();
}

}  // namespace quillet::output
