#pragma once
// Reading an archive's central directory through libzip, and the messages a
// directory that cannot be read gives.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace quillet::archive {

struct ZipEntry {
    std::string name;           // as stored ("scans/page1.bmp", "scans/")
    std::uint64_t size = 0;     // uncompressed bytes
    std::uint64_t compressedSize = 0;
    std::time_t modified = 0;
    bool directoryOnly = false; // the name ends with "/"
};

struct DirectoryReading {
    enum class Outcome {
        NoFile,   // the path names no file: no entries, no message
        Read,     // every entry listed
        Warning,  // listed, but the archive is not as it should be
        Failed,   // not readable: `message` says why
    };
    Outcome outcome = Outcome::NoFile;
    std::vector<ZipEntry> entries;
    std::string message;  // the warning or the failure, as the engine shows it
};

// Reads the directory of the archive at `path`: first with libzip's
// consistency check, then, when only that check fails, without it, and when
// libzip refuses the archive as it stands, record by record (both go on
// after "Warning - Error in zip structure!"; see archive_reader.h).
DirectoryReading readZipDirectory(const std::string& path);
// The same over an archive held in memory (the bytes must outlive the call).
DirectoryReading readZipDirectory(const void* data, std::size_t size);

// The message of a libzip error met while reading a directory: the nearest
// of the engine's table, otherwise "Unknown error in List() function", a
// line break and libzip's own text.
std::string listErrorMessage(int zipError, const std::string& libzipText);

inline constexpr const char* kZipStructureWarning = "Warning - Error in zip structure!";

}  // namespace quillet::archive
