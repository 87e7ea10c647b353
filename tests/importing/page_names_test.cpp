// Imported pages under base names so long that the page's name takes
// nearly all the 255 bytes a folder entry allows are written all the same.

#include <gtest/gtest.h>

#include "importing/page_numbering.h"
#include "support/temp_dir.h"

namespace quillet::importing {
namespace {

TEST(PageNames, ABaseNameNearTheFileSystemLimitIsWritten) {
    testing::TempDir dir{"quillet-names"};
    const std::string base(244, 'b');  // + "001.bmp": 251 bytes
    PageNumbering numbering({dir.path(), base, 1});
    const WrittenPage written = numbering.write(imaging::Bitmap(16, 8));
    EXPECT_EQ(written.path, dir.file(base + "001.bmp"));
    EXPECT_EQ(dir.names(), std::vector<std::string>{base + "001.bmp"});
}

}  // namespace
}  // namespace quillet::importing
