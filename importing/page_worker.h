#pragma once
// The page reader process. Pages are read apart from the program that saves
// them, so that a page that takes too long can be abandoned (the process is
// killed: poppler's calls cannot be interrupted) and a file that makes a
// library fail takes only its own page with it. The program starts the
// reader with the page settings as arguments and asks it, one question at a
// time, to open a file or to read one of its pages (worker_messages.h).

#include <string>
#include <vector>

#include "importing/page_source.h"

namespace quillet::importing {

// The settings as the reader's arguments, and back. parseWorkerArguments
// returns false for arguments it does not know.
std::vector<std::string> workerArguments(const PageSettings& settings);
bool parseWorkerArguments(const std::vector<std::string>& arguments, PageSettings& settings);

// Answers the questions that arrive on `fd` until it closes; the file last
// opened stays open for the pages that follow. Returns the exit status.
int servePages(int fd, const PageSettings& settings);

}  // namespace quillet::importing
