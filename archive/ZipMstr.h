#pragma once
// TZipMaster, the zip engine (ZipMaster1, owned by the main window): it reads
// an archive's directory itself and hands adding and extracting to its two
// run-time libraries, ZIPDLL (libzipdll.so) and UNZDLL (libunzdll.so), loaded
// for each operation and unloaded after it.
//
// Errors are reported, not raised: the engine's own messages are shown in a
// notice box (the engine is not Unattended) and every message, its own and
// the libraries', is raised as OnMessage(ErrCode, Message). ErrCode is 0 for
// the engine's own messages and for the libraries' plain information,
// otherwise the library's error code.

#include <functional>
#include <string>
#include <vector>

#include "archive/zip_directory.h"

namespace quillet::app {
class PlatformServices;
}

namespace quillet::archive {

// The fixed settings, set once with the main window.
struct ZipSettings {
    enum AddOption { AddDirNames = 1, AddHiddenFiles = 2 };
    enum ExtrOption { ExtrDirNames = 1, ExtrOverWrite = 2 };
    int AddCompLevel = 9;       // the strongest deflate
    int AddOptions = 0;         // bare file names, sources kept, no hidden files
    // Files with these extensions (any case) are stored without compression.
    std::vector<std::string> AddStoreSuffixes{"gif", "png", "z",   "zip", "zoo", "arc",
                                              "lzh", "arj", "taz", "tgz", "lha"};
    int ExtrOptions = ExtrDirNames;  // stored folders recreated, nothing overwritten
    bool Unattended = false;         // own messages also shown in a notice box
};

// The engine's own messages.
inline constexpr const char* kZipDllNotFound = "ZIPDLL.DLL not found!";
inline constexpr const char* kUnzDllNotFound = "UNZDLL.DLL not found!";
inline constexpr const char* kZipDllExecMissing = "ZipDllExec function not found in ZIPDLL.DLL!";
inline constexpr const char* kZipDllVersionMissing =
    "GetZipDllVersion function not found in ZIPDLL.DLL!";
inline constexpr const char* kUnzDllExecMissing = "UnzDllExec function not found in UNZDLL.DLL!";
inline constexpr const char* kUnzDllVersionMissing =
    "GetUnzDllVersion function not found in UNZDLL.DLL!";
inline constexpr const char* kZipDllAborted = "Fatal Error in ZipDLL.DLL: abort exception";
inline constexpr const char* kUnzDllAborted = "Fatal Error in UnzDLL.DLL: abort exception";

// The file names of the two libraries.
inline constexpr const char* kZipDllFile = "libzipdll.so";
inline constexpr const char* kUnzDllFile = "libunzdll.so";

class TZipMaster {
public:
    explicit TZipMaster(app::PlatformServices& platform);

    const ZipSettings settings;

    // The archive. Setting it reads the directory at once; a path naming no
    // file gives no entries and no message; a directory that cannot be read
    // gives its message and clears the path.
    const std::string& ZipFileName() const { return zipFileName_; }
    void setZipFileName(const std::string& path);
    // Entries of the archive, directory-only entries not counted.
    int Count() const;
    // Every entry read, directory-only ones too.
    const std::vector<ZipEntry>& ZipContents() const { return entries_; }

    // The files of the next operation: full paths for Add, entry names for
    // Extract (empty: every entry).
    std::vector<std::string> FSpecArgs;
    // Where Extract writes.
    std::string ExtrBaseDir;

    // Adds the listed files to the archive (created when missing); clears
    // the list and, when something was added, reads the directory again.
    void Add();
    // Extracts the listed entries (every entry when none is listed) below
    // ExtrBaseDir, which becomes the working directory when it exists;
    // clears the list.
    void Extract();

    // The message event.
    std::function<void(int ErrCode, const std::string& Message)> OnMessage;

    // Where the libraries are looked for, in order (by default beside the
    // executable, then in <executable dir>/../lib/quillet).
    std::vector<std::string> LibraryDirectories;

    // Errors met since the engine was made: its own error messages, library
    // messages with a non-zero code and files a library could not do.
    int ErrorCount() const { return errorCount_; }
    // Files the last Add added, or the last Extract wrote.
    int SuccessCnt() const { return successCnt_; }
    // Whether the last Add could not open or write the archive itself.
    bool ArchiveFailed() const { return archiveFailed_; }

    // Raises one message: shown in a notice box when it is the engine's own
    // (ErrCode 0 from the engine) and the engine is not Unattended, then the
    // event. Library messages come through here with `own` false.
    void message(int errCode, const std::string& text, bool own);

private:
    void ownError(const std::string& text);
    void readDirectory();

    app::PlatformServices& platform_;
    std::string zipFileName_;
    std::vector<ZipEntry> entries_;
    int errorCount_ = 0;
    int successCnt_ = 0;
    bool archiveFailed_ = false;
};

}  // namespace quillet::archive
