#pragma once
// Despeckle: dust and noise off the page. A speck is an 8-connected
// component no wider and no taller than the largest speck size (about a
// quarter of a millimetre: 2 pixels at 300 dpi, 5 at 600, 1 at 150) with no
// other ink within a fifth of a millimetre around it. The dots of i and j,
// full stops, commas and accents are larger, or sit close to their letters.
// Where small components crowd (more than 6 others in the 3 x 3 mm around a
// speck: the grain of a grey tint or a dithered picture), they are part of
// the page and stay.

#include "imaging/bitmap.h"

namespace quillet::cleanup {

struct DespeckleSettings {
    int dpi = 300;
    double maxMillimetres = 0.25;  // the largest speck side, rounded down to whole pixels
};

struct DespeckleReport {
    int specks = 0;  // removed
};

struct Despeckled {
    imaging::Bitmap page;
    DespeckleReport report;
};

// Precondition: monochrome. Throws CleanupError when Leptonica runs out of
// memory.
Despeckled despeckle(const imaging::Bitmap& page, const DespeckleSettings& settings);

}  // namespace quillet::cleanup
