// quillet-batch --version: the program's name and version on one line.
#include <cstdio>

#include "program/build_info.h"
#include "tools/batch/batch_commands.h"

namespace quillet::batch {

int versionMain(int /*argc*/, char** /*argv*/) {
    std::printf("quillet-batch %s\n", app::kVersion);
    return 0;
}

}  // namespace quillet::batch
