// Rectangle copies with stretching, on the packed store.
//
// Each axis maps destination index i of a d-long rectangle onto the source
// pixels [floor(i*s/d), floor((i+1)*s/d)) of an s-long one, at least one
// pixel. Shrinking a monochrome source ORs the ink of every source pixel of
// the range (black wins), enlarging repeats pixels, colour sources take the
// first pixel of the range (dropped rows and columns are lost).
//
// The monochrome engine works row by row: the source rows of a destination
// row are ORed word by word, the band's columns are cut out aligned to bit 0,
// and one per-call column map turns them into the destination row, which is
// then deposited word-wise. Each distinct destination row is built once;
// rows that enlarging repeats are copied from the one above.
//
// The column map picks a path per call from the shape of the mapping:
// 1:1 is a plain shifted word copy; halving has a bit-compress path;
// enlarging by a whole factor of 2..8 expands each source byte through a
// lookup table; any other enlargement builds each destination word from one
// 64-bit source fetch, with a bit deposit where the processor has a fast one
// (see Deposit and Segments below); shrinking by other ratios
// gathers one bit per destination pixel from a black-wins smeared band.

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "imaging/bit_rows.h"
#include "imaging/bitmap.h"
#include "imaging/bitmap_copy.h"
#include "imaging/colour.h"

namespace quillet::imaging {

namespace {

__extension__ typedef __int128 Wide;

// The clipped mapping of one axis: destination indices [first, first +
// count.size()) (relative to the destination rectangle's start) are inside
// the destination bitmap and have source pixels inside the source bitmap;
// start[k] and count[k] are the (absolute, clipped) source pixels of
// destination index first + k.
struct AxisMap {
    std::int64_t first = 0;  // up to the rectangle's length, which may pass the int range
    std::vector<int> start;
    std::vector<int> count;
    int size() const { return int(start.size()); }
};

AxisMap mapAxis(int dstStart, int dstEnd, int dstLimit, int srcStart, int srcEnd, int srcLimit) {
    AxisMap m;
    const std::int64_t d = std::int64_t(dstEnd) - dstStart;
    const std::int64_t s = std::int64_t(srcEnd) - srcStart;
    if (d <= 0 || s <= 0) return m;
    const std::int64_t lo = std::max<std::int64_t>(0, -std::int64_t(dstStart));
    const std::int64_t hi = std::min<std::int64_t>(d, std::int64_t(dstLimit) - dstStart);
    if (hi > lo) {
        m.start.reserve(std::size_t(hi - lo));
        m.count.reserve(std::size_t(hi - lo));
    }
    // i * s / d for successive i, carried as quotient and remainder so that
    // no step divides (the lengths are differences of ints: d < 2^33).
    const std::int64_t stepQuotient = s / d, stepRemainder = s % d;
    const Wide first = Wide(lo) * s;
    std::int64_t q = std::int64_t(first / d), r = std::int64_t(first % d);
    const auto advance = [&] {
        q += stepQuotient;
        r += stepRemainder;
        if (r >= d) {
            r -= d;
            ++q;
        }
    };
    std::int64_t a = q;
    for (std::int64_t i = lo; i < hi; ++i) {
        advance();
        const std::int64_t next = q;
        const std::int64_t b = std::max<std::int64_t>(next, a + 1);
        const std::int64_t s0 = std::max<std::int64_t>(srcStart + a, 0);
        const std::int64_t s1 = std::min<std::int64_t>(srcStart + b, srcLimit);
        a = next;
        if (s0 >= s1) {
            if (m.start.empty()) continue;  // before the source's start
            break;                          // past the source's end
        }
        if (m.start.empty()) m.first = i;
        m.start.push_back(int(s0));
        m.count.push_back(int(s1 - s0));
    }
    return m;
}

// 64 bits of a row starting at bit x (MSB-first); the word after the one
// holding x must exist.
inline std::uint64_t fetch64(const std::uint64_t* row, int x) {
    const int q = x >> 6, r = x & 63;
    return r ? (row[q] << r) | (row[q + 1] >> (64 - r)) : row[q];
}

// Enlarging by depositing: the word's source bits go to the first pixel of
// each repeat run with the processor's parallel bit deposit, and the runs are
// then filled from their first pixel in doubling steps. Only where the
// deposit is one fast instruction: it is microcoded, and far slower than the
// mask walk, on the first two Zen generations.
std::atomic<bool> bitDepositAllowed{true};

#if defined(__x86_64__)
bool fastBitDeposit() {
    static const bool fast = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("bmi2") && !__builtin_cpu_is("znver1") && !__builtin_cpu_is("znver2");
    }();
    return fast && bitDepositAllowed.load(std::memory_order_relaxed);
}

// One destination word of a deposit: its pixels in the word's bit order,
// whose first bit may lie inside the word (the rectangle's left edge).
struct DepositWord {
    int word = 0;             // the band's word holding the first source bit
    int shift = 0;            // that bit's place in it (0 = most significant)
    int keep = 0;             // 64 - source pixels of the word (first pixels of runs)
    std::uint64_t first = 0;  // the first pixel of each run
    std::uint64_t cover = 0;  // every pixel of the word inside the rectangle
    std::uint64_t repeat[6];  // fill step s: pixels 2^s or more into their run
};

// Writes the deposited words over dst (Copy: only inside the rectangle) or
// ORs them in (black wins). Steps > 0 fixes the fill steps at compile time.
// The band starts at src; the word after its last must be readable.
template <int Steps, bool OrInk>
__attribute__((target("bmi2"))) void depositWordsWith(const DepositWord* words, std::size_t n, int steps,
                                                      const std::uint64_t* src, std::uint64_t* dst) {
    if (Steps > 0) steps = Steps;
    for (std::size_t w = 0; w < n; ++w) {
        const DepositWord& d = words[w];
        // 64 bits from the word's first source bit; the shift in two steps
        // reads nothing of the next word when the bit starts its own.
        const std::uint64_t fetched = (src[d.word] << d.shift) | ((src[d.word + 1] >> 1) >> (63 - d.shift));
        std::uint64_t v = _pdep_u64(fetched >> d.keep, d.first);
        for (int s = 0; s < steps; ++s) v |= (v >> (1 << s)) & d.repeat[s];
        dst[w] = OrInk ? dst[w] | v : (dst[w] & ~d.cover) | v;
    }
}

void depositWords(const std::vector<DepositWord>& words, int steps, const std::uint64_t* src, std::uint64_t* dst,
                  bool orInk) {
    const DepositWord* d = words.data();
    const std::size_t n = words.size();
    if (steps == 1) {  // any ratio under 2
        if (orInk) return depositWordsWith<1, true>(d, n, 1, src, dst);
        return depositWordsWith<1, false>(d, n, 1, src, dst);
    }
    if (orInk) return depositWordsWith<0, true>(d, n, steps, src, dst);
    return depositWordsWith<0, false>(d, n, steps, src, dst);
}
#else
bool fastBitDeposit() { return false; }
#endif

// Appends bit strings to a row of words, most significant bit first.
class BitWriter {
public:
    explicit BitWriter(std::uint64_t* out) : out_(out) {}
    // Appends the low len bits of v (1 <= len <= 64; bits above len clear).
    void put(std::uint64_t v, int len) {
        const int spill = used_ + len - 64;
        if (spill < 0) {
            acc_ |= v << -spill;
            used_ += len;
            return;
        }
        *out_++ = acc_ | (v >> spill);
        acc_ = spill ? v << (64 - spill) : 0;
        used_ = spill;
    }
    void flush() {
        if (used_) *out_++ = acc_;
        used_ = 0;
        acc_ = 0;
    }

private:
    std::uint64_t* out_;
    std::uint64_t acc_ = 0;
    int used_ = 0;
};

// For factor f in 2..8: each byte value spread to 8 * f bits, every source
// bit repeated f times, right-aligned.
const std::uint64_t* repeatTable(int f) {
    static const auto tables = [] {
        std::vector<std::uint64_t> t(7 * 256);
        for (int ff = 2; ff <= 8; ++ff)
            for (int byte = 0; byte < 256; ++byte) {
                std::uint64_t v = 0;
                for (int bit = 7; bit >= 0; --bit)
                    for (int r = 0; r < ff; ++r) v = (v << 1) | ((byte >> bit) & 1u);
                t[std::size_t(ff - 2) * 256 + std::size_t(byte)] = v;
            }
        return t;
    }();
    return tables.data() + std::size_t(f - 2) * 256;
}

// OR of each adjacent pair of bits of a word, packed into the low 32 bits in
// pixel order.
inline std::uint64_t halvePairs(std::uint64_t w) {
    std::uint64_t x = ((w | (w << 1)) & 0xAAAAAAAAAAAAAAAAull) >> 1;
    x = (x | (x >> 1)) & 0x3333333333333333ull;
    x = (x | (x >> 2)) & 0x0F0F0F0F0F0F0F0Full;
    x = (x | (x >> 4)) & 0x00FF00FF00FF00FFull;
    x = (x | (x >> 8)) & 0x0000FFFF0000FFFFull;
    x = (x | (x >> 16)) & 0x00000000FFFFFFFFull;
    return x;
}

// dst[x] |= dst[x + step] over n words, in place (reads ahead of writes).
void orShiftedLeft(std::uint64_t* dst, int n, int step) {
    const int q = step >> 6, r = step & 63;
    for (int i = 0; i < n; ++i) {
        const std::uint64_t a = i + q < n ? dst[i + q] : 0;
        std::uint64_t v = a;
        if (r) {
            const std::uint64_t b = i + q + 1 < n ? dst[i + q + 1] : 0;
            v = (a << r) | (b >> (64 - r));
        }
        dst[i] |= v;
    }
}

// Turns a band's source columns (aligned to bit 0) into destination bits.
class ColumnMapper {
public:
    // dstPhase: the bit of its first word where a monochrome destination
    // rectangle starts (deposits are written into the row itself); -1 for a
    // colour destination.
    ColumnMapper(const AxisMap& xs, int dstPhase) : n_(xs.size()) {
        x0_ = xs.start.front();
        srcBits_ = xs.start.back() + xs.count.back() - x0_;
        srcWords_ = wordsFor(srcBits_) + 1;  // one spare zero word for halving and fetch64
        bool identity = srcBits_ == n_, halving = srcBits_ == 2 * n_, enlarging = true;
        for (int k = 0; k < n_ && (identity || halving || enlarging); ++k) {
            identity = identity && xs.count[k] == 1;
            halving = halving && xs.count[k] == 2;
            // One source pixel each, the source advancing by 0 or 1.
            enlarging = enlarging && xs.count[k] == 1 &&
                        (k == 0 || xs.start[k] - xs.start[k - 1] == 0 || xs.start[k] - xs.start[k - 1] == 1);
        }
        if (identity) {
            kind_ = Kind::Identity;
        } else if (halving) {
            kind_ = Kind::Halving;
        } else if (enlarging && wholeFactor(xs)) {
            kind_ = Kind::Repeat;
        } else if (enlarging && dstPhase >= 0 && fastBitDeposit()) {
            kind_ = Kind::Deposit;
            buildDeposit(xs, dstPhase);
        } else if (enlarging) {
            kind_ = Kind::Segments;
            buildSegments(xs);
        } else {
            kind_ = Kind::Gather;
            buildGather(xs);
        }
    }

    int firstSourceColumn() const { return x0_; }
    // True when mapInto writes the destination row itself.
    bool deposits() const { return kind_ == Kind::Deposit; }

    // For deposits: the band's columns, from the source row's word holding
    // the first of them (the word after their last must be readable), into
    // the destination row's words from the rectangle's first word, Copy or
    // black wins.
    void mapInto(const std::uint64_t* src, std::uint64_t* dstWords, bool orInk) const {
#if defined(__x86_64__)
        depositWords(deposit_, depositSteps_, src, dstWords, orInk);
#else
        (void)src, (void)dstWords, (void)orInk;
#endif
    }
    int sourceBits() const { return srcBits_; }
    int sourceWords() const { return srcWords_; }
    bool identity() const { return kind_ == Kind::Identity; }

    // src: sourceWords() words with the band's columns at bit 0 and zeros
    // after; out: wordsFor(n) + 1 words (the spare one may be overwritten).
    // Bits past n in out's word wordsFor(n) - 1 come out clear.
    void map(const std::uint64_t* src, std::uint64_t* out) {
        assert(kind_ != Kind::Deposit);  // deposits go through mapInto
        const int outWords = wordsFor(n_);
        if (kind_ == Kind::Identity) {
            std::copy(src, src + outWords, out);
            return;
        }
        if (kind_ == Kind::Halving) {
            for (int k = 0; k < outWords; ++k)
                out[k] = (halvePairs(src[2 * k]) << 32) | halvePairs(src[2 * k + 1]);
            out[outWords - 1] &= leadingMask(n_ - ((outWords - 1) << 6));
            return;
        }
        if (kind_ == Kind::Repeat) {
            mapRepeat(src, out);
            return;
        }
        if (kind_ == Kind::Segments) {
            mapSegments(src, out);
            return;
        }
        // Per distinct run length L a copy of the band where bit x holds the
        // OR of bits [x, x + L), so each destination pixel is one bit fetch.
        for (std::size_t l = 0; l < lengths_.size(); ++l) {
            std::uint64_t* s = smeared_.data() + l * srcWords_;
            std::copy(src, src + srcWords_, s);
            for (int cover = 1; cover < lengths_[l];) {
                const int step = std::min(cover, lengths_[l] - cover);
                orShiftedLeft(s, srcWords_, step);
                cover += step;
            }
        }
        const std::uint64_t* s = smeared_.data();
        for (int k = 0, j = 0; k < outWords; ++k) {
            const int end = std::min(n_, j + 64);
            std::uint64_t acc = 0;
            int bit = 63;
            for (; j < end; ++j, --bit) acc |= ((s[index_[j]] >> shift_[j]) & 1u) << bit;
            out[k] = acc;
        }
    }

private:
    enum class Kind { Identity, Halving, Repeat, Deposit, Segments, Gather };

    // Whole-factor enlargement: destination k takes source (k + phase_) /
    // factor_ (relative to x0_), factor_ in 2..8; phase_ < factor_ is how many
    // repeats of the first source pixel clipping cut off.
    bool wholeFactor(const AxisMap& xs) {
        int first = 1;
        while (first < n_ && xs.start[first] == xs.start[0]) ++first;
        if (first == n_) return false;  // one source pixel: the general path does it
        int f = 1;
        while (first + f < n_ && xs.start[first + f] == xs.start[first]) ++f;
        if (f < 2 || f > 8 || first > f) return false;
        const int phase = f - first;
        for (int k = 0; k < n_; ++k)
            if (xs.start[k] - x0_ != (k + phase) / f) return false;
        factor_ = f;
        phase_ = phase;
        return true;
    }

    // Enlarging by any ratio, word by word. Within destination word w the
    // source advances by one pixel per destination pixel except at repeats;
    // the pixels after the s-th repeat of the word (segment s) are the 64
    // source bits fetched at the word's first source pixel, shifted right by
    // s. So the word is the OR over its segments of (fetch >> s) & mask_s.
    // Near 1:1 a word has a few segments, at 2x about 33. Every word gets
    // the same number of masks (the most any word needs, unused ones 0), so
    // the inner loop has one trip count per call and predicts well.
    void buildSegments(const AxisMap& xs) {
        const int outWords = wordsFor(n_);
        wordSource_.resize(std::size_t(outWords));
        int most = 1;
        for (int w = 0; w < outWords; ++w) {
            const int k0 = w << 6, k1 = std::min(n_, k0 + 64);
            int segments = 1;
            for (int k = k0 + 1; k < k1; ++k) segments += xs.start[k] == xs.start[k - 1];
            most = std::max(most, segments);
        }
        stride_ = most;
        masks_.assign(std::size_t(outWords) * std::size_t(stride_), 0);
        for (int w = 0; w < outWords; ++w) {
            const int k0 = w << 6, k1 = std::min(n_, k0 + 64);
            wordSource_[std::size_t(w)] = xs.start[k0] - x0_;
            std::uint64_t* m = masks_.data() + std::size_t(w) * std::size_t(stride_);
            for (int k = k0; k < k1; ++k) {
                if (k > k0 && xs.start[k] == xs.start[k - 1]) ++m;
                *m |= std::uint64_t(1) << (63 - (k - k0));
            }
        }
    }

    // The deposit masks of each destination word, the rectangle starting at
    // bit `phase` of its first word; the fill steps are as many as the
    // longest run of repeats in any word needs.
    void buildDeposit(const AxisMap& xs, int phase) {
#if defined(__x86_64__)
        const int words = wordsFor(phase + n_);
        deposit_.assign(std::size_t(words), DepositWord{});
        int longest = 1;
        for (int w = 0; w < words; ++w) {
            const int k0 = std::max(0, (w << 6) - phase), k1 = std::min(n_, (w << 6) + 64 - phase);
            DepositWord& d = deposit_[std::size_t(w)];
            const int source = xs.start[k0] - x0_ + (x0_ & 63);  // from the band's first word
            d.word = source >> 6;
            d.shift = source & 63;
            d.keep = 64 - (xs.start[k1 - 1] - xs.start[k0] + 1);
            std::uint64_t repeats = 0;
            for (int k = k0, run = 0; k < k1; ++k) {
                const std::uint64_t bit = std::uint64_t(1) << (63 - ((k + phase) & 63));
                d.cover |= bit;
                if (k > k0 && xs.start[k] == xs.start[k - 1]) {
                    repeats |= bit;
                    longest = std::max(longest, ++run + 1);
                } else {
                    d.first |= bit;
                    run = 0;
                }
            }
            for (int s = 0; s < 6; ++s) {
                d.repeat[s] = repeats;
                repeats &= repeats >> (1 << s);  // at least 2^(s+1) into a run
            }
        }
        depositSteps_ = 0;
        while ((1 << depositSteps_) < longest) ++depositSteps_;
#else
        (void)xs;
        (void)phase;
#endif
    }

    void buildGather(const AxisMap& xs) {
        for (int c : xs.count)
            if (std::find(lengths_.begin(), lengths_.end(), c) == lengths_.end()) lengths_.push_back(c);
        smeared_.assign(std::size_t(srcWords_) * lengths_.size(), 0);
        index_.resize(n_);
        shift_.resize(n_);
        for (int k = 0; k < n_; ++k) {
            const int which = int(std::find(lengths_.begin(), lengths_.end(), xs.count[k]) - lengths_.begin());
            const int rel = xs.start[k] - x0_;
            index_[k] = std::uint32_t(which * srcWords_ + (rel >> 6));
            shift_[k] = std::uint8_t(63 - (rel & 63));
        }
    }

    void mapRepeat(const std::uint64_t* src, std::uint64_t* out) const {
        const std::uint64_t* table = repeatTable(factor_);
        const int bitsPerByte = 8 * factor_;
        const auto byteAt = [&](int b) { return (src[b >> 3] >> (56 - 8 * (b & 7))) & 0xFFu; };
        BitWriter writer(out);
        // The first byte loses the phase_ leading bits clipping cut off.
        int written = bitsPerByte - phase_;
        writer.put(table[byteAt(0)] & (~std::uint64_t(0) >> (64 - written)), written);
        for (int b = 1; written < n_; ++b, written += bitsPerByte) writer.put(table[byteAt(b)], bitsPerByte);
        writer.flush();
        const int outWords = wordsFor(n_);
        out[outWords - 1] &= leadingMask(n_ - ((outWords - 1) << 6));
    }

    // The segment masks of a word applied to its source fetch; Stride > 0
    // fixes the mask count at compile time (unrolled, constant shifts).
    template <int Stride>
    void mapSegmentsWith(const std::uint64_t* src, std::uint64_t* out) const {
        const int outWords = wordsFor(n_);
        const int stride = Stride > 0 ? Stride : stride_;
        const std::uint64_t* m = masks_.data();
        for (int w = 0; w < outWords; ++w, m += stride) {
            const std::uint64_t v = fetch64(src, wordSource_[std::size_t(w)]);
            std::uint64_t acc = v & m[0];
            for (int s = 1; s < stride; ++s) acc |= (v >> s) & m[s];
            out[w] = acc;
        }
    }

    void mapSegments(const std::uint64_t* src, std::uint64_t* out) const {
        switch (stride_) {
            case 1: return mapSegmentsWith<1>(src, out);
            case 2: return mapSegmentsWith<2>(src, out);
            case 3: return mapSegmentsWith<3>(src, out);
            case 4: return mapSegmentsWith<4>(src, out);
            case 5: return mapSegmentsWith<5>(src, out);
            case 6: return mapSegmentsWith<6>(src, out);
            case 7: return mapSegmentsWith<7>(src, out);
            case 8: return mapSegmentsWith<8>(src, out);
            default: return mapSegmentsWith<0>(src, out);
        }
    }

    int n_ = 0;
    int x0_ = 0;
    int srcBits_ = 0;
    int srcWords_ = 0;
    Kind kind_ = Kind::Gather;
    int factor_ = 0;
    int phase_ = 0;
    int stride_ = 0;                   // masks per destination word
    std::vector<int> wordSource_;      // first source bit of each destination word
    std::vector<std::uint64_t> masks_; // stride_ segment masks per destination word
#if defined(__x86_64__)
    std::vector<DepositWord> deposit_;
    int depositSteps_ = 0;
#endif
    std::vector<int> lengths_;
    std::vector<std::uint64_t> smeared_;
    std::vector<std::uint32_t> index_;
    std::vector<std::uint8_t> shift_;
};

}  // namespace

void allowBitDeposit(bool allowed) { bitDepositAllowed.store(allowed, std::memory_order_relaxed); }

void Bitmap::blit(int dstX, int dstY, const Bitmap& src, int srcX, int srcY, int w, int h,
                  CopyMode mode) {
    if (w <= 0 || h <= 0) return;
    const auto end = [](int a, int n) { return int(std::min<std::int64_t>(std::int64_t(a) + n, INT32_MAX)); };
    copyRect({dstX, dstY, end(dstX, w), end(dstY, h)}, src, {srcX, srcY, end(srcX, w), end(srcY, h)}, mode);
}

void Bitmap::copyRect(const Rect& dstRect, const Bitmap& src, const Rect& srcRect, CopyMode mode) {
    if (dstRect.isEmpty() || srcRect.isEmpty()) return;
    if (&src == this) {
        // Overlapping source and destination: work from a snapshot.
        const Bitmap snapshot(src);
        copyRect(dstRect, snapshot, srcRect, mode);
        return;
    }
    const AxisMap xs = mapAxis(dstRect.left, dstRect.right, width_, srcRect.left, srcRect.right, src.width());
    const AxisMap ys = mapAxis(dstRect.top, dstRect.bottom, height_, srcRect.top, srcRect.bottom, src.height());
    if (xs.size() == 0 || ys.size() == 0) return;
    // Inside the destination, so within the int range.
    const int dx0 = int(dstRect.left + xs.first);
    const int dy0 = int(dstRect.top + ys.first);
    const int n = xs.size();
    const bool orInk = mode == CopyMode::And;

    if (!src.monochrome()) {
        // Colour source: nearest (first) source pixel per destination pixel.
        for (int k = 0; k < ys.size(); ++k) {
            const std::uint32_t* s = src.colourRow(ys.start[k]);
            const int y = dy0 + k;
            for (int j = 0; j < n; ++j) {
                const std::uint32_t p = s[xs.start[j]];
                const int x = dx0 + j;
                if (monochrome_) {
                    const bool ink = isDark(unpackRgb(p));
                    if (ink || !orInk) setBlack(x, y, ink);
                } else {
                    std::uint32_t& d = colourRow(y)[x];
                    d = orInk ? (d & p) : p;
                }
            }
        }
        return;
    }

    ColumnMapper columns(xs, monochrome_ ? dx0 & 63 : -1);
    const int x0 = columns.firstSourceColumn();
    const int srcWordFirst = x0 >> 6;
    const int srcWordLast = (x0 + columns.sourceBits() - 1) >> 6;
    const int bandWords = srcWordLast - srcWordFirst + 1;
    std::vector<std::uint64_t> band(std::size_t(bandWords) + 1, 0);  // a spare zero word for deposits
    std::vector<std::uint64_t> aligned(columns.sourceWords(), 0);
    std::vector<std::uint64_t> out(std::size_t(wordsFor(n)) + 1);

    int lastStart = -1, lastCount = -1;
    bool lastBlank = false;                // the band of the last distinct row has no ink
    const std::uint64_t* lastBits = nullptr;  // and its words
    for (int k = 0; k < ys.size(); ++k) {
        const int y0 = ys.start[k], cnt = ys.count[k];
        if (y0 != lastStart || cnt != lastCount) {
            // Enlarging repeats destination rows: compute each distinct one once.
            const std::uint64_t* bits;
            // Deposits read one word past the band: the source row's next
            // word, or the next row's first; the store's last word has none.
            const bool spareWord = srcWordLast + 1 < src.wordsPerRow() || y0 + 1 < src.height();
            if (cnt == 1 && (spareWord || !columns.deposits())) {
                bits = src.row(y0) + srcWordFirst;
            } else {
                // The band's rows ORed (one row: copied beside a spare word).
                const std::uint64_t* r = src.row(y0) + srcWordFirst;
                std::copy(r, r + bandWords, band.data());
                for (int y = y0 + 1; y < y0 + cnt; ++y) {
                    r = src.row(y) + srcWordFirst;
                    for (int w = 0; w < bandWords; ++w) band[w] |= r[w];
                }
                bits = band.data();
            }
            lastStart = y0;
            lastCount = cnt;
            lastBits = bits;
            // A blank band (the gaps between text lines) maps to white.
            lastBlank = monochrome_ && !anyInk(bits, x0 & 63, (x0 & 63) + columns.sourceBits());
            if (lastBlank) {
                if (!orInk) fillBits(row(dy0 + k), dx0, dx0 + n, false);
                continue;
            }
            if (columns.identity() && (x0 & 63) == 0 && monochrome_ && !orInk) {
                // Copied 1:1 from a word boundary: the source words go
                // straight into the destination row (Copy masks the bits
                // past n).
                depositBits(row(dy0 + k), dx0, bits, n, false);
                continue;
            }
            if (columns.deposits()) {
                columns.mapInto(bits, row(dy0 + k) + (dx0 >> 6), orInk);
                continue;
            }
            if (columns.identity()) {
                extractBits(bits, x0 & 63, n, out.data());
            } else {
                extractBits(bits, x0 & 63, columns.sourceBits(), aligned.data());
                columns.map(aligned.data(), out.data());
            }
        } else if (monochrome_ && !orInk) {
            // A repeated row in Copy mode equals the destination row above
            // over the rectangle's columns.
            copyBitsAcross(row(dy0 + k - 1), row(dy0 + k), dx0, dx0 + n);
            continue;
        } else if (lastBlank) {
            continue;  // no ink to add again
        }
        const int y = dy0 + k;
        if (columns.deposits()) {  // a repeated row, ORed in again
            columns.mapInto(lastBits, row(y) + (dx0 >> 6), orInk);
        } else if (monochrome_) {
            depositBits(row(y), dx0, out.data(), n, orInk);
        } else {
            std::uint32_t* d = colourRow(y) + dx0;
            for (int j = 0; j < n; ++j) {
                const bool ink = (out[j >> 6] >> (63 - (j & 63))) & 1u;
                if (ink)
                    d[j] = packRgb(kBlack);
                else if (!orInk)
                    d[j] = packRgb(kWhite);
            }
        }
    }
}

}  // namespace quillet::imaging
