#pragma once
// An archive's central directory read record by record from its bytes, for
// the archives that libzip refuses as they stand but that are whole enough
// to read: a directory that is not where its end record says (data in
// front of the archive, as a self-extracting stub leaves, or an offset that
// is off), two entries of one name, a name flagged UTF-8 that is not. From
// it a repaired directory is made that libzip accepts, holding the first
// entry of each name, every entry's data found where it lies.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillet::archive {

// Reads `n` bytes of the archive file at `offset` into `out`; false when
// they are not all there.
using ReadAt = std::function<bool(std::uint64_t offset, void* out, std::size_t n)>;

struct RawEntry {
    std::string name;             // the stored bytes
    std::string record;           // the whole central record, as stored
    std::uint64_t size = 0;       // uncompressed bytes
    std::uint64_t compressedSize = 0;
    std::uint16_t dosTime = 0, dosDate = 0;
};

struct RawDirectory {
    std::uint64_t base = 0;       // where the archive starts: the bytes in front of it
    std::uint64_t directory = 0;  // where the central directory lies, from the file's start
    bool moved = false;           // the end record says another place
    std::vector<RawEntry> entries;
};

// Reads the directory of an archive of `fileSize` bytes; nothing when no end
// record is found or the records cannot be read (a truncated or foreign
// file, an archive split over disks).
std::optional<RawDirectory> readRawDirectory(std::uint64_t fileSize, const ReadAt& read);

// A directory for libzip: the bytes from the archive's start up to its
// directory (read from the file), then `tail`, the repaired directory and
// its end records.
struct RepairedDirectory {
    std::uint64_t base = 0;        // the archive's start in the file
    std::uint64_t headLength = 0;  // bytes kept from the file, from `base`
    std::string tail;
    // For each entry of the raw directory, its index in the repaired one;
    // -1 for a later entry of a name listed before it.
    std::vector<std::int64_t> index;
};

// The first entry of each name in order, UTF-8 flags cleared where the name
// or comment is not UTF-8 (libzip then reads them as code page 437).
RepairedDirectory repairDirectory(const RawDirectory& raw);

// True when `s` is well-formed UTF-8.
bool isUtf8(const std::string& s);

}  // namespace quillet::archive
