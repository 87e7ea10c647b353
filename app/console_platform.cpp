#include "app/console_platform.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace quillet::app {

Button ConsolePlatform::messageBox(const MessageBoxRequest& request) {
    ++messages_;
    if (request.kind == MessageKind::Warning || request.kind == MessageKind::Error) ++problems_;
    std::fprintf(stderr, "%s: %s\n", request.caption.c_str(), request.text.c_str());
    std::fflush(stderr);
    return request.buttons.empty() ? Button::Ok : request.buttons.front();
}

std::optional<std::string> ConsolePlatform::openFile(const OpenFileRequest&) { return std::nullopt; }

std::vector<std::string> ConsolePlatform::openFiles(const OpenFileRequest&) { return {}; }

std::optional<PageImportChoice> ConsolePlatform::choosePageImport(const PageImportChoice&) { return std::nullopt; }
std::optional<CleanUpChoice> ConsolePlatform::chooseCleanUp(const CleanUpChoice&) { return std::nullopt; }

DirectoryPickerResult ConsolePlatform::pickDirectory(const std::string&) { return {}; }

std::optional<FontChoice> ConsolePlatform::chooseFont(const FontChoice&) { return std::nullopt; }

std::optional<PrinterGeometry> ConsolePlatform::printerGeometry() { return std::nullopt; }

void ConsolePlatform::printerSetup() {}

bool ConsolePlatform::printPage(const imaging::Bitmap&, imaging::Size) { return false; }

void ConsolePlatform::beep() {}

void ConsolePlatform::setBusyCursor(bool) {}

void ConsolePlatform::processPaintEvents() {}

imaging::Size ConsolePlatform::screenSize() { return {1024, 768}; }

bool ConsolePlatform::openWithAssociatedProgram(const std::string&) { return false; }

std::string ConsolePlatform::privateTempDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    dir += "/quillet-" + std::to_string(::getuid());
    ::mkdir(dir.c_str(), 0700);
    return dir;
}

}  // namespace quillet::app
