#include "acquire/page_reader.h"

#include <poll.h>

#include <algorithm>
#include <cstring>

#include "acquire/scanner_error.h"
#include "imaging/bit_rows.h"

namespace quillet::acquire {

namespace {

constexpr std::size_t kReadBytes = 64 * 1024;

using Clock = std::chrono::steady_clock;

inline std::uint64_t loadBigEndian64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return __builtin_bswap64(v);
}

// A sample of a 16-bit frame (host byte order) reduced to 8 bits.
inline std::uint8_t sample16(const std::uint8_t* line, std::size_t i) {
    std::uint16_t v;
    std::memcpy(&v, line + 2 * i, 2);
    return std::uint8_t(v >> 8);
}

int channelOf(SANE_Frame f) {
    switch (f) {
    case SANE_FRAME_RED: return 0;
    case SANE_FRAME_GREEN: return 1;
    case SANE_FRAME_BLUE: return 2;
    default: return -1;
    }
}

}  // namespace

PageReader::PageReader(SaneDevice& device, double xDpi, double yDpi) : device_(device) {
    image_.xDpi = xDpi;
    image_.yDpi = yDpi;
}

PageReader::~PageReader() {
    if (reading_) device_.cancel();
}

PageReader::Start PageReader::start() {
    const SANE_Status s = device_.start();
    if (s == SANE_STATUS_NO_DOCS) return Start::NoDocuments;
    if (s == SANE_STATUS_CANCELLED) return Start::Cancelled;
    if (s != SANE_STATUS_GOOD)
        throw ScannerError("The scanner " + device_.name() + " could not start the scan (" + statusText(s) + ")");
    reading_ = true;
    prepareReads();
    beginFrame();
    return Start::Started;
}

void PageReader::prepareReads() {
    // A descriptor to wait on is preferred: some backends' non-blocking
    // reads misreport an empty pipe as the end of the page.
    waitFd_ = device_.selectFd();
    if (waitFd_ < 0) device_.setNonBlocking();
}

void PageReader::beginFrame() {
    const SANE_Status s = device_.parameters(params_);
    const std::string where = "The scanner " + device_.name();
    if (s != SANE_STATUS_GOOD) {
        cancel();
        throw ScannerError(where + " gave no picture size (" + statusText(s) + ")");
    }
    const SANE_Parameters& p = params_;
    const int channel = channelOf(p.format);
    const bool colour = p.format != SANE_FRAME_GRAY;
    const bool known = p.format == SANE_FRAME_GRAY || p.format == SANE_FRAME_RGB || channel >= 0;
    const int samples = p.format == SANE_FRAME_RGB ? 3 : 1;
    const bool depthOk = p.depth == 8 || p.depth == 16 || (p.depth == 1 && !colour);
    const bool lineOk = p.pixels_per_line > 0 &&
                        std::int64_t(p.bytes_per_line) * 8 >= std::int64_t(p.pixels_per_line) * samples * p.depth;
    if (!known || !depthOk || !lineOk) {
        cancel();
        throw ScannerError(where + " sent a kind of picture that cannot be saved (frame " +
                           std::to_string(int(p.format)) + ", " + std::to_string(p.depth) + " bits)");
    }
    if (frame_ == 0) {
        image_.mode = !colour ? (p.depth == 1 ? ScanMode::LineArt : ScanMode::Grey) : ScanMode::Colour;
        image_.picture.width = p.pixels_per_line;
        image_.picture.channels = colour ? 3 : 1;
        if (p.lines > 0) {
            ensureRows(p.lines);
            bytesExpected_ = std::uint64_t(p.lines) * std::uint64_t(p.bytes_per_line) * (channel >= 0 ? 3 : 1);
        }
    } else if (p.pixels_per_line != image_.width() || (channel < 0) != (channel_ < 0)) {
        cancel();
        throw ScannerError(where + " changed the picture size between colour passes");
    }
    channel_ = channel;
    const std::size_t bpl = std::size_t(p.bytes_per_line);
    buffer_.resize(std::max<std::size_t>(1, kReadBytes / bpl) * bpl);
    filled_ = 0;
    row_ = 0;
}

void PageReader::ensureRows(int rows) {
    if (rows <= rows_) return;
    if (params_.lines <= 0 || rows > params_.lines) rows = std::max(rows, std::max(256, rows_ * 2));
    const int w = params_.pixels_per_line;
    if (image_.mode == ScanMode::LineArt) {
        image_.lineArt.setSize(w, rows);
    } else {
        image_.picture.bytes.resize(std::size_t(w) * std::size_t(image_.picture.channels) * std::size_t(rows));
    }
    rows_ = rows;
}

void PageReader::convertLines(const std::uint8_t* data, int count) {
    const std::size_t bpl = std::size_t(params_.bytes_per_line);
    const int w = params_.pixels_per_line;
    const bool deep = params_.depth == 16;
    for (int n = 0; n < count; ++n, data += bpl) {
        if (row_ >= rows_) {
            if (frame_ > 0) return;  // a later colour pass longer than the first
            ensureRows(row_ + 1);
        }
        const int y = row_++;
        if (image_.mode == ScanMode::LineArt) {
            // SANE's 1-bit lines: most significant bit first, 1 = black,
            // exactly the packed store's order.
            std::uint64_t* dst = image_.lineArt.row(y);
            const int wpr = image_.lineArt.wordsPerRow();
            for (int i = 0; i < wpr; ++i) {
                const std::size_t at = std::size_t(i) * 8;
                if (at + 8 <= bpl) {
                    dst[i] = loadBigEndian64(data + at);
                } else {
                    std::uint8_t tail[8] = {};
                    std::memcpy(tail, data + at, bpl - at);
                    dst[i] = loadBigEndian64(tail);
                }
            }
            dst[wpr - 1] &= imaging::leadingMask(w - ((wpr - 1) << 6));
            continue;
        }
        const int ch = image_.picture.channels;
        std::uint8_t* dst = image_.picture.bytes.data() + std::size_t(y) * std::size_t(w) * std::size_t(ch);
        if (channel_ >= 0) {
            for (int x = 0; x < w; ++x) dst[3 * x + channel_] = deep ? sample16(data, std::size_t(x)) : data[x];
        } else if (!deep) {
            std::memcpy(dst, data, std::size_t(w) * std::size_t(ch));
        } else {
            for (std::size_t i = 0; i < std::size_t(w) * std::size_t(ch); ++i) dst[i] = sample16(data, i);
        }
    }
}

bool PageReader::step(std::chrono::milliseconds budget) {
    const Clock::time_point deadline = Clock::now() + budget;
    idle_ = false;
    do {
        if (waitFd_ >= 0) {
            pollfd p{waitFd_, POLLIN, 0};
            if (::poll(&p, 1, 0) == 0) {
                idle_ = true;
                return false;
            }
        }
        int len = 0;
        const SANE_Status s = device_.read(buffer_.data() + filled_, int(buffer_.size() - filled_), len);
        if (s == SANE_STATUS_EOF) {
            endFrame();
            if (complete_) return true;
            continue;
        }
        if (s != SANE_STATUS_GOOD) {
            cancel();
            throw ScannerError("The scanner " + device_.name() + " failed while reading the page (" +
                               statusText(s) + ")");
        }
        if (len == 0) {
            idle_ = true;
            return false;
        }
        filled_ += std::size_t(len);
        bytesRead_ += std::uint64_t(len);
        const std::size_t bpl = std::size_t(params_.bytes_per_line);
        const std::size_t lines = filled_ / bpl;
        convertLines(buffer_.data(), int(lines));
        const std::size_t rest = filled_ - lines * bpl;
        if (rest > 0 && lines > 0) std::memmove(buffer_.data(), buffer_.data() + lines * bpl, rest);
        filled_ = rest;
    } while (Clock::now() < deadline);
    return false;
}

void PageReader::endFrame() {
    if (row_ == 0) {
        cancel();
        throw ScannerError("The scanner " + device_.name() + " sent an empty page");
    }
    if (frame_ == 0) {
        // The first (or only) frame fixes the page's height.
        const int w = params_.pixels_per_line;
        if (image_.mode == ScanMode::LineArt) {
            image_.lineArt.setSize(w, row_);
        } else {
            image_.picture.bytes.resize(std::size_t(w) * std::size_t(image_.picture.channels) * std::size_t(row_));
            image_.picture.height = row_;
        }
        rows_ = row_;
    }
    if (params_.last_frame) {
        // The device stays ready for the next sheet of a feeder.
        reading_ = false;
        complete_ = true;
        return;
    }
    ++frame_;
    const SANE_Status s = device_.start();
    if (s != SANE_STATUS_GOOD) {
        cancel();
        throw ScannerError("The scanner " + device_.name() + " could not start the next colour pass (" +
                           statusText(s) + ")");
    }
    prepareReads();
    beginFrame();
}

double PageReader::progress() const {
    if (complete_) return 1.0;
    if (bytesExpected_ == 0) return -1.0;
    return std::min(1.0, double(bytesRead_) / double(bytesExpected_));
}

void PageReader::cancel() {
    if (reading_) device_.cancel();
    reading_ = false;
}

NativeImage PageReader::take() {
    return std::move(image_);
}

}  // namespace quillet::acquire
