#pragma once
// The installation directory: the folder of the program's own files, whose
// Qllet.txt the help window points to. Run from the build folder it is the
// executable's folder (Qllet.txt is copied beside it); installed it is the
// data folder the package puts Qllet.txt in.

#include <string>

namespace quillet::app {

std::string installationDirectory(const std::string& executableDirectory);

}  // namespace quillet::app
