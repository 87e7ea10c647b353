#pragma once
// A scripted stand-in for the desktop: records every call and answers from
// queues that a test fills beforehand. Unscripted questions get a default
// answer (the first button; Cancel for dialogs) and are recorded all the same.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/platform_services.h"

namespace quillet::testing {

class FakePlatform : public app::PlatformServices {
public:
    // ---- scripts
    std::deque<app::Button> buttonAnswers;
    std::deque<std::optional<std::string>> openFileAnswers;
    std::deque<std::vector<std::string>> openFilesAnswers;
    std::deque<std::optional<app::PageImportChoice>> pageImportAnswers;
    std::deque<std::optional<app::CleanUpChoice>> cleanUpAnswers;
    std::deque<app::DirectoryPickerResult> pickerAnswers;
    std::deque<std::optional<app::FontChoice>> fontAnswers;
    // The current printer; reset() for a machine without a printer.
    std::optional<app::PrinterGeometry> printer = app::PrinterGeometry{203, 289, 4794, 6826};
    bool printSucceeds = true;
    // Outcomes of the next print jobs, in order; printSucceeds after them.
    std::deque<bool> printAnswers;
    // Runs inside each print job before its outcome (to throw, say).
    std::function<void(const imaging::Bitmap& page)> onPrint;
    imaging::Size screen{1024, 768};
    bool openSucceeds = true;
    std::string tempDir = "/tmp";

    // ---- records
    std::vector<app::MessageBoxRequest> messages;
    std::vector<app::OpenFileRequest> openFileRequests;
    std::vector<app::OpenFileRequest> openFilesRequests;
    std::vector<app::PageImportChoice> pageImportRequests;
    std::vector<app::CleanUpChoice> cleanUpRequests;
    std::vector<std::string> pickerRequests;
    std::vector<app::FontChoice> fontRequests;
    std::vector<imaging::Size> printedPages;  // each job's size on paper
    std::vector<std::string> openedFiles;
    int beeps = 0;
    int printerSetups = 0;
    int paintRequests = 0;
    bool busy = false;
    int busyChanges = 0;
    // Every call in order, one short line each ("beep", "busy on", "box Warning: ...").
    std::vector<std::string> log;

    // Texts of the message boxes shown, in order.
    std::vector<std::string> messageTexts() const;

    app::Button messageBox(const app::MessageBoxRequest& request) override;
    std::optional<std::string> openFile(const app::OpenFileRequest& request) override;
    std::vector<std::string> openFiles(const app::OpenFileRequest& request) override;
    std::optional<app::PageImportChoice> choosePageImport(const app::PageImportChoice& initial) override;
    std::optional<app::CleanUpChoice> chooseCleanUp(const app::CleanUpChoice& initial) override;
    app::DirectoryPickerResult pickDirectory(const std::string& directory) override;
    std::optional<app::FontChoice> chooseFont(const app::FontChoice& initial) override;
    std::optional<app::PrinterGeometry> printerGeometry() override;
    void printerSetup() override;
    bool printPage(const imaging::Bitmap& page, imaging::Size onPaper) override;
    void beep() override;
    void setBusyCursor(bool on) override;
    void processPaintEvents() override;
    imaging::Size screenSize() override;
    bool openWithAssociatedProgram(const std::string& path) override;
    std::string privateTempDirectory() override;
};

}  // namespace quillet::testing
