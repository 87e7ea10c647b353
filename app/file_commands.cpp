#include "app/file_commands.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "app/file_operations.h"
#include "app/main_form.h"
#include "app/message_boxes.h"
#include "app/output_directory.h"
#include "app/platform_services.h"

namespace quillet::app {

void walkSelectedEntries(MainForm& form, PlatformServices& platform,
                         const std::function<std::string(const std::string&)>& question,
                         const std::function<void(const std::string&)>& act) {
    // The walk works on the names as the list shows them now; acting on the
    // files does not change the list until it is re-read.
    const std::vector<std::string> names = form.FileListBox1.selectedNames();
    Button last = Button::Yes;
    for (const std::string& name : names) {
        if (last != Button::All)
            last = askConfirmation(platform, question(name),
                                   {Button::Yes, Button::No, Button::Cancel, Button::All});
        if (last == Button::Cancel) break;
        if (last == Button::Yes || last == Button::All) act(name);
    }
}

void setOutputDirectory(MainForm& form, PlatformServices& platform) {
    form.Panel1.setText(kPickerHintText);

    const std::string previous = form.OutputDirectory;
    std::string start = form.OutputDirectoryChosen ? form.OutputDirectory : form.directory();
    start = restoreRoot(start);
    if (::chdir(start.c_str()) != 0) {
        // The previously chosen directory may have vanished: report it and
        // leave the output directory state as it was.
        const int e = errno;
        form.OutputDirectory = previous;
        reportError(platform, "Cannot change to directory '" + start + "': " + std::strerror(e));
        return;
    }
    form.OutputDirectory = start;

    const DirectoryPickerResult result = platform.pickDirectory(start);
    switch (result.outcome) {
    case DirectoryPickerResult::Outcome::Ok:
        if (!result.directory.empty()) {
            form.OutputDirectory = result.directory;
            form.OutputDirectoryChosen = true;
            break;
        }
        // An OK with an empty box is the picker's failure.
        [[fallthrough]];
    case DirectoryPickerResult::Outcome::Failure:
        showWarning(platform, kPickerFailureText);
        form.OutputDirectoryChosen = false;
        break;
    case DirectoryPickerResult::Outcome::Cancel:
        form.OutputDirectoryChosen = false;
        break;
    }

    // A chosen directory is held without a trailing separator; the root
    // keeps its one.
    while (form.OutputDirectory.size() > 1 && form.OutputDirectory.back() == '/')
        form.OutputDirectory.pop_back();

    if (form.OutputDirectoryChosen)
        form.Panel1.setText("Output Directory = '" + form.OutputDirectory + "'");
    else
        form.Panel1.setText(kNoOutputDirectoryText);
}

void deleteSelectedFiles(MainForm& form, PlatformServices& platform) {
    const std::string directory = form.directory();
    walkSelectedEntries(
        form, platform,
        [](const std::string& name) { return "Are you sure you want to delete " + name + "?"; },
        [&](const std::string& name) { deleteFileIn(directory, name); });
    form.FileListBox1.refill();
}

void moveSelectedFiles(MainForm& form, PlatformServices& platform) {
    applyOutputDirectoryRule(form);
    const std::string source = cutRoot(form.directory());
    const std::string destination = cutRoot(form.OutputDirectory);
    if (source == destination) {
        showNotice(platform, kSameDirectoryText);
        return;
    }
    // The root's cut form is empty; the question names it as "/".
    const std::string shownDestination = restoreRoot(destination);
    walkSelectedEntries(
        form, platform,
        [&](const std::string& name) {
            return "Are you sure you want to move " + name + " to " + shownDestination + " ?";
        },
        [&](const std::string& name) {
            if (!moveFileNoReplace(restoreRoot(source), shownDestination, name))
                showNotice(platform, "Error. Move to " + joinPath(destination, name) + " unsuccessful.");
        });
    form.FileListBox1.refill();
}

void installFileCommands(MainForm& form, PlatformServices& platform) {
    form.SetOutputDirectory1.onClick = [&form, &platform] { setOutputDirectory(form, platform); };
    form.DeleteSelectedFiles1.onClick = [&form, &platform] { deleteSelectedFiles(form, platform); };
    form.Moveselectedfiles.onClick = [&form, &platform] { moveSelectedFiles(form, platform); };
}

}  // namespace quillet::app
