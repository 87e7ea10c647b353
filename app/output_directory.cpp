#include "app/output_directory.h"

#include "app/main_form.h"

namespace quillet::app {

void applyOutputDirectoryRule(MainForm& form) {
    if (!form.OutputDirectoryChosen) form.OutputDirectory = form.directory();
}

std::string cutRoot(const std::string& dir) {
    std::string out = dir;
    while (!out.empty() && out.back() == '/') out.pop_back();
    return out;
}

std::string restoreRoot(const std::string& dir) { return dir.empty() ? std::string("/") : dir; }

std::string joinPath(const std::string& dir, const std::string& name) {
    return cutRoot(dir) + "/" + name;
}

std::string outputFilePath(MainForm& form, const std::string& name) {
    applyOutputDirectoryRule(form);
    return joinPath(form.OutputDirectory, name);
}

}  // namespace quillet::app
