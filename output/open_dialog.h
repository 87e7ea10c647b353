#pragma once
// OpenDialog1, the file dialog that printing, the preview and the viewer
// share: it opens in the output directory with the file name "*.bmp" and
// lists the bitmap files; the chosen file must exist.

#include <optional>
#include <string>

#include "app/main_form.h"
#include "app/platform_services.h"

namespace quillet::output {

// Brings the output directory up to date (the output directory rule; the
// root's cut form becomes "/" again), then runs the dialog there. Returns the
// chosen file's full path, or nothing on Cancel.
std::optional<std::string> chooseBitmapFile(app::MainForm& form, app::PlatformServices& platform);

}  // namespace quillet::output
