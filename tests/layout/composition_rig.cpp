#include "tests/layout/composition_rig.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace quillet::compositiontest {

void ensureGuiApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "layout_tests";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

}  // namespace quillet::compositiontest
