#include "ui/printer_job.h"

#include <cups/cups.h>

#include <QDir>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <cmath>
#include <exception>
#include <string_view>

#include "base/scope_guard.h"
#include "output/pdf_document.h"
#include "ui/bitmap_image.h"

namespace quillet::ui {

namespace {

// The options that the print dialog's advanced page stores in Qt's CUPS
// engine, as name / value pairs (the engine's own key for them).
constexpr auto kCupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// A queue's name as CUPS knows it, and its instance (Qt's printer names
// are "queue" or "queue/instance").
struct Queue {
    std::string name, instance;
};

Queue queueOf(const QPrinter& p) {
    const std::string full = p.printerName().toStdString();
    const std::size_t slash = full.find('/');
    if (slash == std::string::npos) return {full, {}};
    return {full.substr(0, slash), full.substr(slash + 1)};
}

// Why the queue cannot take a job now; empty when it can.
std::string refusalOf(const Queue& q) {
    cups_dest_t* dest =
        cupsGetNamedDest(CUPS_HTTP_DEFAULT, q.name.c_str(), q.instance.empty() ? nullptr : q.instance.c_str());
    if (dest == nullptr) return "The printer '" + q.name + "' cannot be reached (" + cupsLastErrorString() + ")";
    const char* accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    std::string why;
    if (accepting != nullptr && std::string_view(accepting) == "false")
        why = "The printer '" + q.name + "' is not accepting jobs";
    cupsFreeDests(1, dest);
    return why;
}

// The job options Qt's CUPS engine sends with a job of this printer.
class JobOptions {
public:
    explicit JobOptions(QPrinter& p) {
        add("media", p.pageLayout().pageSize().key().toStdString());
        if (p.copyCount() > 1) {
            add("copies", std::to_string(p.copyCount()));
            if (p.collateCopies()) add("Collate", "True");
        }
        const bool portrait = p.pageLayout().orientation() == QPageLayout::Portrait;
        switch (p.duplex()) {
        case QPrinter::DuplexNone: add("sides", "one-sided"); break;
        case QPrinter::DuplexAuto: add("sides", portrait ? "two-sided-long-edge" : "two-sided-short-edge"); break;
        case QPrinter::DuplexLongSide: add("sides", "two-sided-long-edge"); break;
        case QPrinter::DuplexShortSide: add("sides", "two-sided-short-edge"); break;
        }
        if (!portrait) add("landscape", "");
        const QStringList stored = p.printEngine()->property(kCupsOptionsKey).toStringList();
        for (qsizetype i = 0; i + 1 < stored.size(); i += 2) add(stored[i].toStdString(), stored[i + 1].toStdString());
    }
    ~JobOptions() { cupsFreeOptions(count_, options_); }
    JobOptions(const JobOptions&) = delete;
    JobOptions& operator=(const JobOptions&) = delete;

    int count() const { return count_; }
    cups_option_t* options() const { return options_; }

private:
    void add(const std::string& name, const std::string& value) {
        count_ = cupsAddOption(name.c_str(), value.c_str(), count_, &options_);
    }
    int count_ = 0;
    cups_option_t* options_ = nullptr;
};

// Draws the page from the top-left of the printable area over `onPaper`
// device pixels, clipped to the printable area; a colour page is neither
// smoothed nor recompressed.
void drawPage(QPainter& painter, const QImage& image, imaging::Size onPaper, const QPrinter& p) {
    const QRect printable = p.pageLayout().paintRectPixels(p.resolution());
    painter.setClipRect(QRect(0, 0, printable.width(), printable.height()));
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    if (onPaper.width == image.width() && onPaper.height == image.height())
        painter.drawImage(QPoint(0, 0), image);
    else
        painter.drawImage(QRectF(0, 0, onPaper.width, onPaper.height), image);
}

}  // namespace

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

bool PrinterJobs::printPage(const imaging::Bitmap& page, imaging::Size onPaper) {
    lastJobId_ = 0;
    QPrinter* p = printer();
    if (!p) return false;
    if (page.isEmpty()) {
        lastError_ = "Empty page";
        return false;
    }
    // A print to a file that the user chose in Printer Setup has no queue.
    const bool queued = p->outputFormat() == QPrinter::NativeFormat && p->outputFileName().isEmpty();
    if (queued) {
        lastError_ = refusalOf(queueOf(*p));
        if (!lastError_.empty()) return false;
    }
    p->setFullPage(false);
    try {
        const QImage image = toPrintImage(page);
        if (image.isNull()) {
            lastError_ = "Not enough memory for the page image";
            return false;
        }
        if (!queued) {
            QPainter painter(p);
            drawPage(painter, image, onPaper, *p);
            return painter.end();
        }
        return spool(image, onPaper);
    } catch (const std::exception& e) {
        lastError_ = std::string("The page could not be printed (") + e.what() + ")";
        return false;
    }
}

bool PrinterJobs::spool(const QImage& image, imaging::Size onPaper) {
    QPrinter& p = *printer_;
    QTemporaryFile job(QDir::tempPath() + QStringLiteral("/quillet-job-XXXXXX"));
    if (!job.open()) {
        lastError_ = "The print job could not be started (" + job.errorString().toStdString() + ")";
        return false;
    }
    const std::string jobFile = job.fileName().toStdString();
    {
        // The engine writes the job into our file instead of spooling it.
        p.setOutputFileName(job.fileName());
        const base::ScopeExit backToTheQueue([&p] { p.setOutputFileName(QString()); });
        QPainter painter;
        if (!painter.begin(&p)) {
            lastError_ = "The print job could not be started";
            return false;
        }
        drawPage(painter, image, onPaper, p);
        if (!painter.end() || p.printerState() == QPrinter::Error) {
            lastError_ = "The print job could not be finished";
            return false;
        }
    }
    if (!output::isWholePdf(jobFile)) {
        lastError_ = "The print job could not be written in " + QDir::tempPath().toStdString();
        return false;
    }
    const Queue queue = queueOf(p);
    const JobOptions options(p);
    lastJobId_ = cupsPrintFile(queue.name.c_str(), jobFile.c_str(), "", options.count(), options.options());
    if (lastJobId_ <= 0) {
        lastJobId_ = 0;
        lastError_ = "The printer '" + queue.name + "' refused the job (" + cupsLastErrorString() + ")";
        return false;
    }
    return true;
}

}  // namespace quillet::ui
