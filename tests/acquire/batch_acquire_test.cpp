// quillet-batch acquire on the SANE test backend: the built program run with
// its options, the files it writes and what it prints.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/bmp_file.h"
#include "sane_backend.h"
#include "support/temp_dir.h"

namespace quillet::acquire {
namespace {

std::string batch(const std::string& args, int& status) {
    return testing::runCommand(std::string(QUILLET_BUILD_DIR) + "/tools/quillet-batch acquire " + args + " 2>&1",
                               status);
}

TEST(BatchAcquire, ListsDevicesAndScansTheFeederFromTheStartCounter) {
    QUILLET_REQUIRE_SANE_TEST_BACKEND();
    int status = -1;
    const std::string devices = batch("--list-devices", status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(devices.find("test:1\tNoname\tfrontend-tester\tvirtual device\n"), std::string::npos) << devices;

    testing::TempDir out;
    const std::string printed =
        batch("--device test:1 --source 'Automatic Document Feeder' --resolution 100 --option test-picture=Grid "
              "--start 95 --name scan -o " + out.path(), status);
    EXPECT_EQ(status, 0) << printed;
    std::string want;
    std::vector<std::string> files;
    for (int n = 95; n < 105; ++n) {
        files.push_back("scan" + std::string(n < 100 ? "0" : "") + std::to_string(n) + ".bmp");
        want += "Saved to " + out.file(files.back()) + "\n";
    }
    EXPECT_EQ(printed, want);
    EXPECT_EQ(out.names(), files);
    EXPECT_TRUE(imaging::isMonochromeBmp(out.file("scan104.bmp")));
}

TEST(BatchAcquire, FailuresEndWithStatusOneAndBadArgumentsWithTwo) {
    QUILLET_REQUIRE_SANE_TEST_BACKEND();
    testing::TempDir out;
    struct Case {
        const char* args;
        int status;
    };
    for (const Case& c : {Case{"--mode sepia", 2}, Case{"--pages 0", 2}, Case{"--device nosuch:0", 1},
                          Case{"--option no-such-option=1", 1}, Case{"--start 300 --pages 2", 1}}) {
        SCOPED_TRACE(c.args);
        int status = -1;
        const std::string printed = batch(std::string(c.args) + " -o " + out.path(), status);
        EXPECT_EQ(status, c.status) << printed;
    }
    // Only the scan numbered 300 was taken.
    EXPECT_EQ(out.names(), std::vector<std::string>{"page300.bmp"});
}

}  // namespace
}  // namespace quillet::acquire
