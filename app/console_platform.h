#pragma once
// Platform services for running without a window (the batch front end):
// message boxes are written to standard error as "<caption>: <text>" and
// answered with their first button (Yes / OK); there is no printer (the
// printed size keeps 210 x 297 mm), no dialogs (each is cancelled), and the
// beep, the cursor and painting do nothing.

#include <string>

#include "app/platform_services.h"

namespace quillet::app {

class ConsolePlatform : public PlatformServices {
public:
    Button messageBox(const MessageBoxRequest& request) override;
    std::optional<std::string> openFile(const OpenFileRequest& request) override;
    std::vector<std::string> openFiles(const OpenFileRequest& request) override;
    std::optional<PageImportChoice> choosePageImport(const PageImportChoice& initial) override;
    std::optional<CleanUpChoice> chooseCleanUp(const CleanUpChoice& initial) override;
    DirectoryPickerResult pickDirectory(const std::string& directory) override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial) override;
    std::optional<PrinterGeometry> printerGeometry() override;
    void printerSetup() override;
    bool printPage(const imaging::Bitmap& page, imaging::Size onPaper) override;
    void beep() override;
    void setBusyCursor(bool busy) override;
    void processPaintEvents() override;
    imaging::Size screenSize() override;
    bool openWithAssociatedProgram(const std::string& path) override;
    // /tmp (or $TMPDIR)/quillet-<uid>, created with mode 0700.
    std::string privateTempDirectory() override;

    // Boxes shown so far of kind Warning or Error (the general error report).
    int problems() const { return problems_; }
    int messages() const { return messages_; }

private:
    int problems_ = 0;
    int messages_ = 0;
};

}  // namespace quillet::app
