#pragma once
// Runs the built quillet-batch with arguments and collects its standard
// output lines, standard error and exit status.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace quillet::testing {

inline std::string batchPath() {
    const char* dir = std::getenv("QUILLET_BUILD_DIR");
    return std::string(dir != nullptr ? dir : QUILLET_BUILD_DIR) + "/tools/quillet-batch";
}

struct BatchRun {
    int status = -1;
    std::vector<std::string> out;  // stdout lines
    std::string err;
};

inline std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// `shellPrefix` runs before the program in the same shell ("ulimit -f 64;").
inline BatchRun runBatch(const std::vector<std::string>& args, const std::string& shellPrefix = "") {
    namespace fs = std::filesystem;
    static int serial = 0;
    const fs::path errFile = fs::temp_directory_path() /
                             ("quillet-batch-err-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
    std::string cmd = shellPrefix + shellQuote(batchPath());
    for (const auto& a : args) cmd += " " + shellQuote(a);
    cmd += " 2>" + shellQuote(errFile.string());
    BatchRun r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (p == nullptr) return r;
    char line[4096];
    while (std::fgets(line, sizeof line, p) != nullptr) {
        std::string s = line;
        if (!s.empty() && s.back() == '\n') s.pop_back();
        r.out.push_back(s);
    }
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    std::ifstream e(errFile);
    std::stringstream ss;
    ss << e.rdbuf();
    r.err = ss.str();
    fs::remove(errFile);
    return r;
}

}  // namespace quillet::testing
