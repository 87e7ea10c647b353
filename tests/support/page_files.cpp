#include "support/page_files.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <stdexcept>

namespace quillet::testing {

void writeBitmapPdf(const std::string& path, const std::vector<imaging::Bitmap>& pages, int dpi) {
    QPdfWriter pdf(QString::fromStdString(path));
    pdf.setResolution(dpi);
    QPainter painter;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const imaging::Bitmap& b = pages[i];
        const QSizeF inches(double(b.width()) / dpi, double(b.height()) / dpi);
        pdf.setPageLayout(QPageLayout(QPageSize(inches, QPageSize::Inch), QPageLayout::Portrait, QMarginsF()));
        if (i == 0 ? !painter.begin(&pdf) : !pdf.newPage()) throw std::runtime_error("cannot write " + path);
        painter.drawImage(QRect(0, 0, b.width(), b.height()), imaging::toBlackFirstMono(b));
    }
    painter.end();
}

namespace {

void put16(std::string& s, unsigned v) {
    s += char(v & 0xff);
    s += char(v >> 8 & 0xff);
}
void put32(std::string& s, std::uint32_t v) {
    put16(s, v & 0xffff);
    put16(s, v >> 16);
}

}  // namespace

void writeTiff(const std::string& path, const std::vector<QImage>& pages, int dpi) {
    // Layout: header, then per page its pixel data, its resolution rational
    // and its directory, each directory pointing at the next.
    std::string file = "II*";
    file += '\0';
    std::size_t nextLink = file.size();
    put32(file, 0);
    for (const QImage& page : pages) {
        const bool mono = page.format() == QImage::Format_Mono;
        const int rowBytes = mono ? (page.width() + 7) / 8 : page.width();
        const std::uint32_t data = std::uint32_t(file.size());
        for (int y = 0; y < page.height(); ++y)
            file.append(reinterpret_cast<const char*>(page.constScanLine(y)), std::size_t(rowBytes));
        const std::uint32_t rational = std::uint32_t(file.size());
        put32(file, std::uint32_t(dpi));
        put32(file, 1);
        const std::uint32_t ifd = std::uint32_t(file.size());
        for (int i = 0; i < 4; ++i) file[nextLink + i] = char(ifd >> (8 * i) & 0xff);
        struct Entry {
            unsigned tag, type;
            std::uint32_t value;
        };
        const std::vector<Entry> entries{
            {256, 4, std::uint32_t(page.width())},  {257, 4, std::uint32_t(page.height())},
            {258, 3, mono ? 1u : 8u},                {259, 3, 1},
            {262, 3, mono ? 0u : 1u},                {273, 4, data},
            {277, 3, 1},                             {278, 4, std::uint32_t(page.height())},
            {279, 4, std::uint32_t(rowBytes * page.height())},
            {282, 5, rational},                      {283, 5, rational},
            {296, 3, 2},
        };
        put16(file, unsigned(entries.size()));
        for (const Entry& e : entries) {
            put16(file, e.tag);
            put16(file, e.type);
            put32(file, 1);
            if (e.type == 3) {
                put16(file, e.value);
                put16(file, 0);
            } else {
                put32(file, e.value);
            }
        }
        nextLink = file.size();
        put32(file, 0);
    }
    std::ofstream(path, std::ios::binary) << file;
}

QImage greyBands(int width, int height, const std::vector<int>& levels) {
    QImage image(width, height, QImage::Format_Grayscale8);
    const int bands = int(levels.size());
    for (int y = 0; y < height; ++y) {
        const int band = std::min(bands - 1, y * bands / height);
        std::fill_n(image.scanLine(y), width, std::uint8_t(levels[std::size_t(band)]));
    }
    return image;
}

}  // namespace quillet::testing
