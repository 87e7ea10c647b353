#pragma once
// A scanned line-art page cleaned as it comes in (skew straightened, dark
// borders and specks removed), before it is saved: for the scanner's dialog
// and quillet-batch acquire --clean.

#include <string>

#include "acquire/native_image.h"

namespace quillet::acquire {

// Cleans a line-art page in place, at the resolution it was scanned at, and
// says what was done; when it cannot be cleaned it stays as scanned and the
// text says why. Grey and colour pages are left alone (empty text).
std::string cleanScan(NativeImage& image);

}  // namespace quillet::acquire
