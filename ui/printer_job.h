#pragma once
// Print jobs on a real printer through Qt PrintSupport (CUPS on Linux),
// without any window: shared by the desktop program and quillet-batch.
//
// A page is a bitmap already at device pixels. It reaches the print engine
// as a QImage::Format_Mono whose colour table is exactly black, then white:
// only such an image goes into the job as lossless 1-bit data; any other
// table makes Qt's PDF engine convert the page to JPEG-compressed RGB. A
// colour page is drawn with lossless image rendering.

#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "app/platform_services.h"
#include "imaging/bitmap.h"

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

    // One job of one page, `page` drawn 1:1 at the top-left of the printable
    // area. On any failure the job is aborted, so nothing of it is printed,
    // and false is returned.
    bool printPage(const imaging::Bitmap& page);

    // Why the printer could not be had or the last job failed.
    const std::string& lastError() const { return lastError_; }

private:
    std::string name_;
    std::unique_ptr<QPrinter> printer_;
    bool looked_ = false;
    std::string lastError_;
};

}  // namespace quillet::ui
