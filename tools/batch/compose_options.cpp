#include "tools/batch/compose_options.h"

#include <algorithm>
#include <functional>

namespace quillet::batch {

namespace {

// "--borders IT,IB,IL,IR,ET,EB,EL,ER": eight whole widths in mm.
std::string parseBorders(const std::string& v, std::optional<std::vector<long>>& out) {
    std::vector<long> b;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = v.find(',', start);
        const std::string width = v.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        long n = 0;
        if (!parseWholeNumber(width, 0, 99999, n))
            return "--borders takes eight whole millimetre widths IT,IB,IL,IR,ET,EB,EL,ER";
        b.push_back(n);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (b.size() != 8) return "--borders takes eight widths IT,IB,IL,IR,ET,EB,EL,ER";
    out = b;
    return {};
}

// An option whose value is one of `words`: anything else is "NAME TAKES".
Flag wordFlag(const std::string& name, const std::string& takes, const std::vector<std::string>& words,
              std::function<void(const std::string&)> store) {
    return checkedFlag(name, takes, [words, store](const std::string& v) {
        if (std::find(words.begin(), words.end(), v) == words.end()) return false;
        store(v);
        return true;
    });
}

const std::vector<std::string> kCompressionItems{"none", "high", "medium", "low"};

// The layout fields written after the lock, in the order given.
void addFieldWrites(std::vector<Flag>& t, ComposeArguments& a) {
    t.push_back(wordFlag("--compression", "takes none, high, medium or low", kCompressionItems,
                         [&a](const std::string& v) {
                             const auto item = std::find(kCompressionItems.begin(), kCompressionItems.end(), v);
                             a.writes.push_back({"--compression", long(item - kCompressionItems.begin())});
                         }));
    for (const std::string name : {"--xppi", "--yppi", "--columns", "--length-pixels", "--length-pages"})
        t.push_back(checkedFlag(name, "takes a whole number", [&a, name](const std::string& v) {
            long n = 0;
            if (!parseWholeNumber(v, 0, 99999, n)) return false;
            a.writes.push_back({name, n});
            return true;
        }));
}

std::vector<Flag> flags(ComposeArguments& a) {
    std::vector<Flag> t{
        textFlag("-C", "needs a directory", a.directory),
        textFlag("-o", "needs a directory", a.output),
        switchFlag("-v", a.verbose),
        switchFlag("--dry-run", a.dryRun),
        textFlag("--pdf", "needs a file name", a.pdf),
        wordFlag("--format", "takes row or column", {"row", "column"},
                 [&a](const std::string& v) { a.rowFormat = v == "row"; }),
        switchFlag("--no-autocrop", a.noAutocrop),
        switchFlag("--no-compression-stats", a.noCompressionStats),
        switchFlag("--no-stretch-width", a.noStretchWidth),
        switchFlag("--no-fix-width", a.noFixWidth),
        switchFlag("--stretch-height", a.stretchHeight),
        switchFlag("--fix-height", a.fixHeight),
        paperFlag(a.paper, "needs a size"),
        {"--borders", "needs eight widths", [&a](const std::string& v) { return parseBorders(v, a.borders); }},
        wordFlag("--justify-h", "takes left, centre or right", {"left", "centre", "center", "right"},
                 [&a](const std::string& v) { a.justifyH = v; }),
        wordFlag("--justify-v", "takes top, centre or bottom", {"top", "centre", "center", "bottom"},
                 [&a](const std::string& v) { a.justifyV = v; }),
        textFlag("--name", "needs a base file name", a.name),
    };
    for (const std::string name : {"--int-header", "--int-footer", "--ext-header", "--ext-footer"})
        t.push_back({name, "needs a text", [&a, name](const std::string& v) {
                         a.texts[name.substr(2)] = v;
                         return std::string();
                     }});
    addFieldWrites(t, a);
    return t;
}

}  // namespace

std::string parseCompose(int argc, char** argv, ComposeArguments& a, bool& help) {
    const FlagWalk walk = walkFlags(argc, argv, flags(a));
    help = walk.help;
    a.files = walk.positional;
    return walk.error;
}

std::vector<std::string> composeOptions() {
    ComposeArguments a;
    return optionNames(flags(a));
}

}  // namespace quillet::batch
