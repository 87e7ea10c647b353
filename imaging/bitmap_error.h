#pragma once
// The failure raised for bad bitmap data: an unreadable or malformed BMP file,
// a failed write, or a bitmap too large to hold (BitmapTooLarge).

#include <stdexcept>
#include <string>

namespace quillet::imaging {

class BitmapError : public std::runtime_error {
public:
    explicit BitmapError(const std::string& message) : std::runtime_error(message) {}
};

// A bitmap whose pixels cannot be held: its size exceeds the limit
// (Bitmap::kMaxPixels) or its store cannot be allocated.
class BitmapTooLarge : public BitmapError {
public:
    using BitmapError::BitmapError;
};

// A file that was created but whose contents could not all be written (a
// full disk, a file-size limit): the caller may go on with other files.
class BitmapWriteError : public BitmapError {
public:
    using BitmapError::BitmapError;
};

// The message for a file that is not a BMP (wrong signature or header size).
inline constexpr const char* kNotValidBitmap = "Bitmap image is not valid";

}  // namespace quillet::imaging
