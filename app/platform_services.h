#pragma once
// What the logic asks of the desktop: message boxes, file and directory
// dialogs, the font and printer dialogs, printing, the beep, the cursor and
// a few window services. The Qt implementation lives in ui/; tests use a
// scripted fake that records every call; the batch front end answers on the
// console.

#include <optional>
#include <string>
#include <vector>

#include "imaging/bitmap.h"

namespace quillet::app {

// The four kinds of message box, plus the general error report.
enum class MessageKind {
    Notice,        // caption "Quillet", no icon
    Warning,       // caption "Warning", exclamation mark
    Confirmation,  // caption "Confirm", question mark
    Information,   // caption "Information", information sign
    Error,         // the general error report: caption "Quillet", error icon
};

// Buttons, captioned "OK", "Cancel", "&Yes", "&No", "&All".
enum class Button { Ok, Cancel, Yes, No, All };

struct MessageBoxRequest {
    MessageKind kind = MessageKind::Notice;
    std::string caption;
    std::string text;
    std::vector<Button> buttons;
};

// The open-file dialog: starts in `directory` with `fileName` preset; the
// chosen file must exist. Returns the full path, or nothing on Cancel.
struct OpenFileRequest {
    std::string directory;
    std::string filter = "Bitmap Files(*.BMP) | *.BMP";
    std::string fileName = "*.bmp";
};

// The small dialog of Import Pages: the folder the new pages go to and the
// number of the first one, the resolution PDF pages are rendered at and how
// grey pages become 1-bit (Otsu's level of each page, or a fixed level: grey
// values up to it are black).
struct PageImportChoice {
    int dpi = 300;
    bool automaticThreshold = true;
    int threshold = 127;
    std::string directory;
    int firstNumber = 1;  // 1 .. 999999
    bool localThreshold = false;  // Sauvola's, for uneven lighting (then the two above are not used)
    bool clean = false;           // each page cleaned with the steps below
    bool deskew = true, borders = true, despeckle = true;
    friend bool operator==(const PageImportChoice&, const PageImportChoice&) = default;
};

// The small dialog of Clean Up Pages: which steps run and the folder the
// cleaned copies go to.
struct CleanUpChoice {
    bool deskew = true;
    bool borders = true;
    bool despeckle = true;
    std::string destination;
    friend bool operator==(const CleanUpChoice&, const CleanUpChoice&) = default;
};

// The directory picker of Set Output Directory.
struct DirectoryPickerResult {
    enum class Outcome { Ok, Cancel, Failure } outcome = Outcome::Cancel;
    std::string directory;  // the "Directory Name" box on Ok
};

// A font as the font dialog offers it: typeface and style.
using FontChoice = imaging::Font;

// The current printer's printable area.
struct PrinterGeometry {
    int widthMm = 0;    // HORZSIZE
    int heightMm = 0;   // VERTSIZE
    int widthPx = 0;    // HORZRES
    int heightPx = 0;   // VERTRES
};

class PlatformServices {
public:
    virtual ~PlatformServices() = default;

    // Shows a modal box and returns the button pressed (the first button when
    // the box is closed otherwise).
    virtual Button messageBox(const MessageBoxRequest& request) = 0;
    virtual std::optional<std::string> openFile(const OpenFileRequest& request) = 0;
    // The same dialog choosing one or more existing files; empty on Cancel.
    virtual std::vector<std::string> openFiles(const OpenFileRequest& request) = 0;
    // The import dialog, showing `initial`; nothing on Cancel.
    virtual std::optional<PageImportChoice> choosePageImport(const PageImportChoice& initial) = 0;
    // The clean-up dialog, showing `initial`; nothing on Cancel.
    virtual std::optional<CleanUpChoice> chooseCleanUp(const CleanUpChoice& initial) = 0;
    // Runs the directory picker starting at `directory`; it asks itself
    // whether to create a missing directory and creates it with its parents.
    virtual DirectoryPickerResult pickDirectory(const std::string& directory) = 0;
    virtual std::optional<FontChoice> chooseFont(const FontChoice& initial) = 0;

    // The printable area of the current printer, or nothing without a printer.
    virtual std::optional<PrinterGeometry> printerGeometry() = 0;
    // The printer setup dialog (printer, paper, orientation).
    virtual void printerSetup() = 0;
    // Prints one job of one page: `page` is drawn from the top-left of the
    // printable area over `onPaper` device pixels (1:1 when that is its own
    // size). False when the job failed and was abandoned, nothing of it
    // spooled.
    virtual bool printPage(const imaging::Bitmap& page, imaging::Size onPaper) = 0;

    virtual void beep() = 0;
    // Hourglass (busy) cursor on or off.
    virtual void setBusyCursor(bool busy) = 0;
    // Lets the views paint what the models changed (status texts, windows),
    // without processing user input.
    virtual void processPaintEvents() = 0;
    virtual imaging::Size screenSize() = 0;
    // Opens a file with the program associated with its type.
    virtual bool openWithAssociatedProgram(const std::string& path) = 0;
    // A private folder of the user's under the system temporary directory,
    // created with mode 0700, ending without a separator.
    virtual std::string privateTempDirectory() = 0;
};

}  // namespace quillet::app
