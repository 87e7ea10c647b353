#include "analysis/selection_lock.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>

#include "analysis/autocrop.h"
#include "app/message_boxes.h"
#include "app/nudge_resolutions.h"
#include "app/output_directory.h"
#include "base/int32.h"
#include "imaging/bitmap_error.h"
#include "imaging/bmp_file.h"

namespace quillet::analysis {

namespace {

constexpr const char* kPleaseWait = "Please Wait.....";
constexpr const char* kMustBeMonochrome = "Bitmaps MUST be monochrome to Lock selection";
constexpr const char* kTooBig = "Too big !";

}  // namespace

SelectionLock::SelectionLock(app::MainForm& form, app::PlatformServices& platform,
                             PageTable& table)
    : loadPage([](const std::string& path) { return imaging::loadBmp(path); }),
      form_(form),
      platform_(platform),
      table_(table),
      compressionBox_(form, table) {}

void SelectionLock::install() {
    form_.lockselection.onChange = [this] { lockselectionChange(); };
    form_.compressionselection.onChange = [this] { compressionBox_.compressionselectionChange(); };
    form_.compressionselection.onFocus = [this] { compressionBox_.compressionselectionFocus(); };
    applyAvailability();
}

void SelectionLock::applyAvailability() {
    const bool locked = form_.lockselection.checked();
    form_.ColumnLengthPixels.setEnabled(locked);
    form_.ColumnLengthPages.setEnabled(locked);
    form_.Numberofcolumnsperprintedpage.setEnabled(locked);
    // The options that a lock freezes; the menu-opening rule agrees.
    form_.Compressiontoggle1.setEnabled(!locked);
    form_.Autocrop1.setEnabled(!locked);
}

void SelectionLock::lockselectionChange() {
    const int selected = form_.FileListBox1.selectedCount();
    if (form_.lockselection.checked() && (selected == 0 || selected > PageTable::kMaxPages))
        form_.lockselection.setChecked(false);  // runs this procedure for the unchecked box

    resetCompressionCaptions(form_.compressionselection);

    if (form_.lockselection.checked()) lock();

    if (form_.Panel1.text().starts_with('C')) form_.window.hideAndShow();

    applyAvailability();
}

SelectionLock::Probe SelectionLock::probe(const std::string& path) {
    // The header check also refuses truncated pixel data and sizes beyond
    // what a bitmap may hold, so a file that passes loads in full later.
    const imaging::BmpHeader h = imaging::readBmpHeader(path);
    if (!h.monochrome()) return Probe::NotMonochrome;
    if (h.width * h.height > kMaxComposablePixels)
        throw std::runtime_error("a page of " + std::to_string(h.width) + " x " + std::to_string(h.height) +
                                 " pixels is too large to compose (at most " +
                                 std::to_string(kMaxComposablePixels) + " pixels)");
    return Probe::Passed;
}

void SelectionLock::undo() { form_.lockselection.setChecked(false); }

void SelectionLock::lock() {
    form_.Panel1.setText(kPleaseWait);
    platform_.processPaintEvents();

    std::vector<std::string> paths;
    for (const std::string& name : form_.FileListBox1.selectedNames())
        paths.push_back(app::joinPath(form_.directory(), name));

    // Every file must be a monochrome bitmap before any page is measured.
    for (const std::string& path : paths) {
        Probe result;
        try {
            result = probe(path);
        } catch (const imaging::BitmapTooLarge&) {
            result = Probe::TooBig;
        } catch (const std::bad_alloc&) {
            result = Probe::TooBig;
        } catch (const imaging::BitmapError& e) {
            undo();
            app::reportStop(platform_, form_.Panel1, "Cannot load '" + path + "': " + e.what());
            return;
        } catch (const std::exception& e) {
            undo();
            app::reportStop(platform_, form_.Panel1, "Cannot lock '" + path + "': " + e.what());
            return;
        }
        if (result == Probe::Passed) continue;
        undo();
        form_.Panel1.setText(result == Probe::TooBig ? kTooBig : kMustBeMonochrome);
        platform_.processPaintEvents();
        return;
    }
    if (!form_.lockselection.checked()) return;

    if (!measurePages(paths)) return;

    updateFactorsAndCaptions(table_, form_.compressionselection);
    // The layout handlers must react to this refresh even before the file
    // list first reported a change.
    form_.LayoutHandlersEnabled = true;
    app::NudgeResolutions(form_);
    form_.Panel1.setText(compressionTotalsText(table_, form_.compressionEnabled));
    platform_.processPaintEvents();
}

bool SelectionLock::measurePages(const std::vector<std::string>& paths) {
    const int n = int(paths.size());
    const bool compression = form_.compressionEnabled;
    AutocropPass autocrop(form_, platform_, table_, form_.Autocrop1.checked());
    LineGapStatistics statistics;

    // One load per page: the statistics of page k need only its crop box and
    // the carry from page k-1, so they run right after its autocrop. Their
    // progress texts follow all the autocrop texts, as the two passes show.
    autocrop.begin(n);
    for (int k = 1; k <= n; ++k) {
        const std::string& path = paths[std::size_t(k - 1)];
        const char* refusal = nullptr;
        std::string failure;
        try {
            const imaging::Bitmap page = loadPage(path);
            if (!page.monochrome()) {
                refusal = kMustBeMonochrome;  // replaced since the probe
            } else {
                const CropBox box = autocrop.addPage(k, page);
                if (compression) statistics.addPage(page, box);
            }
        } catch (const imaging::BitmapTooLarge&) {
            refusal = kTooBig;
        } catch (const std::bad_alloc&) {
            refusal = kTooBig;
        } catch (const std::exception& e) {
            failure = "Cannot load '" + path + "': " + e.what();
        }
        if (refusal || !failure.empty()) {
            platform_.setBusyCursor(false);  // the hourglass of the autocrop pass
            undo();
            if (refusal) {
                form_.Panel1.setText(refusal);
                platform_.processPaintEvents();
            } else {
                app::reportStop(platform_, form_.Panel1, failure);
            }
            return false;
        }
    }
    autocrop.end();

    table_.RemovedHigh = table_.RemovedMedium = table_.RemovedLow = 0;
    platform_.setBusyCursor(true);
    if (compression) {
        table_.RemovedHigh = base::toInt32(statistics.counts().removedHigh);
        table_.RemovedMedium = base::toInt32(statistics.counts().removedMedium);
        table_.RemovedLow = base::toInt32(statistics.counts().removedLow);
        for (int k = 1; k <= n; ++k) {
            form_.Panel1.setText(statisticsProgressText(k, n));
            form_.window.bringToFront();
            platform_.processPaintEvents();
        }
    }
    platform_.setBusyCursor(false);
    return true;
}

}  // namespace quillet::analysis
