#include "layout/frame_builder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/output_directory.h"
#include "imaging/bitmap_error.h"
#include "layout/strip_writer.h"

namespace quillet::layout {

using imaging::Bitmap;
using imaging::Rect;
using imaging::Size;

imaging::Size targetSize(const CompositionSettings& s, int k) {
    const analysis::PageTable& p = *s.pages;
    return Size{s.stretchWidth ? p.LargestWidth : p.croppedWidth(k),
                s.stretchHeight ? p.LongestHeight : p.croppedHeight(k)};
}

int frameHeight(const CompositionSettings& s, int k) {
    const analysis::PageTable& p = *s.pages;
    return (s.layout.fixedHeight ? p.LongestHeight : p.croppedHeight(k)) + s.ti + s.bi;
}

namespace {

// One header or footer as it will be written.
struct PlacedText {
    std::string text;
    imaging::Font font;
    int x = 0, y = 0;
    int height = 0;
};

// Where everything of frame k goes, in frame coordinates.
struct FramePlan {
    int tw = 0, th = 0;  // target (working page) size
    int fw = 0, fh = 0;  // frame size
    int x = 0, y = 0;    // working page position (justified)
    Rect crop;
    std::vector<PlacedText> texts;  // footer first, then header

    // True when nothing drawn passes the frame's bottom edge, so the frame
    // may be drawn straight into a strip (the strip's width is the frame's,
    // so the left and right clipping is the same).
    bool insideVertically() const {
        if (th > 0 && tw > 0 && y + th > fh) return false;
        for (const PlacedText& t : texts)
            if (t.y + t.height > fh || t.y < 0) return false;
        return true;
    }
};

PlacedText placeText(const BorderTextSetting& t, int pointSize, int k, int W, int li, int y) {
    PlacedText p;
    p.font = t.font;
    p.font.pointSize = pointSize;
    p.text = t.text + " [" + std::to_string(k) + "]";
    const imaging::Size size = imaging::measureText(p.text, p.font);
    p.x = (W - size.width) / 2 + li;
    p.y = y;
    p.height = size.height;
    return p;
}

FramePlan planFrame(const CompositionSettings& s, int k) {
    const analysis::PageTable& p = *s.pages;
    FramePlan f;
    const Size target = targetSize(s, k);
    f.tw = std::max(0, target.width);
    f.th = std::max(0, target.height);
    f.fw = std::max(0, s.frameWidth());
    f.fh = std::max(0, frameHeight(s, k));
    f.crop = Rect{p.CropTopLeft[k].X, p.CropTopLeft[k].Y, p.CropBottomRight[k].X + 1, p.CropBottomRight[k].Y + 1};

    // The free space is measured on the whole frame, borders included.
    const JustificationOffsets off = justificationOffsets(
        s.horizontal, s.vertical, {s.layout.fixedWidth, s.stretchWidth, s.layout.fixedHeight, s.stretchHeight}, f.fw, f.tw,
        f.fh, f.th);
    f.x = s.li + off.x;
    f.y = s.ti + off.y;

    const int W = s.stretchWidth ? p.LargestWidth : p.croppedWidth(k);
    if (s.layout.bottomint > 2) f.texts.push_back(placeText(s.intfoot, s.bi / 2, k, W, s.li, f.fh - s.bi));
    if (s.layout.topint > 2) f.texts.push_back(placeText(s.inthead, s.ti / 2, k, W, s.li, 0));
    return f;
}

// Makes rows y0 .. y0 + fh - 1 of `dst` white where drawFrame will not
// write every pixel: all of them, or only around the working page when the
// crop box lies inside the source, so that the copy covers its rectangle.
void whitenFrame(const FramePlan& f, const Bitmap& source, Bitmap& dst, int y0) {
    // The last word of each row first: its bits past the width stay clear.
    if (dst.wordsPerRow() > 0)
        for (int y = y0; y < y0 + f.fh; ++y) dst.row(y)[dst.wordsPerRow() - 1] = 0;
    const bool covered = f.tw > 0 && f.th > 0 && !f.crop.isEmpty() && f.crop.left >= 0 && f.crop.top >= 0 &&
                         f.crop.right <= source.width() && f.crop.bottom <= source.height();
    if (!covered) {
        dst.fillRect(Rect{0, y0, dst.width(), y0 + f.fh}, imaging::kWhite);
        return;
    }
    const int top = y0 + f.y, bottom = top + f.th;
    dst.fillRect(Rect{0, y0, dst.width(), top}, imaging::kWhite);
    dst.fillRect(Rect{0, bottom, dst.width(), y0 + f.fh}, imaging::kWhite);
    dst.fillRect(Rect{0, top, f.x, bottom}, imaging::kWhite);
    dst.fillRect(Rect{f.x + f.tw, top, dst.width(), bottom}, imaging::kWhite);
}

// Draws the frame into rows y0 .. y0 + fh - 1 of `dst`, which are white
// (or whitened by whitenFrame): the crop box stretched (black wins when
// shrinking) to the target size at the justified position, then the texts
// written opaquely.
void drawFrame(const FramePlan& f, const Bitmap& source, Bitmap& dst, int y0) {
    if (f.tw > 0 && f.th > 0)
        dst.copyRect(Rect{f.x, y0 + f.y, f.x + f.tw, y0 + f.y + f.th}, source, f.crop);
    for (const PlacedText& t : f.texts) dst.drawText(t.x, y0 + t.y, t.text, t.font);
}

// Makes `frame` the whole frame, reusing its store: drawn in place when
// nothing passes the frame's bottom edge, otherwise on white and clipped.
void drawWhole(const FramePlan& f, const Bitmap& source, Bitmap& frame) {
    if (f.insideVertically()) {
        frame.reuseUninitialised(f.fw, f.fh);
        whitenFrame(f, source, frame, 0);
    } else {
        frame = Bitmap(f.fw, f.fh);
    }
    drawFrame(f, source, frame, 0);
}

}  // namespace

Bitmap buildFrame(const CompositionSettings& s, int k, const Bitmap& source) {
    Bitmap frame;
    drawWhole(planFrame(s, k), source, frame);
    return frame;
}

std::vector<Strip> buildStrips(const CompositionSettings& s, CompositionStatus& status, const PageLoader& load) {
    std::vector<Strip> strips;
    const int fw = std::max(0, s.frameWidth());
    Bitmap scratch;  // the frame being drawn, when the strip is compressed as it grows

    // Frame heights are known from the page table, so each strip's store is
    // made at its final height and frames are drawn into it (uncompressed),
    // or drawn one at a time and their kept rows written into it.
    int k = 1;
    while (k <= s.N) {
        int last = k;
        std::int64_t h = 0;
        for (; last <= s.N; ++last) {
            h += std::max(0, frameHeight(s, last));
            if (h > kStripCloseRows) break;
        }
        if (last > s.N) last = s.N;
        if (h > Bitmap::kMaxPixels / std::max(1, fw))
            throw imaging::BitmapError("Not enough memory for a strip of " + std::to_string(h) + " rows");

        Strip strip;
        std::optional<StripWriter> writer;
        if (s.compress) writer.emplace(strip, fw, int(h), s.tag);
        else strip.bitmap = Bitmap::uninitialised(fw, int(h));  // every row belongs to a frame, which whitens it
        int y = 0;
        for (; k <= last; ++k) {
            const std::string& name = s.names[std::size_t(k - 1)];
            status.say("Layout processing . . .  " + std::to_string(k) + "/" + std::to_string(s.N) + " (" +
                       name + ")");
            status.front();
            Bitmap source = load(app::joinPath(s.sourceDirectory, name));
            if (!source.monochrome()) source.setMonochrome(true);
            const FramePlan f = planFrame(s, k);
            if (writer) {
                drawWhole(f, source, scratch);
                writer->append(scratch);
            } else if (f.insideVertically()) {
                whitenFrame(f, source, strip.bitmap, y);
                drawFrame(f, source, strip.bitmap, y);
            } else {
                Bitmap frame;
                drawWhole(f, source, frame);
                if (frame.height() > 0 && fw > 0)
                    std::memcpy(strip.bitmap.row(y), frame.row(0),
                                sizeof(std::uint64_t) * std::size_t(frame.wordsPerRow()) * std::size_t(frame.height()));
            }
            y += f.fh;
        }
        if (writer) writer->close();
        else strip.originalHeight = strip.height();
        strips.push_back(std::move(strip));
    }
    status.say("");
    return strips;
}

}  // namespace quillet::layout
