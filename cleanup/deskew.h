#pragma once
// Deskew: the skew of a page's text lines is measured and, when it is large
// enough and the measure sure enough, the page is turned back by shears, so
// strokes stay crisp. The page grows where its ink would otherwise leave it
// (a corner of text turned past the edge); otherwise it keeps its size.

#include "imaging/bitmap.h"

namespace quillet::cleanup {

struct DeskewSettings {
    int dpi = 300;                // the page's resolution: the measure runs near 150 dpi
    double maxDegrees = 5.0;      // skews up to this are found (a little more is searched)
    double minDegrees = 0.06;     // smaller skews are left as they are
    double minConfidence = 3.0;   // less certain measures are left too
};

struct DeskewReport {
    enum class Outcome {
        NotMeasured,   // no text lines to measure (blank, too small, no clear best angle)
        Straight,      // the skew is under minDegrees: left
        Unsure,        // the measure's confidence is under minConfidence: left
        Straightened,  // turned back by -degrees
    };
    Outcome outcome = Outcome::NotMeasured;
    double degrees = 0;     // the skew found: positive when the lines run clockwise
    double confidence = 0;  // the best score over the worst of the sweep
};

struct Deskewed {
    imaging::Bitmap page;
    DeskewReport report;
};

// Precondition: monochrome. Throws CleanupError when Leptonica runs out of
// memory, imaging::BitmapError when the grown page cannot be held.
Deskewed deskew(const imaging::Bitmap& page, const DeskewSettings& settings);

}  // namespace quillet::cleanup
