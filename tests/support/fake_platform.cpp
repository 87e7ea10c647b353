#include "support/fake_platform.h"

namespace quillet::testing {

std::vector<std::string> FakePlatform::messageTexts() const {
    std::vector<std::string> out;
    for (const auto& m : messages) out.push_back(m.text);
    return out;
}

app::Button FakePlatform::messageBox(const app::MessageBoxRequest& request) {
    messages.push_back(request);
    log.push_back("box " + request.caption + ": " + request.text);
    if (!buttonAnswers.empty()) {
        app::Button b = buttonAnswers.front();
        buttonAnswers.pop_front();
        return b;
    }
    return request.buttons.empty() ? app::Button::Ok : request.buttons.front();
}

std::optional<std::string> FakePlatform::openFile(const app::OpenFileRequest& request) {
    openFileRequests.push_back(request);
    log.push_back("open-file " + request.directory);
    if (openFileAnswers.empty()) return std::nullopt;
    auto a = openFileAnswers.front();
    openFileAnswers.pop_front();
    return a;
}

std::vector<std::string> FakePlatform::openFiles(const app::OpenFileRequest& request) {
    openFilesRequests.push_back(request);
    log.push_back("open-files " + request.directory);
    if (openFilesAnswers.empty()) return {};
    auto a = openFilesAnswers.front();
    openFilesAnswers.pop_front();
    return a;
}

std::optional<app::PageImportChoice> FakePlatform::choosePageImport(const app::PageImportChoice& initial) {
    pageImportRequests.push_back(initial);
    log.push_back("page-import " + std::to_string(initial.dpi));
    if (pageImportAnswers.empty()) return std::nullopt;
    auto a = pageImportAnswers.front();
    pageImportAnswers.pop_front();
    return a;
}

std::optional<app::CleanUpChoice> FakePlatform::chooseCleanUp(const app::CleanUpChoice& initial) {
    cleanUpRequests.push_back(initial);
    log.push_back("clean-up " + initial.destination);
    if (cleanUpAnswers.empty()) return std::nullopt;
    auto a = cleanUpAnswers.front();
    cleanUpAnswers.pop_front();
    return a;
}

app::DirectoryPickerResult FakePlatform::pickDirectory(const std::string& directory) {
    pickerRequests.push_back(directory);
    log.push_back("pick-directory " + directory);
    if (pickerAnswers.empty()) return {};
    auto a = pickerAnswers.front();
    pickerAnswers.pop_front();
    return a;
}

std::optional<app::FontChoice> FakePlatform::chooseFont(const app::FontChoice& initial) {
    fontRequests.push_back(initial);
    log.push_back("font " + initial.name);
    if (fontAnswers.empty()) return std::nullopt;
    auto a = fontAnswers.front();
    fontAnswers.pop_front();
    return a;
}

std::optional<app::PrinterGeometry> FakePlatform::printerGeometry() { return printer; }

void FakePlatform::printerSetup() {
    ++printerSetups;
    log.push_back("printer-setup");
}

bool FakePlatform::printPage(const imaging::Bitmap& page, imaging::Size onPaper) {
    printedPages.push_back(onPaper);
    log.push_back("print " + std::to_string(page.width()) + "x" + std::to_string(page.height()));
    if (onPrint) onPrint(page);
    if (printAnswers.empty()) return printSucceeds;
    const bool ok = printAnswers.front();
    printAnswers.pop_front();
    return ok;
}

void FakePlatform::beep() {
    ++beeps;
    log.push_back("beep");
}

void FakePlatform::setBusyCursor(bool on) {
    busy = on;
    ++busyChanges;
    log.push_back(on ? "busy on" : "busy off");
}

void FakePlatform::processPaintEvents() { ++paintRequests; }

imaging::Size FakePlatform::screenSize() { return screen; }

bool FakePlatform::openWithAssociatedProgram(const std::string& path) {
    openedFiles.push_back(path);
    log.push_back("open " + path);
    return openSucceeds;
}

std::string FakePlatform::privateTempDirectory() { return tempDir; }

}  // namespace quillet::testing
