#include "output/open_dialog.h"

#include "app/output_directory.h"

namespace quillet::output {

std::optional<std::string> chooseBitmapFile(app::MainForm& form, app::PlatformServices& platform) {
    app::applyOutputDirectoryRule(form);
    app::OpenFileRequest request;  // "Bitmap Files(*.BMP) | *.BMP", "*.bmp"
    request.directory = app::restoreRoot(form.OutputDirectory);
    return platform.openFile(request);
}

}  // namespace quillet::output
