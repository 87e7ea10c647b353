#pragma once
// The File menu's commands that work on files rather than images: Set Output
// Directory, Delete Selected Files and Move Selected Files, and the walk over
// the selected entries that Delete, Move and Add to archive share.

#include <functional>
#include <string>

namespace quillet::app {

struct MainForm;
class PlatformServices;

// Status and message texts of these commands.
inline constexpr const char* kPickerHintText =
    "Note that you can also create a new directory by entering it in the 'Directory Name' box";
inline constexpr const char* kNoOutputDirectoryText =
    "No output directory selected. Files will be saved in the filelist directory";
inline constexpr const char* kPickerFailureText = "Unable to create the specified directory!";
inline constexpr const char* kSameDirectoryText =
    "You haven't selected a different Output Directory to move to!";

// Walks the selected entries of the file list in list order with one
// confirmation per entry (Yes, No, Cancel, All), asking `question(name)`.
// Yes acts on the entry, No skips it, All acts on it and on every later
// selected entry without asking again, Cancel stops with the entry untouched.
// `act(name)` does the work for one entry. Nothing happens when no entry is
// selected. The list itself is not re-read.
void walkSelectedEntries(MainForm& form, PlatformServices& platform,
                         const std::function<std::string(const std::string&)>& question,
                         const std::function<void(const std::string&)>& act);

// Set Output Directory: shows the directory picker starting at the output
// directory and makes its choice the output directory (OK), or reverts to the
// file list's directory (Cancel, failure). When the working directory cannot
// be changed to the start directory, the error is reported and nothing
// else changes.
void setOutputDirectory(MainForm& form, PlatformServices& platform);

// Delete Selected Files: deletes the selected files of the file list's
// directory permanently, each after its confirmation; failures are silent.
// The list is re-read at the end.
void deleteSelectedFiles(MainForm& form, PlatformServices& platform);

// Move Selected Files: moves the selected files to the output directory, each
// after its confirmation, never replacing a file; each failed move is
// reported and the walk goes on. Refused with a notice when the output
// directory is the file list's directory (the list is then not re-read);
// otherwise the list is re-read at the end.
void moveSelectedFiles(MainForm& form, PlatformServices& platform);

// Installs the three commands on SetOutputDirectory1, DeleteSelectedFiles1 and
// Moveselectedfiles. `form` and `platform` must outlive the menu items.
void installFileCommands(MainForm& form, PlatformServices& platform);

}  // namespace quillet::app
