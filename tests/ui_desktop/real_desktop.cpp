#include "real_desktop.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <cstdlib>
#include <vector>

namespace quillet::uitest {

namespace {

pid_t g_server = -1;
pid_t g_manager = -1;
QApplication* g_app = nullptr;

// Runs `argv` with its output discarded; the child's id.
pid_t spawn(std::vector<const char*> argv) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    argv.push_back(nullptr);
    ::execvp(argv[0], const_cast<char* const*>(argv.data()));
    ::_exit(127);
}

void end(pid_t& pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    pid = -1;
}

std::string startAll() {
    int ready[2];
    if (::pipe(ready) != 0) return "no pipe for Xvfb";
    const std::string fd = std::to_string(ready[1]);
    // A free display of its own: the server picks it and writes its number.
    g_server = spawn({"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    ::close(ready[1]);
    std::string number;
    pollfd p{ready[0], POLLIN, 0};
    char c = 0;
    while (::poll(&p, 1, 20000) > 0 && ::read(ready[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(ready[0]);
    if (number.empty()) return "Xvfb did not start (package xvfb)";
    ::setenv("DISPLAY", (":" + number).c_str(), 1);
    g_manager = spawn({"openbox"});

    qputenv("QT_QPA_PLATFORM", "xcb");
    static int argc = 1;
    static char name[] = "ui_desktop_tests";
    static char* argv[] = {name, nullptr};
    g_app = new QApplication(argc, argv);
    // The window manager is up once it frames a window shown after it came.
    for (int tries = 0; tries < 20; ++tries) {
        QWidget probe;
        probe.resize(100, 100);
        probe.show();
        if (QTest::qWaitFor([&] { return probe.frameGeometry() != probe.geometry(); }, 1000)) return {};
    }
    return "openbox did not frame a window (package openbox)";
}

}  // namespace

const std::string& RealDesktop::start() {
    static const std::string problem = startAll();
    return problem;
}

void RealDesktop::stop() {
    delete g_app;
    g_app = nullptr;
    end(g_manager);
    end(g_server);
}

bool RealDesktop::xdotool(const std::string& arguments) {
    return std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

bool RealDesktop::click(QPoint global) {
    return xdotool("mousemove --sync " + std::to_string(global.x()) + " " + std::to_string(global.y()) +
                   " click 1");
}

}  // namespace quillet::uitest
