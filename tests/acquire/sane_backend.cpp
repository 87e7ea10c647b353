#include "sane_backend.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "acquire/sane_device.h"
#include "acquire/scanner_error.h"
#include "support/temp_dir.h"

namespace quillet::testing {

namespace {

std::string prepare() {
    static TempDir config("quillet-sane");
    const std::string systemConf = "/etc/sane.d/test.conf";
    std::error_code ec;
    if (config.path().empty()) return "no scratch folder for the SANE configuration";
    if (!std::filesystem::exists(systemConf)) return "the SANE test backend is not installed (no " + systemConf + ")";
    std::filesystem::copy_file(systemConf, config.file("test.conf"), std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) return "cannot copy " + systemConf + ": " + ec.message();
    config.writeText("dll.conf", "test\n");
    ::setenv("SANE_CONFIG_DIR", config.path().c_str(), 1);
    try {
        bool zero = false, one = false;
        for (const acquire::DeviceInfo& d : acquire::listDevices()) {
            zero = zero || d.name == "test:0";
            one = one || d.name == "test:1";
        }
        if (!zero || !one) return "the SANE test backend did not load (no devices test:0 and test:1)";
    } catch (const acquire::ScannerError& e) {
        return std::string("SANE did not start: ") + e.what();
    }
    return {};
}

}  // namespace

const std::string& saneTestBackendProblem() {
    static const std::string problem = prepare();
    return problem;
}

std::string runCommand(const std::string& command, int& status) {
    std::string out;
    status = -1;
    FILE* p = ::popen(command.c_str(), "r");
    if (p == nullptr) return out;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int st = ::pclose(p);
    status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return out;
}

std::string scanimage(const std::string& args) {
    int status = 0;
    std::string out = runCommand("scanimage -d test:0 --format=pnm " + args + " 2>/dev/null", status);
    return status == 0 ? out : std::string();
}

}  // namespace quillet::testing
