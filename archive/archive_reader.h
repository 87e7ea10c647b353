#pragma once
// An archive opened for reading through libzip, every entry of its
// directory listed. An archive that libzip refuses as it stands but whose
// directory can be read record by record (see central_directory.h) is
// opened through a repaired directory instead: it reads with a warning, and
// a later entry of a name listed before is listed but has no index, so it
// is never extracted.

#include <zip.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "archive/zip_directory.h"

namespace quillet::archive {

struct ArchiveItem {
    ZipEntry entry;
    zip_int64_t index = -1;  // in the opened archive; -1 for a repeated name
};

struct ArchiveReading {
    enum class Outcome {
        Read,     // every entry listed as stored
        Warning,  // listed, but the archive is not as it should be
        Failed,   // not readable
    };
    Outcome outcome = Outcome::Failed;
    std::unique_ptr<zip_t, decltype(&zip_discard)> zip{nullptr, &zip_discard};
    std::vector<ArchiveItem> items;
    std::string message;  // the engine's message: the warning, or why it failed
    int error = 0;        // libzip's error code and text of a failure
    std::string errorText;
};

// Opens the archive at `path`, or the one held in memory (the bytes must
// outlive the reading).
ArchiveReading openArchive(const std::string& path);
ArchiveReading openArchive(const void* data, std::size_t size);

}  // namespace quillet::archive
