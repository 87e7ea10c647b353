#pragma once
// The SANE test backend as the tests' scanner: a configuration folder of the
// tests' own whose dll.conf loads only `test` (with a copy of the system's
// test.conf), pointed at by SANE_CONFIG_DIR before SANE first starts.

#include <string>

namespace quillet::testing {

// Empty when devices test:0 and test:1 can be used; otherwise why not (the
// reason a test skips with). Call before anything else in a test uses SANE.
const std::string& saneTestBackendProblem();

// Runs a shell command; its standard output, and its exit status in
// `status` (-1 when it did not run or end normally).
std::string runCommand(const std::string& command, int& status);

// Runs scanimage on test:0 with `args` and returns its PNM output (empty when
// it failed).
std::string scanimage(const std::string& args);

}  // namespace quillet::testing

#define QUILLET_REQUIRE_SANE_TEST_BACKEND()                                        \
    do {                                                                           \
        const std::string& problem = ::quillet::testing::saneTestBackendProblem(); \
        if (!problem.empty()) GTEST_SKIP() << problem;                             \
    } while (0)
