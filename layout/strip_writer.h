#pragma once
// Writes the rows of a strip in order, framing frame after frame, and
// compresses them as they pass: every run of blank rows shrinks to its last
// `tag` rows when ink follows it and to its last tag + 1 rows at the strip's
// end. The kept rows are moved together at once, so the strip is never held
// whole before compression; its record (height before compression, kept
// source rows) is as the compression phase reads it.

#include <cstdint>

#include "imaging/bitmap.h"
#include "layout/strip.h"

namespace quillet::layout {

class StripWriter {
public:
    // The strip gets a store for `rows` rows of `width` pixels, of which
    // only the kept ones are written (the rest of the store is never
    // touched). Preconditions: rows >= 0, tag >= 0.
    StripWriter(Strip& strip, int width, int rows, int tag);

    // Passes the rows of a frame as the strip's next rows. Precondition: the
    // frame is as wide as the strip, its padding bits clear, and no more
    // rows pass in all than the store was made for.
    void append(const imaging::Bitmap& frame);

    // Ends the strip: keeps the last blank rows and writes the record.
    void close();

private:
    // Writes n white rows at the end of the kept rows.
    void keepBlank(int n);
    // Readies the store's rows up to `end` for their first write, a stretch
    // at a time.
    void prepareRows(int end);

    Strip& strip_;
    int tag_;
    int seen_ = 0;   // source rows passed
    int kept_ = 0;   // rows written
    int blank_ = 0;  // blank source rows since the last row with ink
    int ready_ = 0;  // rows of the store readied for writing
};

}  // namespace quillet::layout
