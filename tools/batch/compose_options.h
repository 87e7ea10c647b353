#pragma once
// The options of quillet-batch's main job, composing: the table its command
// line is walked with, and what the walk leaves for it to apply.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tools/batch/batch_setup.h"
#include "tools/batch/flag_table.h"

namespace quillet::batch {

// A layout field written after the lock.
struct FieldWrite {
    std::string option;
    long value = 0;  // compression: item index
};

struct ComposeArguments {
    std::string directory = ".";
    std::vector<std::string> files;
    bool rowFormat = false, noAutocrop = false, noCompressionStats = false;
    bool noStretchWidth = false, noFixWidth = false, stretchHeight = false, fixHeight = false;
    std::optional<PaperChoice> paper;
    std::optional<std::vector<long>> borders;
    std::map<std::string, std::string> texts;  // int-header ... ext-footer
    std::optional<std::string> justifyH, justifyV, name, output, pdf;
    std::vector<FieldWrite> writes;
    bool dryRun = false, verbose = false;
};

// Empty on success, otherwise why the arguments are bad; `help` tells
// whether -h or --help was given.
std::string parseCompose(int argc, char** argv, ComposeArguments& a, bool& help);

// The options composing takes (its table's names).
std::vector<std::string> composeOptions();

}  // namespace quillet::batch
