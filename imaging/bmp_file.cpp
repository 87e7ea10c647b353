// BMP files: our own reader and writer for the 1-bit path and our own
// run-length decoder; Qt's decoder for other uncompressed depths.
//
// Every header field is checked before anything is allocated from it, and a
// file is only read as far as its headers say it extends, so a malformed or
// hostile file fails with a BitmapError instead of crashing or exhausting
// memory.

#include "imaging/bmp_file.h"

#include <fcntl.h>
#include <sys/types.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <cassert>
#include <cmath>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>
#include <string>

#include "base/posix_file.h"
#include "base/scope_guard.h"
#include "base/temp_file.h"
#include "imaging/bit_rows.h"
#include "imaging/bmp_header.h"
#include "imaging/bmp_rle.h"
#include "imaging/colour.h"
#include "imaging/word_bytes.h"

namespace quillet::imaging {

namespace {

// A black-and-white page keeps the resolution of its file, for the writer.
Bitmap withResolution(Bitmap bitmap, const BmpHeader& h) {
    bitmap.xPixelsPerMetre = h.xPixelsPerMetre;
    bitmap.yPixelsPerMetre = h.yPixelsPerMetre;
    return bitmap;
}

// A growable byte buffer that is not cleared on growth; kept per thread so
// that loading or saving page after page reuses one block.
class Scratch {
public:
    std::uint8_t* get(std::size_t n) {
        if (n > capacity_) {
            data_.reset();
            data_.reset(new std::uint8_t[n]);
            capacity_ = n;
        }
        return data_.get();
    }
    // Gives back memory held for an unusually large file.
    void trim() {
        if (capacity_ > kKeep) {
            data_.reset();
            capacity_ = 0;
        }
    }

private:
    static constexpr std::size_t kKeep = std::size_t(16) << 20;
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t capacity_ = 0;
};

thread_local Scratch scratch;

std::string errnoText() { return std::strerror(errno); }

// Reads up to n bytes at the file's current position; returns the count read
// (less than n only at the end of the file).
std::size_t readFully(int fd, std::uint8_t* p, std::size_t n) {
    const std::ptrdiff_t r = base::readFully(fd, p, n);
    if (r < 0) throw BitmapError("Cannot read the bitmap file (" + errnoText() + ")");
    return std::size_t(r);
}

void writeFully(int fd, const std::uint8_t* p, std::size_t n) {
    if (!base::writeFully(fd, p, n)) throw BitmapWriteError("Cannot write the bitmap file (" + errnoText() + ")");
}

inline std::uint64_t loadBigEndian64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return __builtin_bswap64(v);
}

inline void storeBigEndian64(std::uint8_t* p, std::uint64_t v) {
    v = __builtin_bswap64(v);
    std::memcpy(p, &v, 8);
}

Rgb tableColour(const BmpHeader& h, const std::uint8_t* file, int index, Rgb missing) {
    if (index >= h.tableEntries) return missing;
    const std::uint8_t* e = file + h.tableOffset + std::size_t(index) * h.tableEntrySize;
    return Rgb{e[2], e[1], e[0]};  // stored blue, green, red
}

// Converts `count` stored rows of 1-bit pixel data, from the file's row
// `first` on, into a monochrome store where a set bit means colour-table
// index `inkIndex`. `rows` holds `available` readable bytes: a row whose last
// word can be read whole, padding and all, is converted in one run and its
// padding bits cleared; the others copy their last bytes out first.
void decodeOneBitRows(const BmpHeader& h, const std::uint8_t* rows, std::size_t available, int first, int count,
                      int inkIndex, Bitmap& out) {
    const int w = int(h.width), height = int(h.height);
    const int wpr = out.wordsPerRow();
    const std::uint64_t flip = inkIndex == 0 ? ~std::uint64_t(0) : 0;
    const std::uint64_t lastMask = leadingMask(w - ((wpr - 1) << 6));
    const std::size_t rowBytes = std::size_t(w + 7) / 8;
    const std::size_t tailBytes = rowBytes - std::size_t(wpr - 1) * 8;
    const std::size_t wordBytes = std::size_t(wpr) * 8;
    for (int i = 0; i < count; ++i) {
        const int fileRow = first + i;
        const std::size_t at = std::size_t(i) * h.stride;
        const std::uint8_t* src = rows + at;
        std::uint64_t* dst = out.row(h.topDown ? fileRow : height - 1 - fileRow);
        if (at + wordBytes <= available) {
            wordsFromBigEndian(src, std::size_t(wpr), flip, dst);
            dst[wpr - 1] &= lastMask;
            continue;
        }
        wordsFromBigEndian(src, std::size_t(wpr - 1), flip, dst);
        std::uint8_t tail[8] = {};
        std::memcpy(tail, src + std::size_t(wpr - 1) * 8, tailBytes);
        dst[wpr - 1] = (loadBigEndian64(tail) ^ flip) & lastMask;
    }
}

// The colour-table index of ink in a 1-bit file: the darker entry; equal
// entries make index 0 black.
int oneBitInkIndex(const BmpHeader& h, const std::uint8_t* file) {
    const Rgb c0 = tableColour(h, file, 0, kBlack);
    const Rgb c1 = tableColour(h, file, 1, kWhite);
    return luminance(c1) < luminance(c0) ? 1 : 0;
}

Bitmap decodeWithQt(const BmpHeader& h, const std::uint8_t* file, std::size_t size) {
    // Qt refuses images over its allocation limit (with a warning on the
    // console); refuse them first, with our own message. Qt counts four
    // bytes per pixel whatever the file's depth.
    const std::int64_t limitMiB = QImageReader::allocationLimit();
    const std::int64_t imageBytes = h.width * h.height * 4;
    if (limitMiB > 0 && imageBytes > (limitMiB << 20))
        throw BitmapTooLarge("Bitmap of " + std::to_string(h.width) + " x " + std::to_string(h.height) +
                             " pixels is too large to display in colour");
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(file), qsizetype(size));
    QImage image;
    if (!image.loadFromData(bytes, "BMP") || image.isNull())
        throw BitmapError("Bitmap pixel data could not be decoded");
    return Bitmap::fromQImage(image);
}

}  // namespace

Bitmap decodeBmp(const std::uint8_t* file, std::size_t size) {
    const BmpHeader h = parseBmpHeader(file, size, size);
    const std::size_t needed = h.bytesNeeded(size);
    if (h.compression == 1 || h.compression == 2) return decodeRle(h, file, needed);
    if (h.bitsPerPixel != 1) return decodeWithQt(h, file, needed);

    const int inkIndex = oneBitInkIndex(h, file);
    Bitmap bitmap = Bitmap::uninitialised(int(h.width), int(h.height));  // every row written below
    decodeOneBitRows(h, file + h.dataOffset, size - h.dataOffset, 0, int(h.height), inkIndex, bitmap);
    if (h.monochrome()) return withResolution(std::move(bitmap), h);

    // Several planes: not a monochrome bitmap; show the table's colours.
    bitmap.setMonochrome(false);
    const Rgb c0 = tableColour(h, file, 0, kBlack);
    const Rgb c1 = tableColour(h, file, 1, kWhite);
    const std::uint32_t ink = packRgb(inkIndex == 1 ? c1 : c0);
    const std::uint32_t paper = packRgb(inkIndex == 1 ? c0 : c1);
    for (int y = 0; y < bitmap.height(); ++y) {
        std::uint32_t* r = bitmap.colourRow(y);
        for (int x = 0; x < bitmap.width(); ++x) r[x] = r[x] == packRgb(kBlack) ? ink : paper;
    }
    return bitmap;
}

namespace {

// Rows of pixel data read at a time: the buffer stays in the cache, where
// they are decoded, so the data passes through memory only once.
constexpr std::size_t kStreamBytes = std::size_t(128) << 10;

// True for a plain black-and-white file whose colour table lies inside the
// `headLen` bytes already read: its rows can be decoded as they arrive.
bool streamable(const BmpHeader& h, std::size_t headLen) {
    const std::size_t entries = std::size_t(std::min(h.tableEntries, 2));
    return h.monochrome() && h.compression == 0 && h.tableOffset + entries * std::size_t(h.tableEntrySize) <= headLen;
}

Bitmap streamOneBit(int fd, const BmpHeader& h, const std::uint8_t* head) {
    const int inkIndex = oneBitInkIndex(h, head);
    Bitmap bitmap = Bitmap::uninitialised(int(h.width), int(h.height));  // every row written below
    const int height = int(h.height);
    const int chunkRows = int(std::clamp<std::size_t>(kStreamBytes / h.stride, 1, std::size_t(height)));
    // A word of room past the rows lets the last row be read in whole words.
    const std::size_t room = std::size_t(chunkRows) * h.stride + 8;
    std::uint8_t* buf = scratch.get(room);
    for (int first = 0; first < height; first += chunkRows) {
        const int count = std::min(chunkRows, height - first);
        const std::size_t bytes = std::size_t(count) * h.stride;
        const std::ptrdiff_t r = base::preadFully(fd, buf, bytes, off_t(h.dataOffset + std::size_t(first) * h.stride));
        if (r < 0) throw BitmapError("Cannot read the bitmap file (" + errnoText() + ")");
        if (std::size_t(r) != bytes) throw BitmapError("Bitmap file is truncated (it shrank while being read)");
        decodeOneBitRows(h, buf, room, first, count, inkIndex, bitmap);
    }
    return withResolution(std::move(bitmap), h);
}

}  // namespace

Bitmap loadBmp(const std::string& path) {
    const base::UniqueFd f(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!f.valid()) throw BitmapError("Cannot open the bitmap file (" + errnoText() + ")");
    struct stat st {};
    if (::fstat(f.get(), &st) != 0) throw BitmapError("Cannot read the bitmap file (" + errnoText() + ")");
    if (!S_ISREG(st.st_mode)) throw BitmapError("The bitmap path is not a regular file");
    const std::size_t fileSize = std::size_t(st.st_size);

    // Headers first; then only as much of the file as they say it holds.
    std::uint8_t head[kBmpMaxHeaderBytes];
    const std::size_t headLen = readFully(f.get(), head, std::min(fileSize, sizeof head));
    const BmpHeader h = parseBmpHeader(head, headLen, fileSize);
    const std::size_t needed = h.bytesNeeded(fileSize);
    const base::ScopeExit trim([] { scratch.trim(); });
    if (streamable(h, headLen)) return streamOneBit(f.get(), h, head);
    // The headers may say the file ends before the bytes read for them.
    std::uint8_t* buf = scratch.get(needed);
    std::memcpy(buf, head, std::min(headLen, needed));
    if (needed > headLen && readFully(f.get(), buf + headLen, needed - headLen) != needed - headLen)
        throw BitmapError("Bitmap file is truncated (it shrank while being read)");
    return decodeBmp(buf, needed);
}

BmpHeader readBmpHeader(const std::string& path) {
    const base::UniqueFd f(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!f.valid()) throw BitmapError("Cannot open the bitmap file (" + errnoText() + ")");
    struct stat st {};
    if (::fstat(f.get(), &st) != 0) throw BitmapError("Cannot read the bitmap file (" + errnoText() + ")");
    std::uint8_t head[kBmpMaxHeaderBytes];
    const std::size_t headLen = readFully(f.get(), head, sizeof head);
    return parseBmpHeader(head, headLen, std::size_t(st.st_size));
}

bool isMonochromeBmp(const std::string& path) { return readBmpHeader(path).monochrome(); }

std::size_t encodedBmpSize(const Bitmap& bitmap) {
    const std::size_t w = std::size_t(bitmap.width()), h = std::size_t(bitmap.height());
    if (bitmap.monochrome()) return 62 + (w + 31) / 32 * 4 * h;
    return 54 + (w * 24 + 31) / 32 * 4 * h;
}

namespace {

// Where the parts of a bitmap's BMP file go.
struct BmpLayout {
    int bits = 1;  // 1 (black and white), 8 (grey levels) or 24
    bool mono = true;
    int width = 0, height = 0;
    BmpResolution res;
    std::uint32_t offset = 0;  // the pixel data's start
    std::size_t stride = 0;    // bytes per stored row
    std::size_t total = 0;

    BmpLayout(int w, int h, int bitsPerPixel, BmpResolution r)
        : bits(bitsPerPixel), mono(bits == 1), width(w), height(h), res(r),
          offset(14 + 40 + (bits == 1 ? 8 : bits == 8 ? 1024 : 0)),
          stride((std::size_t(width) * std::size_t(bits) + 31) / 32 * 4),
          total(offset + stride * std::size_t(height)) {}
    // Without a resolution of its own, the file takes the bitmap's.
    explicit BmpLayout(const Bitmap& bitmap, BmpResolution r = {})
        : BmpLayout(bitmap.width(), bitmap.height(), bitmap.monochrome() ? 1 : 24,
                    r.x != 0 || r.y != 0 ? r : BmpResolution{bitmap.xPixelsPerMetre, bitmap.yPixelsPerMetre}) {}
};

// The file and info headers and the colour table: the first offset bytes.
void encodeHeaders(const BmpLayout& l, std::uint8_t* out) {
    std::memset(out, 0, l.offset);
    auto put16 = [&](std::size_t at, std::uint32_t v) {
        out[at] = std::uint8_t(v);
        out[at + 1] = std::uint8_t(v >> 8);
    };
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = std::uint8_t(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, std::uint32_t(l.total));  // wraps for files over 4 GiB, as the format must
    put32(10, l.offset);
    put32(14, 40);
    put32(18, std::uint32_t(l.width));
    put32(22, std::uint32_t(l.height));  // positive: rows bottom-up
    put16(26, 1);
    put16(28, std::uint32_t(l.bits));
    put32(34, std::uint32_t(l.stride * std::size_t(l.height)));
    put32(38, std::uint32_t(l.res.x));
    put32(42, std::uint32_t(l.res.y));
    if (l.mono) {
        // Table: index 0 black, index 1 white (zero bytes then 0xffffff00).
        out[58] = out[59] = out[60] = 0xff;
    } else if (l.bits == 8) {
        for (int i = 0; i < 256; ++i) out[54 + 4 * i] = out[55 + 4 * i] = out[56 + 4 * i] = std::uint8_t(i);
    }
}

// Bitmap row y as stored: stride bytes at dst.
void encodeRow(const Bitmap& bitmap, const BmpLayout& l, int y, std::uint8_t* dst) {
    if (l.mono) {
        const int wpr = bitmap.wordsPerRow();
        if (wpr == 0) return;
        const std::uint64_t lastMask = leadingMask(l.width - ((wpr - 1) << 6));
        const std::uint64_t* src = bitmap.row(y);
        // File bit 0 is black: invert; bits past the width stay 0. The last
        // word is all of the row's last 8 bytes, or only its first 4.
        bigEndianFromWords(src, std::size_t(wpr - 1), ~std::uint64_t(0), dst);
        std::uint8_t tail[8];
        storeBigEndian64(tail, ~src[wpr - 1] & lastMask);
        std::memcpy(dst + 8 * std::size_t(wpr - 1), tail, l.stride - 8 * std::size_t(wpr - 1));
    } else {
        const std::uint32_t* src = bitmap.colourRow(y);
        for (int x = 0; x < l.width; ++x) {
            dst[3 * x] = std::uint8_t(src[x]);
            dst[3 * x + 1] = std::uint8_t(src[x] >> 8);
            dst[3 * x + 2] = std::uint8_t(src[x] >> 16);
        }
        std::memset(dst + 3 * std::size_t(l.width), 0, l.stride - 3 * std::size_t(l.width));
    }
}

}  // namespace

void encodeBmp(const Bitmap& bitmap, std::uint8_t* out, BmpResolution res) {
    const BmpLayout l(bitmap, res);
    encodeHeaders(l, out);
    for (int i = 0; i < l.height; ++i) encodeRow(bitmap, l, l.height - 1 - i, out + l.offset + std::size_t(i) * l.stride);
}

std::vector<std::uint8_t> encodeBmp(const Bitmap& bitmap) {
    std::vector<std::uint8_t> bytes(encodedBmpSize(bitmap));
    encodeBmp(bitmap, bytes.data());
    return bytes;
}

namespace {

// Writes the file laid out by `l`, `row(y, dst)` encoding stored row y.
// The file is encoded and written a cache-sized chunk at a time: each
// chunk is still in the cache when the kernel copies it, and large
// single writes cost the kernel several times more.
template <class EncodeRow>
void writeBmpFile(const std::string& path, const BmpLayout& l, EncodeRow row) {
    // Past a file-size limit the kernel would kill the process part-way
    // through a write; ignored, the write fails with EFBIG, a write error.
    static const bool fileSizeSignalIgnored = std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
    (void)fileSizeSignalIgnored;
    const std::size_t chunk = std::max<std::size_t>(std::size_t(64) << 10, l.offset + l.stride);
    std::uint8_t* buf;
    try {
        buf = scratch.get(chunk);
    } catch (const std::bad_alloc&) {
        throw BitmapError("Not enough memory to save the bitmap");
    }
    const base::ScopeExit trim([] { scratch.trim(); });

    // A fresh file beside the target, renamed over it once complete.
    base::TemporaryFile t = base::temporaryBeside(path);
    if (!t.fd.valid()) throw BitmapError("Cannot create the bitmap file (" + errnoText() + ")");
    base::UniqueFd f = std::move(t.fd);
    const std::string& temp = t.name;
    base::ScopeExit dropTemp([&temp] { ::unlink(temp.c_str()); });

    encodeHeaders(l, buf);
    std::size_t used = l.offset;
    for (int i = 0; i < l.height; ++i) {
        if (used + l.stride > chunk) {
            writeFully(f.get(), buf, used);
            used = 0;
        }
        row(l.height - 1 - i, buf + used);
        used += l.stride;
    }
    writeFully(f.get(), buf, used);
    if (::close(f.release()) != 0) throw BitmapWriteError("Cannot write the bitmap file (" + errnoText() + ")");
    if (::rename(temp.c_str(), path.c_str()) != 0)
        throw BitmapError("Cannot replace the bitmap file (" + errnoText() + ")");
    dropTemp.dismiss();
    base::removeStaleTemporariesBeside(path);
}

}  // namespace

void saveBmp(const Bitmap& bitmap, const std::string& path) { saveBmpAtResolution(bitmap, path, {}); }

void saveBmpAtResolution(const Bitmap& bitmap, const std::string& path, BmpResolution res) {
    const BmpLayout l(bitmap, res);
    writeBmpFile(path, l, [&](int y, std::uint8_t* dst) { encodeRow(bitmap, l, y, dst); });
}

BmpResolution bmpResolutionFromDpi(double xDpi, double yDpi) {
    auto ppm = [](double dpi) { return dpi > 0 ? std::int32_t(std::lround(dpi / 0.0254)) : 0; };
    return BmpResolution{ppm(xDpi), ppm(yDpi)};
}

void saveByteImageBmp(const ByteImage& image, const std::string& path, BmpResolution res) {
    assert(image.channels == 1 || image.channels == 3);
    assert(image.bytes.size() == std::size_t(image.width) * std::size_t(image.height) * std::size_t(image.channels));
    const BmpLayout l(image.width, image.height, 8 * image.channels, res);
    const std::size_t rowBytes = std::size_t(image.width) * std::size_t(image.channels);
    writeBmpFile(path, l, [&](int y, std::uint8_t* dst) {
        const std::uint8_t* src = image.bytes.data() + std::size_t(y) * rowBytes;
        if (image.channels == 1) {
            std::memcpy(dst, src, rowBytes);
        } else {
            for (int x = 0; x < image.width; ++x) {  // stored blue, green, red
                dst[3 * x] = src[3 * x + 2];
                dst[3 * x + 1] = src[3 * x + 1];
                dst[3 * x + 2] = src[3 * x];
            }
        }
        std::memset(dst + rowBytes, 0, l.stride - rowBytes);
    });
}

}  // namespace quillet::imaging
