#include "app/directory_creation.h"

#include <filesystem>
#include <system_error>

namespace quillet::app {

namespace fs = std::filesystem;

std::string resolvePickerPath(const std::string& text, const std::string& baseDirectory) {
    if (text.empty()) return {};
    fs::path p(text);
    if (p.is_relative()) p = fs::path(baseDirectory.empty() ? "/" : baseDirectory) / p;
    std::string out = p.lexically_normal().string();
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    return out;
}

PickerOkDecision decidePickerOk(const std::string& text, const std::string& baseDirectory,
                                const std::function<bool()>& confirmCreate) {
    PickerOkDecision d;
    const std::string dir = resolvePickerPath(text, baseDirectory);
    if (dir.empty()) {
        d.reason = "No directory name was given";
        return d;
    }
    std::error_code ec;
    const fs::file_status st = fs::status(dir, ec);
    if (st.type() == fs::file_type::directory) {
        d.step = PickerOkDecision::Step::Accept;
        d.directory = dir;
        return d;
    }
    if (st.type() != fs::file_type::not_found) {
        d.reason = ec ? ec.message() : dir + " exists and is not a directory";
        return d;
    }
    if (!confirmCreate || !confirmCreate()) {
        d.step = PickerOkDecision::Step::ReturnToPicker;
        return d;
    }
    fs::create_directories(dir, ec);
    // create_directories reports success for a path that already exists as a
    // directory; check the result rather than trusting the return value.
    if (ec || !fs::is_directory(dir, ec)) {
        d.reason = ec ? ec.message() : "the directory could not be created";
        return d;
    }
    d.step = PickerOkDecision::Step::Accept;
    d.directory = dir;
    return d;
}

}  // namespace quillet::app
