#include "app/program/program.h"

namespace quillet::app {

Program::Program(PlatformServices& p, const std::string& startDirectory, const std::string&)
    : platform(p) {
    form.FileListBox1.setDirectory(startDirectory);
}

}  // namespace quillet::app
