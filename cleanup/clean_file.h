#pragma once
// One page file cleaned into another: what `quillet-batch clean`, File > Clean
// Up Pages... and the scanner's clean-up share. The cleaned page is written
// whole or not at all (a name of its own beside the target, then a rename),
// with the source's resolution; the source is only read.

#include <cstdint>
#include <string>

#include "cleanup/clean_page.h"

namespace quillet::cleanup {

// Whether two paths name one folder once links are followed (either may not
// exist yet): the cleaned copies must never go where the pages are.
bool sameFolder(const std::string& a, const std::string& b);

// The pixels of a BMP file's page, from its header alone (to weigh the
// work before it is loaded); 0 when the header cannot be read.
std::int64_t pagePixels(const std::string& path);

// Cleans `source` (a 1-bit BMP file) into `target`. Throws CleanupError
// naming the source and the fault: a file that cannot be read, is not black
// and white or is too large; no memory; a target that cannot be written (then
// no file is left under the target's name).
CleanupReport cleanFile(const std::string& source, const std::string& target, const CleanupSettings& settings);

}  // namespace quillet::cleanup
