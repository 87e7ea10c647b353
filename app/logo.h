#pragma once
// Quillet's built-in logo picture (the main window's hidden Image1): what the
// viewer shows until the user picks a bitmap.

#include "imaging/bitmap.h"

namespace quillet::app {

inline constexpr int kLogoWidth = 258;
inline constexpr int kLogoHeight = 71;

// Draws the 258 x 71 colour logo: a blue band with a fan of small text pages
// packed into columns and the name "Quillet". Uses at most 256 colours. Never
// throws for want of fonts: without text rendering the name is left out.
imaging::Bitmap makeLogo();

}  // namespace quillet::app
