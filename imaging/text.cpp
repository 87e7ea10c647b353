// Text on bitmaps: Qt renders the text into a small grey image, which is
// thresholded into the destination.
//
// Precondition of both functions: a QGuiApplication exists (Qt's font
// database needs one). Without it they throw BitmapError instead of letting
// Qt abort.

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "imaging/bit_rows.h"
#include "imaging/bitmap.h"
#include "imaging/bitmap_error.h"
#include "imaging/colour.h"

namespace quillet::imaging {

namespace {

void requireGuiApplication() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        throw BitmapError("Text drawing needs a running QGuiApplication");
}

// Points become pixels at 96 pixels per inch, rounded to the nearest pixel,
// whatever the screen's resolution.
int pixelSize(int pointSize) { return std::max(1, (std::abs(pointSize) * 96 + 36) / 72); }

QFont toQFont(const Font& font) {
    QFont f(QString::fromStdString(font.name));
    f.setPixelSize(pixelSize(font.pointSize));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setStrikeOut(font.strikeOut);
    // One-bit output: render without grey edges so the threshold keeps the
    // glyph shapes the hinter chose.
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

}  // namespace

Size measureText(const std::string& utf8, const Font& font) {
    requireGuiApplication();
    const QFontMetrics metrics(toQFont(font));
    return Size{metrics.horizontalAdvance(QString::fromStdString(utf8)), metrics.height()};
}

void Bitmap::drawText(int x, int y, const std::string& utf8, const Font& font) {
    requireGuiApplication();
    const QFont qfont = toQFont(font);
    const QFontMetrics metrics(qfont);
    const QString text = QString::fromStdString(utf8);
    const int w = metrics.horizontalAdvance(text), h = metrics.height();

    // Only the part of the text box inside the bitmap is rendered.
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = int(std::min<std::int64_t>(std::int64_t(x) + w, width_));
    const int y1 = int(std::min<std::int64_t>(std::int64_t(y) + h, height_));
    if (x0 >= x1 || y0 >= y1) return;
    const int cw = x1 - x0, ch = y1 - y0;

    QImage canvas(cw, ch, QImage::Format_Grayscale8);
    if (canvas.isNull()) throw BitmapError("Not enough memory to draw text");
    canvas.fill(255);
    {
        QPainter painter(&canvas);
        painter.setFont(qfont);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(x - x0, y - y0 + metrics.ascent()), text);
    }

    // Opaque: the box becomes white, then the glyph pixels black.
    std::vector<std::uint64_t> bits(wordsFor(cw));
    for (int r = 0; r < ch; ++r) {
        const std::uint8_t* grey = canvas.constScanLine(r);
        if (monochrome_) {
            std::fill(bits.begin(), bits.end(), 0);
            for (int c = 0; c < cw; ++c)
                if (grey[c] < 128) bits[c >> 6] |= std::uint64_t(1) << (63 - (c & 63));
            depositBits(row(y0 + r), x0, bits.data(), cw, false);
        } else {
            std::uint32_t* dst = colourRow(y0 + r) + x0;
            for (int c = 0; c < cw; ++c) dst[c] = packRgb(grey[c] < 128 ? kBlack : kWhite);
        }
    }
}

}  // namespace quillet::imaging
