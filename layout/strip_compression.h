#pragma once
// Compression (the second phase of the OK command): every run of blank rows
// in a strip is shortened to `tag` rows (tag + 1 at the strip's end; done as
// the strip is built, see StripWriter), and the blank run across the junction
// of two strips to `tag` rows.

#include <vector>

#include "layout/composition_status.h"
#include "layout/strip.h"

namespace quillet::layout {

// Replays the compression phase over strips already compressed as they were
// built (StripWriter), from the last strip to the first: for every kept source row
// the text "Compression processing . . . " + ((D + row) x 100 div T0) +
// "% of lines processed.   " (window to the front, panel repainted), with T0
// the total height before compression and D starting at 1 and growing by
// each strip's height before compression - 1; then the junction of each
// strip with the following one is cut to `tag` blank rows. Strips left
// without rows are dropped.
void runCompressionPhase(std::vector<Strip>& strips, int tag, CompositionStatus& status);

}  // namespace quillet::layout
