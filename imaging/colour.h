#pragma once
// Colour helpers shared by the bitmap operations: the colour store's 32-bit
// pixel form and the black/white decision for monochrome targets.

#include <cstdint>

#include "imaging/bitmap.h"

namespace quillet::imaging {

// 0xffRRGGBB, the colour store's pixel (and QImage::Format_RGB32's).
inline constexpr std::uint32_t packRgb(Rgb c) {
    return 0xff000000u | (std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | c.b;
}

inline constexpr Rgb unpackRgb(std::uint32_t p) {
    return Rgb{std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p)};
}

// Perceived brightness, 0 (black) .. 255000 (white), in integer arithmetic so
// that comparisons between colours are exact.
inline constexpr int luminance(Rgb c) { return 299 * c.r + 587 * c.g + 114 * c.b; }

// A colour drawn on a monochrome bitmap becomes black when it is nearer to
// black than to white.
inline constexpr bool isDark(Rgb c) { return luminance(c) < 128 * 1000; }

}  // namespace quillet::imaging
