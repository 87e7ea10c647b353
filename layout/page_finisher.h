#pragma once
// Finishing (the fourth phase of the OK command): the external page gets its
// Row-format height, its external footer and header, and is saved as
// <output directory>/<m><base name>.bmp.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "app/platform_services.h"
#include "imaging/bitmap.h"
#include "layout/composition_settings.h"

namespace quillet::layout {

// Writes a bitmap to a path; throws imaging::BitmapWriteError when the file
// was made but its contents could not all be written (a full disk), another
// std::exception when the file cannot be made at all. The default is imaging::saveBmp, which
// writes a temporary file and renames it, so a failed save leaves no
// truncated file under the name.
using PageSaver = std::function<void(const imaging::Bitmap&, const std::string&)>;

// The external page file could not be created at all (its directory is
// missing or cannot be written, the name is a directory or too long): the
// run stops with the general error report, whose text names the file.
class PageCreateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The mount point of the file system holding `directory` (the directory
// itself when it is one), "/" when nothing better is known.
std::string mountPointOf(const std::string& directory);

// "Write Error! You need at least " + (width x height div 8388608 + 1) +
// "MB free space on " + mountPoint, the product in 64 bits.
std::string writeErrorText(std::int64_t estimatedWidthPx, std::int64_t estimatedHeightPx,
                           const std::string& mountPoint);

enum class SaveOutcome { Saved, WriteFailed };

class PageFinisher {
public:
    PageFinisher(const CompositionSettings& settings, app::PlatformServices& platform, PageSaver saver)
        : s_(settings), platform_(platform), saver_(std::move(saver)) {}

    // Finishes external page m (from 1) and saves it. A short write shows
    // the Write Error warning and returns WriteFailed (the run goes on); any
    // other failure throws PageCreateError naming the file and the cause. Needs a QGuiApplication when a text is drawn.
    SaveOutcome finish(imaging::Bitmap& page, int m);

    // Adds the Row-format height change and the external footer and header.
    void decorate(imaging::Bitmap& page, int m) const;

private:
    const CompositionSettings& s_;
    app::PlatformServices& platform_;
    PageSaver saver_;
};

}  // namespace quillet::layout
