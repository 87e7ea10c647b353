#pragma once
// Autocrop: finds each page's crop box (the box that holds its text, without
// the white margins and without thin specks near the edges) and gathers the
// size statistics of the page table.

#include <cstdint>
#include <string>

#include "analysis/page_table.h"
#include "app/main_form.h"
#include "app/platform_services.h"
#include "imaging/bitmap.h"

namespace quillet::analysis {

// An inclusive box of pixel coordinates.
struct CropBox {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    friend bool operator==(const CropBox&, const CropBox&) = default;
};

// The shortest run of consecutive ink lines that counts as text at an edge.
inline constexpr int kMinInkRun = 6;

// The crop box of one monochrome page. Each edge is the first line, seen from
// its side, that starts a run of at least six ink lines (left and right over
// all rows, top and bottom over all columns); shorter runs are passed over.
// A side whose walk reaches the far edge without such a run keeps the page's
// own edge (0 or width-1 / height-1), so left <= right and top <= bottom
// always hold; a blank page gets the whole page. An empty bitmap gets
// 0, 0, width-1, height-1.
CropBox findCropBox(const imaging::Bitmap& page);

// The box of the whole page: 0, 0, width-1, height-1.
CropBox wholePage(const imaging::Bitmap& page);

// "Autocrop processing . . . k/N.   P%  complete" with P = k*100 div N.
// Precondition: n > 0.
std::string autocropProgressText(int k, int n);

// The autocrop pass over the pages of a lock, fed one loaded page at a time
// so that only one page is held in memory:
//   begin(N)         - the first progress text (when autocrop is on), the
//                      statistics set to 0, the hourglass;
//   addPage(k, page) - the crop box of page k (or the whole page when autocrop
//                      is off), its progress text, the window to the front,
//                      a repaint, and the statistics grown by its box;
//   end()            - the beep and the normal cursor.
// Writes the crop boxes and LargestWidth, LongestHeight, TotalLines and
// TotalWidth of the page table. Sums saturate at the largest 32-bit value.
class AutocropPass {
public:
    // enabled: the Autocrop1 switch as it stands at the lock.
    AutocropPass(app::MainForm& form, app::PlatformServices& platform, PageTable& table,
                 bool enabled);

    // Precondition: 1 <= pageCount <= PageTable::kMaxPages.
    void begin(int pageCount);
    // Precondition: 1 <= k <= pageCount, pages in order; page monochrome.
    CropBox addPage(int k, const imaging::Bitmap& page);
    void end();

private:
    app::MainForm& form_;
    app::PlatformServices& platform_;
    PageTable& table_;
    bool enabled_;
    int pageCount_ = 0;
    std::int64_t totalLines_ = 0;
    std::int64_t totalWidth_ = 0;
};

}  // namespace quillet::analysis
