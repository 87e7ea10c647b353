// quillet-batch import on hostile and awkward files made here: each ends
// with its own message and exit status, in bounded time, and the pages that
// can be imported are.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "imaging/bmp_file.h"
#include "support/batch_run.h"
#include "support/temp_dir.h"

// Qt last: its "emit" macro must not meet the models' emit().
#include <QImage>
#include <QImageWriter>

#include "support/page_files.h"

namespace {

namespace fs = std::filesystem;
using quillet::testing::BatchRun;

// A PDF of the given objects (numbered from 1; the first is the catalogue).
void writePdf(const std::string& path, const std::vector<std::string>& objects) {
    std::string out = "%PDF-1.4\n";
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        at.push_back(out.size());
        out += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = out.size();
    out += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t a : at) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", a);
        out += line;
    }
    out += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    std::ofstream(path, std::ios::binary) << out;
}

std::string stream(const std::string& dict, const std::string& body) {
    return "<< " + dict + " /Length " + std::to_string(body.size()) + " >>\nstream\n" + body + "\nendstream";
}

// Page 1 draws a form that draws the next ten times, nine levels deep (10^8
// fills); page 2 is plain.
void writeNestedForms(const std::string& path) {
    std::vector<std::string> o{"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
                               "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 5 0 R "
                               "/Resources << /XObject << /F 6 0 R >> >> >>",
                               "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] >>", stream("", "/F Do")};
    for (int level = 0; level < 9; ++level) {
        std::string body, resources;
        if (level < 8) {
            for (int i = 0; i < 10; ++i) body += "/F Do ";
            resources = " /Resources << /XObject << /F " + std::to_string(7 + level) + " 0 R >> >>";
        } else {
            body = "0 0 200 200 re f";
        }
        o.push_back(stream("/Type /XObject /Subtype /Form /BBox [0 0 200 200]" + resources, body));
    }
    writePdf(path, o);
}

// Two blank pages of 7800 x 7800 points.
void writeHugePages(const std::string& path) {
    writePdf(path, {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
                    "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 7800 7800] >>",
                    "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 7800 7800] >>"});
}

QImage monoPage(int w, int h) {
    QImage page(w, h, QImage::Format_Mono);
    page.fill(0);
    for (int y = 0; y < h; y += 97) std::fill_n(page.scanLine(y), page.bytesPerLine(), 0xff);  // index 1 black
    return page;
}

// A two-page TIFF whose second page's link leads back to the first.
void writeLoopingTiff(const std::string& path) {
    quillet::testing::writeTiff(path, {monoPage(64, 40), monoPage(64, 50)}, 300);
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    std::uint32_t first = 0, second = 0;
    f.seekg(4);
    f.read(reinterpret_cast<char*>(&first), 4);
    f.seekg(first);
    std::uint16_t entries = 0;
    f.read(reinterpret_cast<char*>(&entries), 2);
    f.seekg(first + 2 + 12 * entries);
    f.read(reinterpret_cast<char*>(&second), 4);
    f.seekg(second);
    f.read(reinterpret_cast<char*>(&entries), 2);
    f.seekp(second + 2 + 12 * entries);
    f.write(reinterpret_cast<const char*>(&first), 4);
}

int occurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

TEST(HostileFiles, EachEndsWithItsMessageAndStatusAndTheOtherPagesImport) {
    quillet::testing::TempDir scratch("quillet-hostile");
    ASSERT_FALSE(scratch.path().empty());
    const std::string dir = scratch.path();
    auto in = [&](const std::string& name) { return dir + "/" + name; };
    struct Case {
        const char* name;
        std::function<void()> make;
        std::vector<std::string> args;  // after "import -o OUT"
        std::string message;            // on standard error, once ("" for none)
        int status;
        int pages;                      // imported
        std::string shellPrefix = {};
    } cases[] = {
        {"a TIFF whose chain of pages loops", [&] { writeLoopingTiff(in("loop.tif")); }, {in("loop.tif")},
         in("loop.tif") + ": the chain of pages loops back after page 2; the pages after it are ignored", 1, 2},
        {"nine levels of nested forms", [&] { writeNestedForms(in("forms.pdf")); },
         {"--page-timeout", "1", in("forms.pdf")}, in("forms.pdf") + ": page 1 took longer than 1 s and was abandoned",
         1, 1},
        {"a 7800 pt page at 600 dpi", [&] { writeHugePages(in("huge.pdf")); }, {"--dpi", "600", in("huge.pdf")},
         in("huge.pdf") + ": page 1 is too large: 65000 x 65000 pixels at 600 pixels per inch", 1, 0},
        {"an A4 Group 4 TIFF at 600 dpi",
         [&] {
             quillet::testing::writeTiff(in("plain.tif"), {monoPage(4960, 7016)}, 600);
             ASSERT_EQ(std::system(("tiffcp -c g4 " + in("plain.tif") + " " + in("a4.tif")).c_str()), 0);
         },
         {in("a4.tif")}, "", 0, 1},
        {"the same PNG named twice",
         [&] { ASSERT_TRUE(QImageWriter(QString::fromStdString(in("p.png")), "png").write(monoPage(30, 20))); },
         {in("p.png"), in("p.png")}, "", 0, 2},
        {"a file-size limit as a full disk: the new page is named",
         [&] {
             quillet::testing::writeTiff(in("big.tif"), {monoPage(800, 800)}, 300);
             quillet::imaging::saveBmp(quillet::imaging::Bitmap(8, 8), in("out6/page001.bmp"));
         },
         {in("big.tif")}, in("out6/page002.bmp") + ": the new page cannot be written", 1, 0, "ulimit -f 40; "},
    };
    int k = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = in("out" + std::to_string(++k));
        fs::create_directories(out);
        c.make();
        std::vector<std::string> args{"import", "-o", out};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const BatchRun r = quillet::testing::runBatch(args, c.shellPrefix);
        EXPECT_EQ(r.status, c.status) << r.err;
        if (!c.message.empty()) EXPECT_EQ(occurrences(r.err, c.message), 1) << r.err;
        else EXPECT_EQ(r.err, "");
        ASSERT_FALSE(r.out.empty());
        EXPECT_EQ(r.out.back().rfind("Imported " + std::to_string(c.pages) + " page", 0), 0u) << r.out.back();
    }
    // The 600-dpi page is whole; the page passed by under the limit was kept.
    const quillet::imaging::Bitmap a4 = quillet::imaging::loadBmp(in("out4/page001.bmp"));
    EXPECT_EQ(a4.width(), 4960);
    EXPECT_EQ(a4.height(), 7016);
    EXPECT_EQ(quillet::imaging::loadBmp(in("out6/page001.bmp")).width(), 8);
}

}  // namespace
