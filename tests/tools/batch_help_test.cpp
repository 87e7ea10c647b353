// Every command of quillet-batch can be found: quillet-batch --help points to
// each command's own --help, and every option a command's table takes is in
// that --help and in the command's part of the manual page. The commands and
// options come from the commands' own tables, so one added later without its
// help and manual lines fails here, by name.

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/batch_run.h"
#include "tools/batch/batch_commands.h"
#include "tools/batch/compose_options.h"

namespace {

using quillet::testing::batchPath;
using quillet::testing::runBatch;

// The manual page as a reader sees its words: roff escapes for the minus
// sign and the fonts taken out.
std::string plainRoff(std::string text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '-') {
            out += '-';
            ++i;
        } else if (text[i] == '\\' && i + 2 < text.size() && text[i + 1] == 'f') {
            i += 2;  // \fB, \fI, \fR, \fP
        } else {
            out += text[i];
        }
    }
    return out;
}

// Whether `word` stands in `text` on its own ("-o" not inside "--output").
bool namesWord(const std::string& text, const std::string& word) {
    auto partOfWord = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-'; };
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        const bool startsWord = at == 0 || !partOfWord(text[at - 1]);
        const std::size_t end = at + word.size();
        if (startsWord && (end == text.size() || !partOfWord(text[end]))) return true;
    }
    return false;
}

// The part of the manual page under the heading line (".SH NAME" or ".SS ...")
// for which `isHeading` holds, up to the next heading.
std::string manualPart(const std::string& manual, const std::function<bool(const std::string&)>& isHeading) {
    std::istringstream lines(manual);
    std::string line, part;
    bool inside = false;
    while (std::getline(lines, line)) {
        const bool heading = line.rfind(".SH", 0) == 0 || line.rfind(".SS", 0) == 0;
        if (heading) inside = isHeading(line);
        else if (inside) part += line + "\n";
    }
    return part;
}

std::string helpOf(const std::vector<std::string>& args, std::vector<std::string>& problems) {
    const quillet::testing::BatchRun r = runBatch(args);
    std::string text;
    for (const std::string& line : r.out) text += line + "\n";
    if (r.status != 0 || text.empty())
        problems.push_back("quillet-batch " + args.front() + " ... --help printed nothing or failed (" +
                           std::to_string(r.status) + ")");
    return text;
}

TEST(BatchHelp, EveryCommandAndOptionIsInTheHelpAndTheManualPage) {
    if (!std::filesystem::exists(batchPath())) GTEST_SKIP() << "quillet-batch not built";
    std::ifstream file(std::string(QUILLET_BUILD_DIR) + "/data/quillet-batch.1");
    ASSERT_TRUE(file) << "the manual page is not in the build folder";
    std::stringstream read;
    read << file.rdbuf();
    const std::string manual = plainRoff(read.str());

    std::vector<std::string> problems;
    const std::string mainHelp = helpOf({"--help"}, problems);
    struct Entry {
        std::string trigger;  // empty: composing
        std::vector<std::string> options;
    };
    std::vector<Entry> entries{{"", quillet::batch::composeOptions()}};
    for (const quillet::batch::Command& c : quillet::batch::commands()) {
        ASSERT_TRUE(c.summary && *c.summary && c.options) << c.trigger << " has no summary or option list";
        entries.push_back({c.trigger, c.options()});
        if (mainHelp.find("quillet-batch " + std::string(c.trigger) + " --help") == std::string::npos)
            problems.push_back(std::string(c.trigger) + ": quillet-batch --help does not point to its --help");
    }

    for (const Entry& e : entries) {
        const std::string name = e.trigger.empty() ? "composing" : e.trigger;
        const std::string help = e.trigger.empty() ? mainHelp : helpOf({e.trigger, "--help"}, problems);
        // Composing's options are under OPTIONS, each command's under its own
        // heading in COMMANDS.
        const std::string part = manualPart(manual, [&](const std::string& heading) {
            return e.trigger.empty() ? heading.rfind(".SH OPTIONS", 0) == 0
                                     : heading.rfind(".SS", 0) == 0 && namesWord(heading, e.trigger);
        });
        if (part.empty()) problems.push_back(name + ": no part of its own in the manual page");
        for (const std::string& option : e.options) {
            if (!namesWord(help, option)) problems.push_back(name + ": " + option + " is not in its --help");
            if (!part.empty() && !namesWord(part, option))
                problems.push_back(name + ": " + option + " is not in its part of the manual page");
        }
    }
    std::string all;
    for (const std::string& p : problems) all += "\n  " + p;
    EXPECT_TRUE(problems.empty()) << all;
}

}  // namespace
