#pragma once
// Framing (the first phase of the OK command): each selected page is loaded,
// cropped and stretched to its target size, framed with its internal borders,
// justified, given its internal footer and header, and stacked into strips.

#include <functional>
#include <string>
#include <vector>

#include "imaging/bitmap.h"
#include "layout/composition_settings.h"
#include "layout/composition_status.h"
#include "layout/strip.h"

namespace quillet::layout {

// A strip is closed once it is higher than this many rows; the next frame
// starts a new strip.
inline constexpr int kStripCloseRows = 15000;

// Target width and height of the working page of slot k (1..N).
imaging::Size targetSize(const CompositionSettings& s, int k);
// Frame height of slot k: LongestHeight (fixed height) or the cropped height,
// plus ti + bi.
int frameHeight(const CompositionSettings& s, int k);

// Builds the frame of slot k from its source bitmap: crop, black-wins
// stretch to the target size, justification offsets (measured on the whole
// frame; what passes the frame's edges is clipped), then the internal footer
// and header written opaquely. Needs a QGuiApplication when a text is drawn.
imaging::Bitmap buildFrame(const CompositionSettings& s, int k, const imaging::Bitmap& source);

// Loads a selected file; throws imaging::BitmapError when it cannot.
using PageLoader = std::function<imaging::Bitmap(const std::string& path)>;

// Runs the framing phase over slots 1..N with its status texts
// ("Layout processing . . .  k/N (name)", the window brought to the front
// after each, the panel cleared at the end). Returns the strips in order;
// with compression on (s.compress) each is compressed as it is built, its
// blank runs cut to s.tag rows (tag + 1 at its end), and carries its record.
// Throws imaging::BitmapError when a page cannot be loaded or a bitmap
// cannot be had.
std::vector<Strip> buildStrips(const CompositionSettings& s, CompositionStatus& status, const PageLoader& load);

}  // namespace quillet::layout
