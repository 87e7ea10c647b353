#pragma once
// Generated stand-ins for scanned pages of text: monochrome A4 bitmaps with
// ragged margins, paragraphs of word-like ink, headings, blank lines between
// paragraphs and specks of dirt in the margins. The same seed always gives the
// same page, so tests and benchmarks can make their input in code.

#include <cstdint>
#include <vector>

#include "imaging/bitmap.h"
#include "imaging/geometry.h"

namespace quillet::imaging {

struct SamplePageOptions {
    int dpi = 300;            // A4 at 300 dpi is 2480 x 3508 pixels
    std::uint64_t seed = 1;   // pages differ from seed to seed
    bool wideSpeck = false;   // add one speck wider than any of the small ones
};

// A generated page and where its parts were put (rectangles are ink bounds,
// right/bottom exclusive).
struct SamplePage {
    Bitmap bitmap;
    Rect textBox;                  // every pixel of text (lines and headings)
    std::vector<Rect> lines;       // each line of text, top to bottom
    std::vector<bool> headings;    // per line: part of a heading
    std::vector<Rect> specks;      // the small specks, each under 6 pixels a side,
                                   // all outside textBox
    Rect wideSpeck;                // empty unless options.wideSpeck; outside textBox
};

// Pixel size of A4 paper at a resolution (210 x 297 mm, rounded).
Size a4Pixels(int dpi);

SamplePage generateSamplePage(const SamplePageOptions& options = {});

// Just the bitmap of generateSamplePage.
Bitmap makeSamplePage(const SamplePageOptions& options = {});

}  // namespace quillet::imaging
