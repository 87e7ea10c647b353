// Fuzzing the zip engine's directory listing and the extraction's entry name
// check on arbitrary bytes: the input is read as an archive held in memory;
// every name it lists, and the input itself taken as a name, goes through
// the name check, whose accepted components must never climb out of the
// base folder or be absolute.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "archive/entry_names.h"
#include "archive/zip_directory.h"

namespace {

void checkName(std::string_view name) {
    quillet::archive::EntryPath path;
    std::string why;
    if (!quillet::archive::splitEntryName(name, path, why)) {
        if (why.empty()) std::abort();
        return;
    }
    if (path.directories.empty() && path.leaf.empty()) std::abort();
    auto unsafe = [](const std::string& part) {
        return part.empty() || part == "." || part == ".." ||
               part.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos;
    };
    for (const std::string& d : path.directories)
        if (unsafe(d)) std::abort();
    if (!path.leaf.empty() && unsafe(path.leaf)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const quillet::archive::DirectoryReading r = quillet::archive::readZipDirectory(data, size);
    using Outcome = quillet::archive::DirectoryReading::Outcome;
    if (r.outcome == Outcome::Failed && (r.message.empty() || !r.entries.empty())) std::abort();
    for (const quillet::archive::ZipEntry& e : r.entries) {
        if (e.directoryOnly != (!e.name.empty() && e.name.back() == '/')) std::abort();
        checkName(e.name);
    }
    checkName(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
