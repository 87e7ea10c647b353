// Quillet's entry point: names the application, creates the program with
// its seven windows and runs the event loop. No arguments are read.
#include <QApplication>
#include <QDir>

#include "program/program.h"
#include "ui/QtPlatform.h"
#include "ui/windows.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));

    quillet::ui::QtPlatform platform;
    quillet::app::Program program(platform, QDir::currentPath().toStdString(),
                                  QCoreApplication::applicationDirPath().toStdString());
    {
        quillet::ui::QuilletWindows windows(program, platform);
        QApplication::exec();
    }
    return 0;
}
