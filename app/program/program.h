#pragma once
// The running program: the seven windows created once in their fixed order,
// with the handlers of every part wired onto their controls.

#include <string>

#include "app/main_form.h"
#include "app/platform_services.h"

namespace quillet::app {

class Program {
public:
    // Creates the windows and runs the main window's set-up. The file list
    // starts in startDirectory; the working directory becomes programDirectory.
    Program(PlatformServices& platform, const std::string& startDirectory,
            const std::string& programDirectory);

    PlatformServices& platform;
    MainForm form;
};

}  // namespace quillet::app
