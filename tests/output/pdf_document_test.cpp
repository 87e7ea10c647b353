// The PDF of the composed pages is written whole or not at all: a write
// that fails (a full disk) keeps the earlier file and leaves no temporary;
// a finished one takes the name and clears the temporaries of killed runs.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "output/pdf_document.h"
#include "support/file_bytes.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace quillet::output {
namespace {

using testing::fileBytes;

// A page of random ink: it does not compress, so its PDF is as large as its
// store.
imaging::Bitmap noise(int w, int h) {
    imaging::Bitmap b(w, h);
    std::mt19937_64 random(7);
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < b.wordsPerRow(); ++i) b.row(y)[i] = random();
    return b;
}

TEST(PdfDocument, AFailedWriteKeepsTheEarlierFileAndAFinishedOneClearsStaleTemporaries) {
    testing::TempDir dir{"quillet-pdf"};
    const std::string book = dir.file("book.pdf");
    dir.writeText("book.pdf", "the earlier book");
    const imaging::Bitmap page = noise(1600, 1600);  // 320 KB of store
    {
        const testing::FileSizeLimit limit(64 << 10);
        PdfDocument pdf(book);
        EXPECT_THROW(
            {
                pdf.addPage(page, 100, 100, 400);
                pdf.addPage(page, 100, 100, 400);
                pdf.finish();
            },
            PdfError);
    }
    EXPECT_EQ(fileBytes(book), "the earlier book");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"book.pdf"});

    const pid_t gone = ::fork();
    ASSERT_GE(gone, 0);
    if (gone == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string stale = ".quillet-" + std::to_string(gone) + "-3.tmp";
    dir.writeText(stale);
    PdfDocument pdf(book);
    pdf.addPage(page, 100, 100, 400);
    pdf.finish();
    EXPECT_EQ(fileBytes(book).rfind("%PDF-", 0), 0u);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"book.pdf"});
}

}  // namespace
}  // namespace quillet::output
