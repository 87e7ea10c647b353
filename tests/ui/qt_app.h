#pragma once
// The one QApplication of the ui test program, made on first use (offscreen
// unless a platform is set) and shared by every test file.

#include <QApplication>

namespace quillet::uitest {

inline QApplication& application() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) return *app;
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return *new QApplication(argc, argv);
}

}  // namespace quillet::uitest
