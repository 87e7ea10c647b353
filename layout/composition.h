#pragma once
// The OK command (Button1Click): composes the locked selection of internal
// pages into external pages and writes them as BMP files into the output
// directory, in four phases: framing and stacking into strips, compression of
// blank rows, placing pieces of the strips in columns or rows, finishing and
// saving each external page. Then the file list is refreshed so that the
// pages just written become the selection.

#include <string>

#include "layout/composition_settings.h"
#include "layout/frame_builder.h"
#include "layout/page_finisher.h"

namespace quillet::layout {

// What the last run did.
struct CompositionResult {
    bool refused = false;    // not locked, no room, or a bad base file name
    bool stopped = false;    // ended with the general error report
    int pages = 0;           // external pages numbered (m)
    int saved = 0;           // written
    int failed = 0;          // could not be written (Write Error)
};

// The status text at the end of a run that wrote `saved` of `pages` pages:
// "Done. . .  saved 1 page." / "Done. . .  saved m pages." when none failed;
// otherwise it says how many were saved and how many could not be written.
std::string doneText(int pages, int saved);

class Composition {
public:
    explicit Composition(CompositionContext context) : ctx_(context) {}

    // The command. Refuses with "You need to Lock the selection first." when
    // the selection is not locked; refuses with a warning, before anything is
    // written, settings that leave no room and base file names the file
    // system cannot take. A page that cannot be loaded, or an external page
    // file that cannot be created, ends the run with the general error
    // report (pages saved before stay). On every path the beep sounds, the
    // cursor returns to normal and the main window is hidden and shown again.
    void Button1Click();

    // Seams: how pages are loaded and external pages written (defaults:
    // imaging::loadBmp and imaging::saveBmp).
    PageLoader loader;
    PageSaver saver;

    const CompositionResult& lastResult() const { return result_; }

private:
    void run();

    CompositionContext ctx_;
    CompositionResult result_;
};

}  // namespace quillet::layout
