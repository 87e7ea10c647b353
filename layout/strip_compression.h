#pragma once
// Compression (the second phase of the OK command): every run of blank rows
// in a strip is shortened to `tag` rows (tag + 1 at the strip's end), and the
// blank run across the junction of two strips to `tag` rows.

#include <vector>

#include "layout/composition_status.h"
#include "layout/strip.h"

namespace quillet::layout {

// The source rows the compression keeps, in order: every row with ink; of a
// blank run followed by ink its last min(run, tag) rows; of the blank run at
// the strip's end its last min(run, tag + 1) rows. Row ink is tested over the
// full width, word by word.
std::vector<RowRun> keptRows(const Strip& strip, int tag);

// Compresses a strip in place: records its height and the kept runs, and
// replaces its bitmap by the kept rows moved together run by run. Returns
// the bitmap it replaced, whose store the caller may reuse.
imaging::Bitmap compressStrip(Strip& strip, int tag);

// Replays the compression phase over strips already compressed by
// compressStrip, from the last strip to the first: for every kept source row
// the text "Compression processing . . . " + ((D + row) x 100 div T0) +
// "% of lines processed.   " (window to the front, panel repainted), with T0
// the total height before compression and D starting at 1 and growing by
// each strip's height before compression - 1; then the junction of each
// strip with the following one is cut to `tag` blank rows. Strips left
// without rows are dropped.
void runCompressionPhase(std::vector<Strip>& strips, int tag, CompositionStatus& status);

}  // namespace quillet::layout
