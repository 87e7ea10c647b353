#include "tools/batch/batch_setup.h"

#include <cstdlib>
#include <filesystem>

namespace quillet::batch {

namespace {

bool parseMm(const std::string& text, int& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || v < 10 || v > 999) return false;
    out = int(v);
    return true;
}

}  // namespace

void renderOffscreenWithoutDisplay() {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr &&
        std::getenv("WAYLAND_DISPLAY") == nullptr)
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

std::optional<PaperChoice> parsePaper(const std::string& v) {
    using output::PrintedSizeDialog;
    if (v == "A5" || v == "a5") return PaperChoice{PrintedSizeDialog::kA5};
    if (v == "A4" || v == "a4") return PaperChoice{PrintedSizeDialog::kA4};
    if (v == "A3" || v == "a3") return PaperChoice{PrintedSizeDialog::kA3};
    const auto x = v.find_first_of("xX");
    PaperChoice c{PrintedSizeDialog::kUserDefined};
    if (x == std::string::npos || !parseMm(v.substr(0, x), c.widthMm) || !parseMm(v.substr(x + 1), c.heightMm))
        return std::nullopt;
    return c;
}

Flag paperFlag(std::optional<PaperChoice>& out, const std::string& missing) {
    const std::string takes = "takes A5, A4, A3 or WxH in mm (10..999)";
    return {"--paper", missing.empty() ? takes : missing, [&out, takes](const std::string& v) {
                out = parsePaper(v);
                return out ? std::string() : "--paper " + takes;
            }};
}

void applyPaper(output::PrintedSizeDialog& paper, const PaperChoice& c) {
    paper.ComboBox1.userSelect(c.item);
    if (c.item != output::PrintedSizeDialog::kUserDefined) return;
    paper.SpinEdit1.setValue(c.widthMm);
    paper.SpinEdit2.setValue(c.heightMm);
}

std::optional<SelectionFailure> selectPages(app::FileList& list, const std::vector<std::string>& files) {
    std::vector<int> selected;
    if (files.empty()) {
        for (int i = 0; i < list.count(); ++i) selected.push_back(i);
    } else {
        for (const std::string& f : files) {
            const std::string name = std::filesystem::path(f).filename().string();
            int found = -1;
            for (int i = 0; i < list.count(); ++i)
                if (list.entry(i) == name) found = i;
            if (found < 0) return SelectionFailure{true, "not a bitmap listed in " + list.directory() + ": " + f};
            selected.push_back(found);
        }
    }
    if (selected.empty()) return SelectionFailure{false, "no *.bmp files in " + list.directory()};
    list.userSelectionChanged(selected, selected.front());
    list.hasFocus = false;
    return std::nullopt;
}

}  // namespace quillet::batch
