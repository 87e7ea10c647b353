// File > Clean Up Pages... through the program and the scripted desktop: the
// folder offered, the status text per page, the pages written (never over
// the originals), the warning for a page that fails, and the list showing the
// cleaned pages selected.

#include <gtest/gtest.h>

#include <filesystem>

#include "imaging/bmp_file.h"
#include "program/program.h"
#include "support/fake_platform.h"
#include "support/file_bytes.h"
#include "support/scanned_pages.h"
#include "support/temp_dir.h"

namespace quillet::cleanup {
namespace {

namespace fs = std::filesystem;
using app::CleanUpChoice;

using testing::fileBytes;

TEST(CleanUpPages, CleansTheSelectionIntoAFolderOfItsOwnAndListsIt) {
    testing::TempDir dir;
    imaging::Bitmap skewed = test::turnedPage(test::textPage(300, 8), -2.0);
    skewed.fillRect({0, 0, skewed.width(), 30}, imaging::kBlack);
    imaging::saveBmp(skewed, dir.file("page001.bmp"));
    imaging::saveBmp(test::textPage(300, 9), dir.file("page002.bmp"));
    imaging::Bitmap colour(40, 30);
    colour.setMonochrome(false);
    imaging::saveBmp(colour, dir.file("photo.bmp"));
    const std::string original = fileBytes(dir.file("page001.bmp"));

    testing::FakePlatform platform;
    app::Program program(platform, dir.path(), "");
    app::MainForm& form = program.form;
    form.FileListBox1.userSelectionChanged({0, 2}, 0);  // page001.bmp, photo.bmp
    form.File1.click();
    ASSERT_TRUE(form.CleanUpPages1.enabled());
    std::vector<std::string> texts;
    form.Panel1.written.connect([&] { texts.push_back(form.Panel1.text()); });

    // The output directory is the pages' own: a folder inside it is offered.
    // Cancel writes nothing.
    const std::string cleaned = dir.file("cleaned");
    form.CleanUpPages1.click();
    ASSERT_EQ(platform.cleanUpRequests.size(), 1u);
    EXPECT_EQ(platform.cleanUpRequests[0], (CleanUpChoice{true, true, true, cleaned}));
    EXPECT_FALSE(fs::exists(cleaned));

    platform.cleanUpAnswers = {CleanUpChoice{true, true, false, cleaned}};
    form.CleanUpPages1.click();
    EXPECT_EQ(fileBytes(dir.file("page001.bmp")), original);
    EXPECT_TRUE(fs::exists(cleaned + "/page001.bmp"));
    EXPECT_FALSE(fs::exists(cleaned + "/photo.bmp"));
    ASSERT_EQ(platform.messageTexts().size(), 1u);
    EXPECT_EQ(platform.messageTexts()[0],
              "Clean Up Pages:\n" + dir.file("photo.bmp") + ": The page is not black and white (1 bit per pixel)");
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Cleaning page001.bmp (1 of 2) . . ."), texts.end());
    EXPECT_NE(std::find_if(texts.begin(), texts.end(),
                           [](const std::string& t) {
                               return t.rfind("page001.bmp (1 of 2): skew -2.0", 0) == 0 &&
                                      t.find("straightened; 1 dark region removed") != std::string::npos;
                           }),
              texts.end());
    EXPECT_EQ(form.Panel1.text(), "Cleaned 1 page into " + cleaned);
    EXPECT_EQ(form.directory(), cleaned);
    EXPECT_EQ(form.FileListBox1.selectedNames(), std::vector<std::string>{"page001.bmp"});
    EXPECT_FALSE(platform.busy);

    // From the cleaned folder into itself: refused, nothing touched.
    const std::string once = fileBytes(cleaned + "/page001.bmp");
    platform.cleanUpAnswers = {CleanUpChoice{true, true, true, cleaned + "/."}};
    form.CleanUpPages1.click();
    ASSERT_EQ(platform.messageTexts().size(), 2u);
    EXPECT_NE(platform.messageTexts()[1].find("would be written over the pages themselves"), std::string::npos);

    // Back in the pages' folder, the copies already there are replaced only
    // when the user says so.
    form.changeDirectory(dir.path());
    form.FileListBox1.userSelectionChanged({0}, 0);
    platform.cleanUpAnswers = {CleanUpChoice{false, false, true, cleaned}};
    platform.buttonAnswers = {app::Button::No};
    form.CleanUpPages1.click();
    EXPECT_EQ(platform.messageTexts().back(),
              "1 page of the same names are already in " + cleaned + ". Replace them with the cleaned pages?");
    EXPECT_EQ(fileBytes(cleaned + "/page001.bmp"), once);
    EXPECT_EQ(program.cleanUp.lastResult().cleaned, 0);
}

}  // namespace
}  // namespace quillet::cleanup
