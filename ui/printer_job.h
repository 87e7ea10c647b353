#pragma once
// Print jobs on a real printer through Qt PrintSupport and CUPS, without any
// window: shared by the desktop program and quillet-batch.
//
// A page reaches the print engine as a QImage::Format_Mono whose colour
// table is exactly black, then white: only such an image goes into the job
// as lossless 1-bit data; any other table makes Qt's PDF engine convert the
// page to JPEG-compressed RGB. A colour page is drawn with lossless image
// rendering, as 8-bit grey when it holds only greys.
//
// Qt's CUPS engine hands its job to the spooler when its painter ends and
// ignores the spooler's answer; it cannot take a job back either. So the
// engine writes the job into a file of ours, and the job goes to CUPS only
// once that file is whole, with the options the engine would have sent; the
// queue's state before and the spooler's answer after are checked with
// libcups.

#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "app/platform_services.h"
#include "imaging/bitmap.h"

class QImage;
class QPrinter;

namespace quillet::ui {

class PrinterJobs {
public:
    // The printer named `printerName`, or the default printer (the first
    // installed one when there is no default) for an empty name.
    explicit PrinterJobs(std::string printerName = {});
    ~PrinterJobs();
    PrinterJobs(const PrinterJobs&) = delete;
    PrinterJobs& operator=(const PrinterJobs&) = delete;

    // The printer in use, made on first use; null when there is no such
    // printer (then lastError() says why).
    QPrinter* printer();

    // The printable area in whole millimetres and in device pixels.
    std::optional<app::PrinterGeometry> geometry();

    // One job of one page, `page` drawn from the top-left of the printable
    // area over `onPaper` device pixels (1:1 when that is its own size),
    // clipped to the printable area. On any failure (a queue that refuses
    // jobs, no memory, a job file that could not be written, the spooler's
    // refusal) nothing of the job reaches the spooler and false is returned.
    bool printPage(const imaging::Bitmap& page, imaging::Size onPaper);

    // The spooler's id of the last job spooled; 0 when it failed.
    int lastJobId() const { return lastJobId_; }
    // Why the printer could not be had or the last job failed.
    const std::string& lastError() const { return lastError_; }

private:
    bool spool(const QImage& image, imaging::Size onPaper);

    std::string name_;
    std::unique_ptr<QPrinter> printer_;
    bool looked_ = false;
    int lastJobId_ = 0;
    std::string lastError_;
};

}  // namespace quillet::ui
