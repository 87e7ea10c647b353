#include "layout/page_finisher.h"

#include <sys/stat.h>

#include <exception>
#include <filesystem>

#include "app/message_boxes.h"
#include "app/output_directory.h"
#include "imaging/bitmap_error.h"

namespace quillet::layout {

namespace fs = std::filesystem;

std::string mountPointOf(const std::string& directory) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::path(app::restoreRoot(directory)), ec);
    if (ec || p.empty()) return "/";
    // Climb to the nearest existing directory, then up while the device stays.
    while (!fs::exists(p, ec) && p.has_parent_path() && p != p.parent_path()) p = p.parent_path();
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) return "/";
    const dev_t dev = st.st_dev;
    while (p.has_parent_path() && p != p.parent_path()) {
        const fs::path up = p.parent_path();
        struct stat su {};
        if (::stat(up.c_str(), &su) != 0 || su.st_dev != dev) break;
        p = up;
    }
    return p.string();
}

std::string writeErrorText(std::int64_t w, std::int64_t h, const std::string& mountPoint) {
    return "Write Error! You need at least " + std::to_string(w * h / 8388608 + 1) + "MB free space on " +
           mountPoint;
}

void PageFinisher::decorate(imaging::Bitmap& page, int m) const {
    if (s_.rowFormat()) page.setSize(page.width(), s_.layout.CLP + s_.geometry.E + s_.geometry.F);
    auto write = [&](const BorderTextSetting& t, int pointSize, int y) {
        imaging::Font font = t.font;
        font.pointSize = pointSize;
        const std::string text = t.text + " [" + std::to_string(m) + "]";
        const int tw = imaging::measureText(text, font).width;
        page.drawText((page.width() - tw) / 2, y, text, font);
    };
    if (s_.layout.bottomext > 2) write(s_.extfoot, s_.geometry.F / 2, page.height() - s_.geometry.F);
    if (s_.layout.topext > 2) write(s_.exthead, s_.geometry.E / 2, 0);
}

SaveOutcome PageFinisher::finish(imaging::Bitmap& page, int m) {
    decorate(page, m);
    const std::string path = app::joinPath(s_.outputDirectory, s_.pageFileName(m));
    try {
        saver_(page, path);
        return SaveOutcome::Saved;
    } catch (const imaging::BitmapWriteError&) {
        app::showWarning(platform_, writeErrorText(s_.estimatedWidthPx, s_.estimatedHeightPx,
                                                   mountPointOf(s_.outputDirectory)));
        return SaveOutcome::WriteFailed;
    } catch (const std::exception& e) {
        throw PageCreateError("Cannot save '" + path + "': " + e.what());
    }
}

}  // namespace quillet::layout
