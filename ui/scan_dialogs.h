#pragma once
// The scanner layer's two windows: Select Source (the SANE devices by name,
// vendor, model and type) and the scanner's own dialog (mode, resolution,
// source, Scan and Cancel, a progress bar while the page is read). The page
// is read in short steps from a timer, so the dialog repaints and takes
// Cancel while the scanner works.

#include "acquire/twain.h"

namespace quillet::ui {

class QtScannerDialogs : public acquire::ScannerDialogs {
public:
    std::optional<int> chooseSource(const std::vector<acquire::DeviceInfo>& devices, int current) override;
    void runScanDialog(acquire::ScanDialog& dialog) override;
};

}  // namespace quillet::ui
