#pragma once
// File > Clean Up Pages...: the selected bitmaps cleaned (skew straightened,
// dark borders and specks removed) into a folder of their own, never over
// themselves.
//
// The folder offered is the output directory, or a "cleaned" folder inside
// the bitmaps' own folder when the output directory is that folder; the
// dialog lets the user change it and the steps. The pages are cleaned one by
// one on the user-interface thread with a status text per page. Pages that
// fail are listed in one warning at the end; the others are still written.
// Then the file list shows the folder with the cleaned pages selected.

#include <string>
#include <vector>

#include "app/main_form.h"
#include "app/platform_services.h"

namespace quillet::cleanup {

// What the last run did.
struct CleanUpResult {
    int cleaned = 0;
    int failed = 0;
    std::string destination;  // empty when nothing ran
};

class CleanUpCommand {
public:
    CleanUpCommand(app::MainForm& form, app::PlatformServices& platform) : form_(form), platform_(platform) {}

    // Wires CleanUpPages1.
    void install();
    void CleanUpPages1Click();

    const CleanUpResult& lastResult() const { return result_; }

private:
    std::string offeredFolder();
    bool readyFolder(const std::string& folder, const std::vector<std::string>& names);
    void run(const std::vector<std::string>& names, const app::CleanUpChoice& choice);
    void showCleaned(const std::vector<std::string>& names);
    void say(const std::string& text);

    app::MainForm& form_;
    app::PlatformServices& platform_;
    app::CleanUpChoice choice_;  // the dialog shows the last choice of steps again
    CleanUpResult result_;
};

}  // namespace quillet::cleanup
