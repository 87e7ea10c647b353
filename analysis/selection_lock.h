#pragma once
// The selection lock: checking "Lock Selection" verifies that every selected
// file is a readable monochrome bitmap, measures the pages (autocrop and,
// when compression is enabled, the line-gap statistics) into the page table,
// refreshes the layout and makes the layout fields available. Unchecking
// releases the lock.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "analysis/line_gap_statistics.h"
#include "analysis/page_table.h"
#include "app/main_form.h"
#include "app/platform_services.h"
#include "imaging/bitmap.h"

namespace quillet::analysis {

class SelectionLock {
public:
    // The lock works on the form's controls and writes the page table; both
    // must outlive it. Nothing is connected until install().
    SelectionLock(app::MainForm& form, app::PlatformServices& platform, PageTable& table);

    // Connects lockselection.onChange and compressionselection.onChange /
    // onFocus to the handlers below, and makes the layout fields and the
    // frozen options available as the box's state says (at start-up: the
    // three layout fields greyed).
    void install();

    // Runs on every change of the lock box, checked or unchecked:
    //  1. checked with no file or more than 300 files selected: unchecked
    //     again, silently;
    //  2. the captions of compressionselection items 1..3 become plain;
    //  3-5. checked: "Please Wait.....", every selected file probed (not
    //     monochrome: "Bitmaps MUST be monochrome to Lock selection"; too
    //     large to hold: "Too big !"; both uncheck the box), then autocrop and
    //     the statistics, the factors and captions, the layout refresh and
    //     the totals line;
    //  6. a status text starting with "C" brings the window back to front;
    //  7. the three layout fields are enabled exactly while locked, and
    //     Compressiontoggle1 and Autocrop1 exactly while unlocked.
    // A file that cannot be loaded (missing, truncated, not a bitmap) or a
    // page too large to compose (over kMaxComposablePixels) undoes the lock,
    // says so in the status panel and shows the general error report naming
    // the file, so the table of an unfinished lock is never used.
    void lockselectionChange();

    CompressionBox& compressionBox() { return compressionBox_; }

    // Largest page the composition can take: its frame with borders, in one
    // strip, must stay within a bitmap's limit (2^31 pixels).
    static constexpr std::int64_t kMaxComposablePixels = std::int64_t(1) << 30;

    // Loads one page for measuring (imaging::loadBmp); throws on failure.
    // Replaceable so that a failure in the middle of the passes can be staged.
    std::function<imaging::Bitmap(const std::string&)> loadPage;

private:
    enum class Probe { Passed, NotMonochrome, TooBig };
    // Header-level check of one file; throws imaging::BitmapError with the
    // load failure when the file cannot be read as a bitmap, or a
    // std::runtime_error for a page too large ever to be composed.
    static Probe probe(const std::string& path);
    // Steps 3 to 5 for a checked box.
    void lock();
    // Step 7: the three layout fields enabled exactly while locked,
    // Compressiontoggle1 and Autocrop1 exactly while unlocked.
    void applyAvailability();
    // Unchecks the box (which runs the unlock) after a failed lock.
    void undo();
    // Loads each page once and feeds it to autocrop and the statistics;
    // false when the lock was undone on the way.
    bool measurePages(const std::vector<std::string>& paths);

    app::MainForm& form_;
    app::PlatformServices& platform_;
    PageTable& table_;
    CompressionBox compressionBox_;
};

}  // namespace quillet::analysis
