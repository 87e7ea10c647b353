// quillet-batch --version: the program's name and version on one line.
#include <cstdio>

#include "program/build_info.h"
#include "tools/batch/batch_commands.h"
#include "tools/batch/flag_table.h"

namespace quillet::batch {

namespace {

const char* const kVersionUsage =
    "usage: quillet-batch --version\n"
    "  --version   prints the program's name and version, and nothing else\n";

std::vector<Flag> flags(bool& version) { return {switchFlag("--version", version)}; }

}  // namespace

std::vector<std::string> versionOptions() {
    bool version = false;
    return optionNames(flags(version));
}

int versionMain(int argc, char** argv) {
    bool version = false;
    // Anything else on the line is passed by, as it always was.
    if (walkFlags(argc, argv, flags(version)).help) {
        std::fputs(kVersionUsage, stdout);
        return 0;
    }
    std::printf("quillet-batch %s\n", app::kVersion);
    return 0;
}

}  // namespace quillet::batch
