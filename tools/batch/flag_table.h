#pragma once
// The one walk over the command line that every quillet-batch command uses:
// each command lists its options in a table, and the walk hands every option
// (and its value) to its entry, collects the other arguments, and stops at
// the first bad one with the text the command prints.

#include <functional>
#include <string>
#include <vector>

namespace quillet::batch {

struct Flag {
    std::string name;  // "-o", "--dpi"
    // For an option that takes the next argument as its value (whatever it
    // looks like, "-x" too), what the error says after the name when there
    // is none ("needs a directory"); empty for an option on its own.
    std::string missing;
    // Takes the value ("" for an option on its own). Returns why it is bad,
    // or empty.
    std::function<std::string(const std::string& value)> take;
};

// An option on its own that turns `on` true.
Flag switchFlag(const std::string& name, bool& on);
// An option whose value `take` stores or refuses (false): a missing value and
// a refused one both say "NAME TAKES".
Flag checkedFlag(const std::string& name, const std::string& takes, std::function<bool(const std::string&)> take);
// An option whose value is stored as it is (in a string or an optional one).
template <class Out>
Flag textFlag(const std::string& name, const std::string& missing, Out& out) {
    return {name, missing, [&out](const std::string& v) {
                out = v;
                return std::string();
            }};
}

// How a command reads what its table does not list.
struct FlagRules {
    int first = 1;            // the first argument looked at
    bool help = true;         // -h and --help ask for the usage text
    bool positional = true;   // arguments that are no option are collected
    bool dashAlone = false;   // a lone "-" is collected too (else unknown)
    std::string unknownTail;  // follows "unknown option X"
};

struct FlagWalk {
    std::string error;  // why the arguments are bad, or empty
    bool help = false;  // -h or --help came before the first bad argument
    std::vector<std::string> positional;
};

FlagWalk walkFlags(int argc, char** argv, const std::vector<Flag>& table, const FlagRules& rules = {});

// The names a table takes, in its order (for the check that every option is
// in its command's help and in the manual page).
std::vector<std::string> optionNames(const std::vector<Flag>& table);

}  // namespace quillet::batch
