#include "cleanup/clean_up_command.h"

#include <exception>
#include <filesystem>
#include <new>
#include <set>
#include <system_error>

#include "app/message_boxes.h"
#include "app/output_directory.h"
#include "base/counted.h"
#include "base/scope_guard.h"
#include "cleanup/clean_file.h"
#include "cleanup/cleanup_error.h"

namespace quillet::cleanup {

namespace {

namespace fs = std::filesystem;

}  // namespace

void CleanUpCommand::install() {
    form_.CleanUpPages1.onClick = [this] { CleanUpPages1Click(); };
}

void CleanUpCommand::say(const std::string& text) {
    form_.Panel1.setText(text);
    platform_.processPaintEvents();
}

void CleanUpCommand::CleanUpPages1Click() {
    result_ = {};
    if (form_.ZipListMode) return;
    const std::vector<std::string> names = form_.FileListBox1.selectedNames();
    if (names.empty()) return;
    app::CleanUpChoice offer = choice_;
    offer.destination = offeredFolder();
    const std::optional<app::CleanUpChoice> choice = platform_.chooseCleanUp(offer);
    if (!choice) return;
    choice_ = *choice;
    if (!readyFolder(choice->destination, names)) return;
    try {
        run(names, *choice);
    } catch (const std::bad_alloc&) {
        app::reportError(platform_, "Out of memory");
    } catch (const std::exception& e) {
        app::reportError(platform_, e.what());
    }
}

// The output directory, unless it is the pages' own folder: then a folder
// inside it.
std::string CleanUpCommand::offeredFolder() {
    app::applyOutputDirectoryRule(form_);
    const std::string out = app::restoreRoot(form_.OutputDirectory);
    return sameFolder(out, form_.directory()) ? app::joinPath(form_.directory(), "cleaned") : out;
}

// Makes the folder; false (after telling the user why) when the pages cannot
// or should not go there.
bool CleanUpCommand::readyFolder(const std::string& folder, const std::vector<std::string>& names) {
    if (folder.empty()) {
        app::showWarning(platform_, "Choose a folder for the cleaned pages.");
        return false;
    }
    if (sameFolder(folder, form_.directory())) {
        app::showWarning(platform_, "The cleaned pages would be written over the pages themselves in " + folder +
                                        ". Choose another folder.");
        return false;
    }
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) {
        app::showWarning(platform_, "Unable to create the folder " + folder + " for the cleaned pages.");
        return false;
    }
    int taken = 0;
    for (const std::string& name : names) taken += fs::exists(app::joinPath(folder, name), ec) ? 1 : 0;
    if (taken == 0) return true;
    return app::askConfirmation(platform_,
                                base::counted(taken, "page", "pages") + " of the same names are already in " + folder +
                                    ". Replace them with the cleaned pages?",
                                {app::Button::Yes, app::Button::No}) == app::Button::Yes;
}

void CleanUpCommand::run(const std::vector<std::string>& names, const app::CleanUpChoice& choice) {
    const CleanupSettings settings{choice.deskew, choice.borders, choice.despeckle, 0};
    const std::string source = form_.directory();
    result_.destination = choice.destination;
    std::vector<std::string> cleaned, problems;
    {
        platform_.setBusyCursor(true);
        const base::ScopeExit idle([this] { platform_.setBusyCursor(false); });
        const int n = int(names.size());
        for (int k = 0; k < n; ++k) {
            const std::string& name = names[std::size_t(k)];
            const std::string of = " (" + std::to_string(k + 1) + " of " + std::to_string(n) + ")";
            say("Cleaning " + name + of + " . . .");
            try {
                const CleanupReport report =
                    cleanFile(app::joinPath(source, name), app::joinPath(choice.destination, name), settings);
                cleaned.push_back(name);
                say(name + of + ": " + report.summary());
            } catch (const CleanupError& e) {
                problems.push_back(e.what());
            }
        }
    }
    result_.cleaned = int(cleaned.size());
    result_.failed = int(problems.size());
    if (!cleaned.empty()) showCleaned(cleaned);
    say(cleaned.empty() ? std::string("No pages cleaned.")
                        : "Cleaned " + base::counted(result_.cleaned, "page", "pages") + " into " + choice.destination);
    if (!problems.empty()) {
        std::string text = "Clean Up Pages:";
        for (const std::string& p : problems) text += "\n" + p;
        app::showWarning(platform_, text);
    }
}

// The file list moves to the folder and selects the cleaned pages.
void CleanUpCommand::showCleaned(const std::vector<std::string>& names) {
    form_.changeDirectory(result_.destination);
    const std::set<std::string> wanted(names.begin(), names.end());
    app::FileList& list = form_.FileListBox1;
    for (int i = 0; i < list.count(); ++i) list.setSelected(i, wanted.count(list.entry(i)) > 0);
}

}  // namespace quillet::cleanup
