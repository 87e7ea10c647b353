#include "program/installation.h"

#include <filesystem>

#include "program/build_info.h"

namespace quillet::app {

std::string installationDirectory(const std::string& executableDirectory) {
    namespace fs = std::filesystem;
    const fs::path beside = fs::path(executableDirectory);
    std::error_code ec;
    if (fs::exists(beside / "Qllet.txt", ec)) return beside.string();
    return (beside / kDataFromExecutable).lexically_normal().string();
}

}  // namespace quillet::app
