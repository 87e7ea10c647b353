#pragma once
// The walk that printing and the print preview share over the bitmaps
// selected in the file list: from entry 0, unselected entries skipped, each
// selected one with its path and its count k of n.

#include <functional>
#include <string>

#include "app/file_list.h"

namespace quillet::output {

struct SelectedBitmap {
    const std::string& entry;  // the file list's text
    std::string path;          // the list's directory joined with it
    int k = 0;                 // 1 for the first selected entry
    int n = 0;                 // the number of selected entries
};

// Calls `visit` for each selected entry in list order until it returns
// false or the n-th has been visited.
void walkSelectedBitmaps(const app::FileList& list, const std::function<bool(const SelectedBitmap&)>& visit);

}  // namespace quillet::output
