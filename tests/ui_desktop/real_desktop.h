#pragma once
// A real X desktop of the test program's own: an Xvfb server on a free
// display and the openbox window manager on it, started once for the test
// program, with Qt on its X11 platform. Stacking, frames and the window
// manager's own raising on a click exist only there. Input comes as the
// user's does, through xdotool.

#include <QPoint>
#include <string>

namespace quillet::uitest {

class RealDesktop {
public:
    // Starts the server and the window manager once and makes the
    // application on them; empty when all is up, otherwise why not (for
    // GTEST_SKIP).
    static const std::string& start();
    // Ends the application, the window manager and the server.
    static void stop();

    // xdotool with `arguments` on the desktop; true when it ran.
    static bool xdotool(const std::string& arguments);
    // A left click at `global` (screen coordinates), as the user's.
    static bool click(QPoint global);
};

}  // namespace quillet::uitest
