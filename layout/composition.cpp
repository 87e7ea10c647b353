#include "layout/composition.h"

#include <exception>
#include <new>
#include <unordered_set>

#include "app/message_boxes.h"
#include "app/output_directory.h"
#include "imaging/bitmap_error.h"
#include "imaging/bmp_file.h"
#include "layout/column_placer.h"
#include "layout/composition_status.h"
#include "layout/strip_compression.h"

namespace quillet::layout {

namespace {

std::string pagesWord(int n) { return n == 1 ? " page" : " pages"; }

// The closing steps, run on every path out of the command.
class ClosingSteps {
public:
    ClosingSteps(app::MainForm& form, app::PlatformServices& platform) : form_(form), platform_(platform) {}
    ~ClosingSteps() {
        try {
            platform_.beep();
            platform_.setBusyCursor(false);
            form_.window.hideAndShow();
        } catch (...) {
        }
    }
    ClosingSteps(const ClosingSteps&) = delete;
    ClosingSteps& operator=(const ClosingSteps&) = delete;

private:
    app::MainForm& form_;
    app::PlatformServices& platform_;
};

}  // namespace

std::string doneText(int pages, int saved) {
    if (saved == pages) return "Done. . .  saved " + std::to_string(pages) + pagesWord(pages) + ".";
    const int failed = pages - saved;
    return "Done. . .  saved " + std::to_string(saved) + " of " + std::to_string(pages) + " pages; " +
           std::to_string(failed) + pagesWord(failed) + " could not be written.";
}

void Composition::Button1Click() {
    result_ = {};
    ClosingSteps closing(ctx_.form, ctx_.platform);
    try {
        run();
    } catch (const std::bad_alloc&) {
        result_.stopped = true;
        app::reportStop(ctx_.platform, ctx_.form.Panel1, "Out of memory");
    } catch (const std::exception& e) {
        result_.stopped = true;
        app::reportStop(ctx_.platform, ctx_.form.Panel1, e.what());
    }
}

void Composition::run() {
    app::MainForm& form = ctx_.form;
    CompositionStatus status(form, ctx_.platform);
    if (!form.locked()) {
        result_.refused = true;
        status.say("You need to Lock the selection first.");
        return;
    }

    // Start.
    status.say("Please Wait.....");
    app::applyOutputDirectoryRule(form);
    form.OutputDirectory = app::cutRoot(form.OutputDirectory);

    CompositionSettings s = readCompositionSettings(ctx_);
    std::optional<std::string> refusal = checkBaseFileName(s.baseName);
    if (!refusal) refusal = computeDerivedValues(s);
    if (refusal) {
        result_.refused = true;
        status.say(*refusal);
        app::showWarning(ctx_.platform, *refusal);
        return;
    }
    ctx_.platform.setBusyCursor(true);

    // Phase 1, framing; strips are compressed as they are built, so that
    // the whole selection is held compressed.
    const PageLoader load = [inner = loader ? loader : PageLoader(imaging::loadBmp)](const std::string& path) {
        try {
            return inner(path);
        } catch (const imaging::BitmapError& e) {
            throw imaging::BitmapError("Cannot load '" + path + "': " + e.what());
        }
    };
    std::vector<Strip> strips = buildStrips(s, status, load);

    // Phase 2, compression.
    if (s.compress) runCompressionPhase(strips, s.tag, status);

    // Phases 3 and 4, placing and finishing.
    PageFinisher finisher(s, ctx_.platform, saver ? saver : PageSaver(imaging::saveBmp));
    result_.pages = placePages(s, strips, status, [&](imaging::Bitmap& page, int m) {
        result_.pages = m;
        if (finisher.finish(page, m) == SaveOutcome::Saved) ++result_.saved;
        else ++result_.failed;
    });
    const int m = result_.pages;

    // End: the pages of this run become the selection.
    if (s.updateFileList && form.directory().compare(0, form.OutputDirectory.size(), form.OutputDirectory) == 0) {
        form.FileListBox1.refill();
        std::unordered_set<std::string> runPages;
        for (int i = 1; i <= m; ++i) runPages.insert(s.pageFileName(i));
        app::FileList& list = form.FileListBox1;
        for (int i = 0; i < list.count(); ++i) list.setSelected(i, runPages.count(list.entry(i)) > 0);
    }
    status.say(doneText(m, result_.saved));
}

}  // namespace quillet::layout
