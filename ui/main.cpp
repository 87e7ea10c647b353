// Quillet's entry point: names the application, creates the program with
// its seven windows and runs the event loop. The only arguments it reads are
// --version and --help, which print and end before any window exists.
#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstring>

#include "acquire/sane_device.h"
#include "program/build_info.h"
#include "program/installation.h"
#include "program/program.h"
#include "ui/QtPlatform.h"
#include "ui/windows.h"

namespace {

const char* const kUsage =
    "usage: quillet [--version | --help]\n"
    "Start Quillet in a folder of scanned *.bmp pages: it lists them all selected.\n"
    "It reads no other arguments; quillet-batch does the same job without a window.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("quillet %s\n", quillet::app::kVersion);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const quillet::acquire::SaneSession sane;  // outlives the windows and their scanners
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    // Lets the desktop match the windows with the installed menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quillet.Quillet"));

    quillet::ui::QtPlatform platform;
    const std::string installation =
        quillet::app::installationDirectory(QCoreApplication::applicationDirPath().toStdString());
    quillet::app::Program program(platform, QDir::currentPath().toStdString(), installation);
    {
        quillet::ui::QuilletWindows windows(program, platform);
        QApplication::exec();
    }
    return 0;
}
