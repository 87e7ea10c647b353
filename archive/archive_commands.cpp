#include "archive/archive_commands.h"

#include "app/file_commands.h"
#include "app/main_form.h"
#include "app/message_boxes.h"
#include "app/output_directory.h"
#include "base/counted.h"
#include "app/platform_services.h"
#include "archive/ZipMstr.h"
#include "base/scope_guard.h"

namespace quillet::archive {

namespace {

// How many reasons the summary quotes.
constexpr std::size_t kReasonsShown = 3;

// "4 files" or "2 of 5 files".
std::string doneOf(int done, int tried, const std::string& one, const std::string& many) {
    if (done == tried) return base::counted(done, one, many);
    return std::to_string(done) + " of " + base::counted(tried, one, many);
}

// The entry with the focus: the one last clicked, else the first.
int focusedEntry(const app::FileList& list) {
    if (list.count() == 0) return -1;
    const int i = list.currentIndex();
    return i >= 0 && i < list.count() ? i : 0;
}

}  // namespace

ArchiveCommands::ArchiveCommands(app::MainForm& form, app::PlatformServices& platform,
                                 TZipMaster& engine)
    : form_(form), platform_(platform), engine_(engine) {}

void ArchiveCommands::install() {
    form_.PopupMenu1.onClick = [this] { PopupMenu1Popup(); };
    form_.Showzipfiles1.onClick = [this] { Showzipfiles1Click(); };
    form_.Extract.onClick = [this] { ExtractClick(); };
    form_.Addselectedfilesto1.onClick = [this] { Addselectedfilesto1Click(); };
    form_.FileListBox1.onDoubleClick = [this] { FileListBox1DblClick(); };
    engine_.OnMessage = [this](int code, const std::string& text) { ZipMaster1Message(code, text); };
}

std::string ArchiveCommands::currentArchive() const {
    const app::FileList& list = form_.FileListBox1;
    const int i = focusedEntry(list);
    return i < 0 ? std::string() : list.pathOf(list.entry(i));
}

void ArchiveCommands::PopupMenu1Popup() {
    app::applyOutputDirectoryRule(form_);
    const app::FileList& list = form_.FileListBox1;
    if (form_.ZipListMode && list.count() > 0) {
        form_.Extract.setEnabled(true);
        form_.Extract.setCaption("Unpack files from " + list.entry(focusedEntry(list)) + " to " +
                                 form_.OutputDirectory);
    } else {
        form_.Extract.setCaption("Unpack files from...........................");
        form_.Extract.setEnabled(false);
    }
    form_.Addselectedfilesto1.setCaption("Add selected files to " + form_.filename.text() +
                                         ".zip in " + form_.OutputDirectory);
    form_.Addselectedfilesto1.setEnabled(list.selectedCount() > 0 && !form_.ZipListMode);
}

void ArchiveCommands::Showzipfiles1Click() {
    form_.Showzipfiles1.setChecked(!form_.Showzipfiles1.checked());
    form_.ZipListMode = form_.Showzipfiles1.checked();
    // The list's help text follows ZipListMode (MainForm::hintOf); the
    // refill below tells the view.
    form_.FileListBox1.setMask(form_.ZipListMode ? "*.zip" : "*.bmp");
    form_.lockselection.setEnabled(!form_.ZipListMode);
    form_.Extract.setEnabled(form_.ZipListMode);
    form_.Addselectedfilesto1.setEnabled(!form_.ZipListMode);
}

void ArchiveCommands::zipListChange() {
    app::applyOutputDirectoryRule(form_);
    const app::FileList& list = form_.FileListBox1;
    if (list.count() == 0)
        form_.Panel1.setText(kNoZipFiles);
    else
        form_.Panel1.setText(list.entry(focusedEntry(list)) + " . Double-click to extract to " +
                             form_.OutputDirectory);
    platform_.processPaintEvents();
}

void ArchiveCommands::FileListBox1DblClick() {
    if (form_.ZipListMode) ExtractClick();
}

void ArchiveCommands::ExtractClick() {
    const std::string archive = currentArchive();
    if (archive.empty()) return;
    engine_.setZipFileName(archive);
    const int n = engine_.Count();
    if (n == 0) {
        app::showNotice(platform_, kNoFilesInArchive);
        return;
    }
    app::applyOutputDirectoryRule(form_);
    form_.OutputDirectory = app::cutRoot(form_.OutputDirectory);
    engine_.FSpecArgs.clear();
    engine_.ExtrBaseDir = app::restoreRoot(form_.OutputDirectory);
    form_.Panel1.setText(n == 1 ? "Now extracting the file from " + archive
                                : "Now extracting all " + std::to_string(n) + " files from " + archive);
    platform_.processPaintEvents();
    log_.emplace();
    const base::ScopeExit endLog([this] { log_.reset(); });
    try {
        engine_.Extract();
    } catch (...) {
        app::showNotice(platform_, kExtractFailed);
    }
    form_.Panel1.setText("Extracted " + doneOf(engine_.SuccessCnt(), n, "file", "files") + " to " +
                         engine_.ExtrBaseDir);
    platform_.processPaintEvents();
    summarise(*log_, "entry was not extracted", "entries were not extracted");
}

void ArchiveCommands::Addselectedfilesto1Click() {
    app::FileList& list = form_.FileListBox1;
    if (list.selectedCount() == 0) return;
    app::applyOutputDirectoryRule(form_);
    const std::string base = form_.filename.text();
    const std::string archive = app::joinPath(form_.OutputDirectory, base + ".zip");
    engine_.setZipFileName(archive);
    log_.emplace();
    const base::ScopeExit endLog([this] { log_.reset(); });
    int tried = 0, added = 0;
    bool stopped = false;
    app::walkSelectedEntries(
        form_, platform_,
        [&](const std::string& name) {
            return "Are you sure you want to add " + name + " to the " + base + ".zip file?";
        },
        [&](const std::string& name) {
            if (stopped) return;
            ++tried;
            engine_.FSpecArgs.clear();
            engine_.FSpecArgs.push_back(list.pathOf(name));
            try {
                engine_.Add();
                added += engine_.SuccessCnt();
            } catch (...) {
                app::showNotice(platform_, kAddFailed);
            }
            stopped = stopAddAtArchiveFailure && engine_.ArchiveFailed();
        });
    form_.Panel1.setText("Added " + doneOf(added, tried, "bitmap", "bitmaps") + " to " + archive);
    platform_.processPaintEvents();
    summarise(*log_, "file was not added", "files were not added");
}

void ArchiveCommands::summarise(const CommandLog& log, const std::string& one, const std::string& many) {
    const std::vector<std::string>& reasons = log.reasons;
    if (reasons.empty()) return;
    std::string text = base::counted(reasons.size(), one, many) + ":";
    for (std::size_t i = 0; i < reasons.size() && i < kReasonsShown; ++i) text += "\n" + reasons[i];
    if (reasons.size() > kReasonsShown) text += "\nand " + std::to_string(reasons.size() - kReasonsShown) + " more.";
    app::showNotice(platform_, text);
}

void ArchiveCommands::ZipMaster1Message(int errCode, const std::string& message) {
    if (errCode != 0) {
        // The library's fault box once per command; the summary says more.
        if (log_) log_->reasons.push_back(message);
        if (!log_ || !log_->faultShown) app::showNotice(platform_, kLibraryError);
        if (log_) log_->faultShown = true;
        return;
    }
    // An empty message says nothing; warnings start with "W".
    if (message.empty() || message.front() == 'W') return;
    if (log_ && message.rfind("Skipped ", 0) == 0) log_->reasons.push_back(message);
    form_.Panel1.setText(message);
    platform_.processPaintEvents();
}

}  // namespace quillet::archive
