#include "archive/central_directory.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace quillet::archive {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;      // PK 5 6
constexpr std::uint32_t kEnd64Signature = 0x06064b50;    // PK 6 6
constexpr std::uint32_t kLocatorSignature = 0x07064b50;  // PK 6 7
constexpr std::uint32_t kCentralSignature = 0x02014b50;  // PK 1 2
constexpr std::uint32_t kLocalSignature = 0x04034b50;    // PK 3 4
constexpr std::size_t kEndSize = 22, kEnd64Size = 56, kLocatorSize = 20, kCentralSize = 46;
constexpr std::size_t kMaxComment = 0xffff;
// A directory larger than this is not read whole into memory.
constexpr std::uint64_t kMaxDirectory = std::uint64_t(1) << 28;
constexpr std::uint16_t kUtf8Flag = 1u << 11;

std::uint64_t le(const char* p, int bytes) {
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(p[i]);
    return v;
}

void putLe(std::string& out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(char((v >> (8 * i)) & 0xff));
}

bool signatureAt(const ReadAt& read, std::uint64_t offset, std::uint32_t signature) {
    char b[4];
    return read(offset, b, 4) && le(b, 4) == signature;
}

// Where the directory ends and what the end records say of it.
struct EndRecords {
    std::uint64_t directoryEnd = 0;  // the first byte after the directory
    std::uint64_t statedOffset = 0;
    std::uint64_t size = 0;
};

// The last end record whose comment fits in the file, with the archive's
// directory size and offset (from the Zip64 record where there is one).
std::optional<EndRecords> findEnd(std::uint64_t fileSize, const ReadAt& read) {
    if (fileSize < kEndSize) return std::nullopt;
    const std::uint64_t span = std::min<std::uint64_t>(fileSize, kEndSize + kMaxComment);
    std::string tail(span, '\0');
    if (!read(fileSize - span, tail.data(), span)) return std::nullopt;
    for (std::size_t at = span - kEndSize + 1; at-- > 0;) {
        const char* e = tail.data() + at;
        if (le(e, 4) != kEndSignature || at + kEndSize + le(e + 20, 2) > span) continue;
        const std::uint64_t position = fileSize - span + at;
        EndRecords r;
        r.directoryEnd = position;
        r.size = le(e + 12, 4);
        r.statedOffset = le(e + 16, 4);
        const bool split = le(e + 4, 2) != 0 || le(e + 6, 2) != 0;
        if (position >= kLocatorSize + kEnd64Size && signatureAt(read, position - kLocatorSize, kLocatorSignature)) {
            // The Zip64 end record lies just before its locator.
            const std::uint64_t end64 = position - kLocatorSize - kEnd64Size;
            char z[kEnd64Size];
            if (!read(end64, z, kEnd64Size) || le(z, 4) != kEnd64Signature) return std::nullopt;
            if (le(z + 16, 4) != 0 || le(z + 20, 4) != 0) return std::nullopt;  // split over disks
            r.directoryEnd = end64;
            r.size = le(z + 40, 8);
            r.statedOffset = le(z + 48, 8);
        } else if (split) {
            return std::nullopt;
        }
        if (r.size > r.directoryEnd) return std::nullopt;
        return r;
    }
    return std::nullopt;
}

// Reads one central record at `at` of `dir`; its length, or 0 when it is
// not a whole record.
std::size_t readRecord(const std::string& dir, std::size_t at, RawEntry& e, std::uint64_t& localOffset) {
    if (dir.size() - at < kCentralSize) return 0;
    const char* r = dir.data() + at;
    if (le(r, 4) != kCentralSignature) return 0;
    const std::size_t nameLength = le(r + 28, 2), extraLength = le(r + 30, 2), commentLength = le(r + 32, 2);
    const std::size_t length = kCentralSize + nameLength + extraLength + commentLength;
    if (dir.size() - at < length) return 0;
    e.record.assign(r, length);
    e.name.assign(r + kCentralSize, nameLength);
    e.dosTime = std::uint16_t(le(r + 12, 2));
    e.dosDate = std::uint16_t(le(r + 14, 2));
    e.compressedSize = le(r + 20, 4);
    e.size = le(r + 24, 4);
    localOffset = le(r + 42, 4);
    // The Zip64 field holds, in this order, each value stored as all ones.
    const char* extra = r + kCentralSize + nameLength;
    for (std::size_t x = 0; x + 4 <= extraLength;) {
        const std::size_t id = le(extra + x, 2), n = le(extra + x + 2, 2);
        if (x + 4 + n > extraLength) break;
        if (id == 1) {
            const char* v = extra + x + 4;
            std::size_t used = 0;
            for (std::uint64_t* field : {&e.size, &e.compressedSize, &localOffset}) {
                if (*field != 0xffffffffu || used + 8 > n) continue;
                *field = le(v + used, 8);
                used += 8;
            }
        }
        x += 4 + n;
    }
    return length;
}

}  // namespace

bool isUtf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xe ? 3 : (c >> 3) == 0x1e ? 4 : 0;
        if (n == 0 || i + n > s.size() || (n == 2 && c < 0xc2)) return false;
        std::uint32_t code = n == 1 ? c : c & (0x7f >> n);
        for (std::size_t k = 1; k < n; ++k) {
            const unsigned char t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xc0) != 0x80) return false;
            code = code << 6 | (t & 0x3f);
        }
        if ((n == 3 && (code < 0x800 || (code >= 0xd800 && code < 0xe000))) ||
            (n == 4 && (code < 0x10000 || code > 0x10ffff)))
            return false;
        i += n;
    }
    return true;
}

std::optional<RawDirectory> readRawDirectory(std::uint64_t fileSize, const ReadAt& read) {
    const std::optional<EndRecords> end = findEnd(fileSize, read);
    if (!end || end->size > kMaxDirectory) return std::nullopt;
    RawDirectory out;
    out.directory = end->directoryEnd - end->size;
    out.moved = out.directory != end->statedOffset;
    std::string dir(std::size_t(end->size), '\0');
    if (!read(out.directory, dir.data(), dir.size())) return std::nullopt;
    std::uint64_t firstLocal = 0;
    for (std::size_t at = 0; at < dir.size();) {
        RawEntry e;
        std::uint64_t local = 0;
        const std::size_t length = readRecord(dir, at, e, local);
        if (length == 0) return std::nullopt;
        if (out.entries.empty()) firstLocal = local;
        out.entries.push_back(std::move(e));
        at += length;
    }
    // Data in front moves every offset by its length; an offset that is only
    // off in the end record leaves the entries where their records say.
    if (out.directory > end->statedOffset) {
        const std::uint64_t front = out.directory - end->statedOffset;
        if (!out.entries.empty() && signatureAt(read, front + firstLocal, kLocalSignature)) out.base = front;
    }
    return out;
}

RepairedDirectory repairDirectory(const RawDirectory& raw) {
    RepairedDirectory out;
    out.base = raw.base;
    out.headLength = raw.directory - raw.base;
    std::set<std::string> seen;
    std::string& tail = out.tail;
    std::uint64_t count = 0;
    for (const RawEntry& e : raw.entries) {
        if (!seen.insert(e.name).second) {
            out.index.push_back(-1);
            continue;
        }
        out.index.push_back(std::int64_t(count++));
        std::string record = e.record;
        const std::size_t nameLength = le(record.data() + 28, 2), extraLength = le(record.data() + 30, 2);
        const std::string comment = record.substr(kCentralSize + nameLength + extraLength);
        const std::uint16_t flags = std::uint16_t(le(record.data() + 8, 2));
        if ((flags & kUtf8Flag) && !(isUtf8(e.name) && isUtf8(comment))) {
            record[8] = char(flags & ~kUtf8Flag & 0xff);
            record[9] = char((flags & ~kUtf8Flag) >> 8);
        }
        tail += record;
    }
    const std::uint64_t size = tail.size(), offset = out.headLength;
    const bool zip64 = count >= 0xffff || size >= 0xffffffffu || offset >= 0xffffffffu;
    if (zip64) {
        const std::uint64_t end64 = offset + size;
        putLe(tail, kEnd64Signature, 4);
        putLe(tail, kEnd64Size - 12, 8);
        putLe(tail, 45, 2);  // made by, needed: 4.5
        putLe(tail, 45, 2);
        putLe(tail, 0, 4);
        putLe(tail, 0, 4);
        putLe(tail, count, 8);
        putLe(tail, count, 8);
        putLe(tail, size, 8);
        putLe(tail, offset, 8);
        putLe(tail, kLocatorSignature, 4);
        putLe(tail, 0, 4);
        putLe(tail, end64, 8);
        putLe(tail, 1, 4);
    }
    putLe(tail, kEndSignature, 4);
    putLe(tail, 0, 4);
    putLe(tail, zip64 ? 0xffff : count, 2);
    putLe(tail, zip64 ? 0xffff : count, 2);
    putLe(tail, zip64 ? 0xffffffffu : size, 4);
    putLe(tail, zip64 ? 0xffffffffu : offset, 4);
    putLe(tail, 0, 2);
    return out;
}

}  // namespace quillet::archive
