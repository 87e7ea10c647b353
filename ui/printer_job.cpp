#include "ui/printer_job.h"

#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

#include "ui/bitmap_image.h"

namespace quillet::ui {

PrinterJobs::PrinterJobs(std::string printerName) : name_(std::move(printerName)) {}

PrinterJobs::~PrinterJobs() = default;

QPrinter* PrinterJobs::printer() {
    if (printer_ || looked_) return printer_.get();
    looked_ = true;
    QPrinterInfo info;
    if (!name_.empty()) {
        info = QPrinterInfo::printerInfo(QString::fromStdString(name_));
        if (info.isNull()) lastError_ = "No printer named '" + name_ + "'";
    } else if (!QPrinterInfo::availablePrinters().isEmpty()) {
        info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) info = QPrinterInfo::availablePrinters().front();
    } else {
        lastError_ = "No printer installed";
    }
    if (info.isNull()) return nullptr;
    printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    // The job carries no document title of its own.
    printer_->setDocName(QString());
    return printer_.get();
}

std::optional<app::PrinterGeometry> PrinterJobs::geometry() {
    QPrinter* p = printer();
    if (!p) return std::nullopt;
    const QRectF mm = p->pageLayout().paintRect(QPageLayout::Millimeter);
    const QRect px = p->pageLayout().paintRectPixels(p->resolution());
    app::PrinterGeometry g;
    g.widthMm = int(std::lround(mm.width()));
    g.heightMm = int(std::lround(mm.height()));
    g.widthPx = px.width();
    g.heightPx = px.height();
    if (g.widthMm <= 0 || g.heightMm <= 0 || g.widthPx <= 0 || g.heightPx <= 0) {
        lastError_ = "The printer reports no printable area";
        return std::nullopt;
    }
    return g;
}

bool PrinterJobs::printPage(const imaging::Bitmap& page) {
    QPrinter* p = printer();
    if (!p) return false;
    if (page.isEmpty()) {
        lastError_ = "Empty page";
        return false;
    }
    const QImage image = toPrintImage(page);
    if (image.isNull()) {
        lastError_ = "Not enough memory for the page image";
        return false;
    }
    p->setFullPage(false);
    QPainter painter;
    if (!painter.begin(p)) {
        lastError_ = "The print job could not be started";
        p->abort();
        return false;
    }
    // One image pixel per printer dot, from the top-left of the printable
    // area; a colour page must not be smoothed or recompressed either.
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    painter.drawImage(QPoint(0, 0), image);
    if (p->printerState() == QPrinter::Error) {
        lastError_ = "The printer failed while the page was drawn";
        p->abort();
        painter.end();
        return false;
    }
    if (!painter.end() || p->printerState() == QPrinter::Error) {
        lastError_ = "The print job could not be finished";
        return false;
    }
    return true;
}

}  // namespace quillet::ui
