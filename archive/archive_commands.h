#pragma once
// The archive commands of the file list's pop-up menu: packing selected
// bitmaps into <base file name>.zip in the output directory, switching the
// list to the archives of its directory, and unpacking one into the output
// directory; and the routing of the zip engine's messages.
//
// While a command runs, the library's faults and the entries it skips are
// gathered: the library's fault box is shown once, and when the command ends
// one notice sums up what was not done and why, and the status panel says
// what was done and where.

#include <optional>
#include <string>
#include <vector>

namespace quillet::app {
struct MainForm;
class PlatformServices;
}  // namespace quillet::app

namespace quillet::archive {

class TZipMaster;

// Notices of the commands.
inline constexpr const char* kNoFilesInArchive = "No files in archive!";
inline constexpr const char* kExtractFailed = "An error has occured in the DLL!";
inline constexpr const char* kAddFailed = "Error adding to archive. DLL error.";
inline constexpr const char* kLibraryError = "Some error occured!";
inline constexpr const char* kNoZipFiles = "No zip files.";

// What a running archive command met: the reasons of what it left undone,
// and whether the library's fault box was shown.
struct CommandLog {
    std::vector<std::string> reasons;
    bool faultShown = false;
};

class ArchiveCommands {
public:
    ArchiveCommands(app::MainForm& form, app::PlatformServices& platform, TZipMaster& engine);

    // Installs the pop-up's opening rule and its three items, the list's
    // double-click, the archive view's change steps (through `zipListChange`
    // below, which the bitmap list calls) and the engine's message event.
    void install();

    // The pop-up menu is about to open: captions and enabling of Extract and
    // Add selected files.
    void PopupMenu1Popup();
    // List ZIP files: toggles between the bitmaps and the archives.
    void Showzipfiles1Click();
    // Extract (the item, or a double-click in the archive view): unpacks the
    // current archive into the output directory.
    void ExtractClick();
    // Add selected files: each confirmed bitmap into <base>.zip.
    void Addselectedfilesto1Click();
    // A double-click on an entry: Extract in the archive view, else nothing.
    void FileListBox1DblClick();
    // The file list changed while it shows archives.
    void zipListChange();
    // The engine's message event.
    void ZipMaster1Message(int errCode, const std::string& message);

    // The archive the list's current entry names ("" when the list is empty).
    std::string currentArchive() const;

    // Add stops at the first file whose archive cannot be opened or written
    // (the batch form); the desktop goes on, asking for each file.
    bool stopAddAtArchiveFailure = false;

private:
    // Shows the summary of the command that ends, if anything was undone:
    // the count ("1 file was not added", "2 files were not added") and the
    // first reasons.
    void summarise(const CommandLog& log, const std::string& one, const std::string& many);

    app::MainForm& form_;
    app::PlatformServices& platform_;
    TZipMaster& engine_;
    std::optional<CommandLog> log_;
};

}  // namespace quillet::archive
