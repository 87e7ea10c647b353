// The option walk every quillet-batch command shares.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/batch/flag_table.h"

namespace {

using quillet::batch::Flag;
using quillet::batch::FlagRules;
using quillet::batch::FlagWalk;

struct Seen {
    bool verbose = false;
    std::string output;
    std::vector<std::string> order;  // every value, as the entries took them
};

std::vector<Flag> table(Seen& s) {
    return {quillet::batch::switchFlag("-v", s.verbose),
            {"-o", "needs a directory",
             [&s](const std::string& v) {
                 s.output = v;
                 s.order.push_back(v);
                 return std::string();
             }},
            {"--level", "takes a level",
             [&s](const std::string& v) {
                 s.order.push_back(v);
                 return v == "9" ? std::string() : "--level takes 9, not " + v;
             }}};
}

FlagWalk walk(std::vector<std::string> args, Seen& s, const FlagRules& rules = {}) {
    args.insert(args.begin(), "quillet-batch");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    return quillet::batch::walkFlags(int(argv.size()), argv.data(), table(s), rules);
}

struct Case {
    const char* what;
    std::vector<std::string> args;
    FlagRules rules;
    std::string error;
    bool help;
    std::vector<std::string> positional;
};

TEST(FlagWalk, ErrorsHelpAndPositionalArguments) {
    FlagRules none;
    none.help = none.positional = false;
    FlagRules word;
    word.first = 2;
    FlagRules dash;
    dash.dashAlone = true;
    dash.unknownTail = " for --zip";
    const Case cases[] = {
        {"files among options", {"a", "-v", "b"}, {}, "", false, {"a", "b"}},
        {"unknown option", {"a", "--frob", "b"}, {}, "unknown option --frob", false, {"a"}},
        {"lone dash", {"-"}, {}, "unknown option -", false, {}},
        {"lone dash as a file", {"-", "--frob"}, dash, "unknown option --frob for --zip", false, {"-"}},
        {"missing value", {"-v", "-o"}, {}, "-o needs a directory", false, {}},
        {"value refused", {"--level", "3", "x"}, {}, "--level takes 9, not 3", false, {}},
        {"help, then a bad option", {"-h", "--frob"}, {}, "unknown option --frob", true, {}},
        {"bad option, then help", {"--frob", "--help"}, {}, "unknown option --frob", false, {}},
        {"no help, no files", {"x", "-h"}, none, "unknown option x", false, {}},
        {"help not asked for", {"-h"}, none, "unknown option -h", false, {}},
        {"after the command word", {"import", "a"}, word, "", false, {"a"}},
    };
    for (const Case& c : cases) {
        Seen s;
        const FlagWalk w = walk(c.args, s, c.rules);
        EXPECT_EQ(w.error, c.error) << c.what;
        EXPECT_EQ(w.help, c.help) << c.what;
        EXPECT_EQ(w.positional, c.positional) << c.what;
    }
}

TEST(FlagWalk, ValuesAreTheNextArgumentWhateverTheyLookLike) {
    Seen s;
    const FlagWalk w = walk({"-o", "-v", "--level", "9", "-o", "--help"}, s);
    EXPECT_EQ(w.error, "");
    EXPECT_FALSE(w.help);
    EXPECT_FALSE(s.verbose);
    EXPECT_EQ(s.output, "--help");
    EXPECT_EQ(s.order, (std::vector<std::string>{"-v", "9", "--help"}));
}

}  // namespace
