#include "layout/frame_builder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "app/output_directory.h"
#include "imaging/bitmap_error.h"

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
    return (s.fixHeight ? p.LongestHeight : p.croppedHeight(k)) + s.ti + s.bi;
}

namespace {

// Writes "text [k]" centred over W pixels starting at li, at row y, in the
// font with the given point size.
void writeBorderText(Bitmap& frame, const BorderTextSetting& t, int pointSize, int k, int W, int li,
                     int y) {
    imaging::Font font = t.font;
    font.pointSize = pointSize;
    const std::string text = t.text + " [" + std::to_string(k) + "]";
    const int tw = imaging::measureText(text, font).width;
    frame.drawText((W - tw) / 2 + li, y, text, font);
}

}  // namespace

Bitmap buildFrame(const CompositionSettings& s, int k, const Bitmap& source) {
    const analysis::PageTable& p = *s.pages;
    const Size target = targetSize(s, k);
    const int tw = std::max(0, target.width), th = std::max(0, target.height);

    // The working page: the crop box copied into a target-sized rectangle.
    Bitmap work(tw, th);
    const Rect crop{p.CropTopLeft[k].X, p.CropTopLeft[k].Y, p.CropBottomRight[k].X + 1,
                    p.CropBottomRight[k].Y + 1};
    work.copyRect(Rect{0, 0, tw, th}, source, crop);

    const int fw = std::max(0, s.frameWidth());
    const int fh = std::max(0, frameHeight(s, k));
    Bitmap frame(fw, fh);

    int hoff = 0, voff = 0;
    if (s.fixHeight && !s.stretchHeight) {
        if (s.vertical == VerticalJustification::Centre) voff = (fh - th) / 2;
        else if (s.vertical == VerticalJustification::Bottom) voff = fh - th;
    }
    if (s.fixWidth && !s.stretchWidth) {
        if (s.horizontal == HorizontalJustification::Centre) hoff = (fw - tw) / 2;
        else if (s.horizontal == HorizontalJustification::Right) hoff = fw - tw;
    }
    frame.blit(s.li + hoff, s.ti + voff, work, 0, 0, tw, th);

    const int W = s.stretchWidth ? p.LargestWidth : p.croppedWidth(k);
    if (s.bottomint > 2) writeBorderText(frame, s.intfoot, s.bi / 2, k, W, s.li, fh - s.bi);
    if (s.topint > 2) writeBorderText(frame, s.inthead, s.ti / 2, k, W, s.li, 0);
    return frame;
}

std::vector<Strip> buildStrips(const CompositionSettings& s, CompositionStatus& status,
                               const PageLoader& load, const StripClosed& closed) {
    std::vector<Strip> strips;
    const int fw = std::max(0, s.frameWidth());

    // Frame heights are known from the page table, so each strip is made at
    // its final height and frames are copied into it.
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
        strip.bitmap = Bitmap(fw, int(h));
        int y = 0;
        for (; k <= last; ++k) {
            const std::string& name = s.names[std::size_t(k - 1)];
            status.say("Layout processing . . .  " + std::to_string(k) + "/" + std::to_string(s.N) + " (" +
                       name + ")");
            status.front();
            Bitmap source = load(app::joinPath(s.sourceDirectory, name));
            if (!source.monochrome()) source.setMonochrome(true);
            const Bitmap frame = buildFrame(s, k, source);
            if (frame.height() > 0 && fw > 0)
                std::memcpy(strip.bitmap.row(y), frame.row(0),
                            sizeof(std::uint64_t) * std::size_t(frame.wordsPerRow()) * std::size_t(frame.height()));
            y += frame.height();
        }
        strip.originalHeight = strip.height();
        if (closed) closed(strip);
        strips.push_back(std::move(strip));
    }
    status.say("");
    return strips;
}

}  // namespace quillet::layout
