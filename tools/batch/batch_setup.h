#pragma once
// What every quillet-batch command that drives the program shares: Qt's
// offscreen rendering on machines without a display, the printed size
// option, and selecting pages in the file list as a user would.

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/file_list.h"
#include "output/printed_size_dialog.h"
#include "tools/batch/flag_table.h"

namespace quillet::batch {

// Without a display, Qt renders offscreen (text drawing, print jobs).
// Call before the QGuiApplication is made.
void renderOffscreenWithoutDisplay();

// A whole number in lo..hi, digits with an optional sign and nothing else,
// into out; false (out untouched) otherwise.
template <class Int>
bool parseWholeNumber(const std::string& text, long lo, long hi, Int& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || v < lo || v > hi) return false;
    out = Int(v);
    return true;
}

// The --paper option: A5, A4, A3 or WxH in millimetres (User Defined).
struct PaperChoice {
    int item = output::PrintedSizeDialog::kA4;  // kA5, kA4, kA3 or kUserDefined
    int widthMm = 0, heightMm = 0;              // for kUserDefined
};
// Nothing when the text is none of the forms (or a size is outside 10..999).
std::optional<PaperChoice> parsePaper(const std::string& text);
// Picks the item in the printed size dialog (and writes the sizes).
void applyPaper(output::PrintedSizeDialog& paper, const PaperChoice& choice);
// The --paper entry of a command's option table: a bad size says "--paper
// takes A5, A4, A3 or WxH ..."; a missing one "--paper " + missing, by
// default the same.
Flag paperFlag(std::optional<PaperChoice>& out, const std::string& missing = "");

// Selects the named files in the list (every entry when `files` is empty)
// as a user's selection. Returns why it could not: a name that the list does
// not show (badArgument), or an empty list.
struct SelectionFailure {
    bool badArgument = false;
    std::string text;
};
std::optional<SelectionFailure> selectPages(app::FileList& list, const std::vector<std::string>& files);

}  // namespace quillet::batch
