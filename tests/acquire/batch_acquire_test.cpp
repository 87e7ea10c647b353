// quillet-batch acquire on the SANE test backend: the built program run with
// its options, the files it writes and what it prints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/bmp_file.h"
#include "sane_backend.h"
#include "support/batch_run.h"
#include "support/temp_dir.h"

namespace quillet::acquire {
namespace {

using testing::BatchRun;
using testing::runBatch;

TEST(BatchAcquire, ListsDevicesAndScansTheFeederFromTheStartCounter) {
    QUILLET_REQUIRE_SANE_TEST_BACKEND();
    const BatchRun devices = runBatch({"acquire", "--list-devices"});
    EXPECT_EQ(devices.status, 0);
    EXPECT_NE(std::find(devices.out.begin(), devices.out.end(), "test:1\tNoname\tfrontend-tester\tvirtual device"),
              devices.out.end());

    testing::TempDir out;
    const BatchRun run = runBatch({"acquire", "--device", "test:1", "--source", "Automatic Document Feeder",
                                   "--resolution", "100", "--option", "test-picture=Grid", "--start", "95",
                                   "--name", "scan", "-o", out.path()});
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> want, files;
    for (int n = 95; n < 105; ++n) {
        files.push_back("scan" + std::string(n < 100 ? "0" : "") + std::to_string(n) + ".bmp");
        want.push_back("Saved to " + out.file(files.back()));
    }
    EXPECT_EQ(run.out, want);
    EXPECT_EQ(out.names(), files);
    EXPECT_TRUE(imaging::isMonochromeBmp(out.file("scan104.bmp")));
}

TEST(BatchAcquire, CleanSaysWhatTheCleanUpDidToEachPage) {
    QUILLET_REQUIRE_SANE_TEST_BACKEND();
    testing::TempDir out;
    const BatchRun run = runBatch({"acquire", "--device", "test:0", "--resolution", "100", "--option",
                                   "test-picture=Grid", "--clean", "-o", out.path()});
    EXPECT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.out.size(), 2u);
    EXPECT_EQ(run.out[0], "Saved to " + out.file("page001.bmp"));
    EXPECT_EQ(run.out[1].rfind("page001.bmp: ", 0), 0u) << run.out[1];
    EXPECT_NE(run.out[1].find("specks"), std::string::npos) << run.out[1];
    EXPECT_TRUE(imaging::isMonochromeBmp(out.file("page001.bmp")));
}

TEST(BatchAcquire, FailuresEndWithStatusOneAndBadArgumentsWithTwo) {
    QUILLET_REQUIRE_SANE_TEST_BACKEND();
    testing::TempDir out;
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {{{"--mode", "sepia"}, 2},
                          {{"--pages", "0"}, 2},
                          {{"--device", "nosuch:0"}, 1},
                          {{"--option", "no-such-option=1"}, 1},
                          {{"--start", "300", "--pages", "2"}, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        std::vector<std::string> args{"acquire", "-o", out.path()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const BatchRun run = runBatch(args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_FALSE(run.err.empty());
    }
    // Only the scan numbered 300 was taken.
    EXPECT_EQ(out.names(), std::vector<std::string>{"page300.bmp"});
}

// With no scanner attached, a backend written in C++ (genesys, in Debian's
// default list) must still be stopped while its own objects exist.
TEST(BatchAcquire, NoScannerOnARealBackendEndsWithStatusOne) {
    const char* backend = "/usr/lib/x86_64-linux-gnu/sane/libsane-genesys.so.1";
    if (!std::filesystem::exists(backend)) GTEST_SKIP() << "no " << backend;
    testing::TempDir config, out;
    config.writeText("dll.conf", "genesys\n");
    std::error_code ec;  // its own settings, when there are some, make it build its tables
    std::filesystem::copy_file("/etc/sane.d/genesys.conf", config.file("genesys.conf"), ec);
    const char* before = std::getenv("SANE_CONFIG_DIR");
    const std::string saved = before != nullptr ? before : "";
    ::setenv("SANE_CONFIG_DIR", config.path().c_str(), 1);
    const BatchRun run = runBatch({"acquire", "-o", out.path()});
    if (before != nullptr) ::setenv("SANE_CONFIG_DIR", saved.c_str(), 1);
    else ::unsetenv("SANE_CONFIG_DIR");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("No scanner was found"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace quillet::acquire
