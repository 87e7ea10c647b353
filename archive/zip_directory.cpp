#include "archive/zip_directory.h"

#include <sys/stat.h>
#include <zip.h>

#include "archive/archive_reader.h"

namespace quillet::archive {

namespace {

DirectoryReading fromReading(ArchiveReading r) {
    DirectoryReading out;
    out.message = std::move(r.message);
    switch (r.outcome) {
    case ArchiveReading::Outcome::Read: out.outcome = DirectoryReading::Outcome::Read; break;
    case ArchiveReading::Outcome::Warning: out.outcome = DirectoryReading::Outcome::Warning; break;
    case ArchiveReading::Outcome::Failed: out.outcome = DirectoryReading::Outcome::Failed; return out;
    }
    out.entries.reserve(r.items.size());
    for (ArchiveItem& item : r.items) out.entries.push_back(std::move(item.entry));
    return out;
}

}  // namespace

std::string listErrorMessage(int zipError, const std::string& libzipText) {
    switch (zipError) {
    case ZIP_ER_SEEK:
    case ZIP_ER_TELL:
        return "Seek error reading Zip archive!";
    case ZIP_ER_NOZIP:
    case ZIP_ER_EOF:
        return "Error while reading the End Of Central Directory";
    case ZIP_ER_READ:
        return "Error while reading a central header";
    case ZIP_ER_INCONS:
        return "A central header signature is wrong";
    case ZIP_ER_MEMORY:
        return "Requested memory not available";
    default:
        return "Unknown error in List() function\n" + libzipText;
    }
}

DirectoryReading readZipDirectory(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return {};
    return fromReading(openArchive(path));
}

DirectoryReading readZipDirectory(const void* data, std::size_t size) { return fromReading(openArchive(data, size)); }

}  // namespace quillet::archive
