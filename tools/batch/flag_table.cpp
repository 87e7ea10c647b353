#include "tools/batch/flag_table.h"

#include <algorithm>

namespace quillet::batch {

Flag switchFlag(const std::string& name, bool& on) {
    return {name, "", [&on](const std::string&) {
                on = true;
                return std::string();
            }};
}

Flag checkedFlag(const std::string& name, const std::string& takes, std::function<bool(const std::string&)> take) {
    return {name, takes, [name, takes, take](const std::string& v) {
                return take(v) ? std::string() : name + " " + takes;
            }};
}

namespace {

bool isOption(const std::string& arg, const FlagRules& rules) {
    if (!rules.positional) return true;
    if (arg.empty() || arg[0] != '-') return false;
    return !(rules.dashAlone && arg == "-");
}

// Hands the option at argv[i] its value, the next argument, which the walk
// then passes by.
std::string take(const Flag& flag, int argc, char** argv, int& i) {
    if (flag.missing.empty()) return flag.take("");
    if (i + 1 >= argc) return flag.name + " " + flag.missing;
    return flag.take(argv[++i]);
}

}  // namespace

FlagWalk walkFlags(int argc, char** argv, const std::vector<Flag>& table, const FlagRules& rules) {
    FlagWalk walk;
    for (int i = rules.first; i < argc && walk.error.empty(); ++i) {
        const std::string arg = argv[i];
        const auto flag = std::find_if(table.begin(), table.end(), [&](const Flag& f) { return f.name == arg; });
        if (rules.help && (arg == "-h" || arg == "--help")) walk.help = true;
        else if (flag != table.end()) walk.error = take(*flag, argc, argv, i);
        else if (isOption(arg, rules)) walk.error = "unknown option " + arg + rules.unknownTail;
        else walk.positional.push_back(arg);
    }
    return walk;
}

std::vector<std::string> optionNames(const std::vector<Flag>& table) {
    std::vector<std::string> names;
    for (const Flag& f : table) names.push_back(f.name);
    return names;
}

}  // namespace quillet::batch
