#include "ui/bmpform.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "ui/bindings.h"
#include "ui/bitmap_image.h"
#include "ui/desktop_fit.h"

namespace quillet::ui {

Ttempform::Ttempform(output::Viewer& viewer, app::MousePointer& pointer)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      viewer_(viewer), pointer_(pointer) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Showing it (F1, F12, a new bitmap) leaves the keyboard with the main
    // window, so that the same key hides it again.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_QuitOnClose, false);
    setStatusTip(QString::fromUtf8(output::Viewer::kHint));
    setFocusPolicy(Qt::ClickFocus);
    onSignal(viewer_.bitmapChanged, this, [](Ttempform* w) {
        w->dropPicture();
        w->update();
    });
    onSignal(pointer_.changed, this, [](Ttempform* w) {
        w->setCursor(w->pointer_.isCross() ? Qt::CrossCursor : Qt::ArrowCursor);
    });
    binding_ = new WindowBinding(this, viewer_.window,
                                 {.followSize = true,
                                  .fixedSize = false,
                                  .followStayOnTop = false,
                                  .closeHides = true,
                                  .emptyIsOnePixel = true,
                                  .placedByProgram = true});
    finishWindow(this, false);
    binding_->apply();
}

void Ttempform::dropPicture() {
    reducedValid_ = false;
    reduced_ = imaging::Bitmap();
    tiles_.clear();
    tileColumns_ = 0;
    tilesBuilt_ = 0;
}

const imaging::Bitmap& Ttempform::shown() {
    const imaging::Bitmap& full = viewer_.ViewerBitmap;
    if (viewer_.ViewerScale <= 1) return full;
    if (!reducedValid_) {
        reducedValid_ = true;
        reduced_ = reduceForDisplay(full, viewer_.shownWidth(), viewer_.shownHeight());
    }
    return reduced_;
}

const QPixmap& Ttempform::tile(int tx, int ty) {
    const imaging::Bitmap& pic = shown();
    if (tiles_.empty()) {
        tileColumns_ = (pic.width() + kTile - 1) / kTile;
        const int rows = (pic.height() + kTile - 1) / kTile;
        tiles_.resize(std::size_t(tileColumns_) * std::size_t(rows));
    }
    QPixmap& t = tiles_[std::size_t(ty) * std::size_t(tileColumns_) + std::size_t(tx)];
    if (t.isNull()) {
        QImage image = toScreenImage(pic, QRect(tx * kTile, ty * kTile, kTile, kTile));
        t = QPixmap::fromImage(std::move(image), Qt::NoFormatConversion);
        ++tilesBuilt_;
    }
    return t;
}

void Ttempform::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    QRect area = event->rect();
    // Only what can be seen: a page larger than the screen is drawn where it
    // lies on the screen (moving the window repaints the rest).
    if (const QScreen* s = screen()) {
        const QRect onScreen(mapFromGlobal(s->geometry().topLeft()), s->geometry().size());
        area &= onScreen;
    }
    if (area.isEmpty()) return;
    const imaging::Bitmap& pic = shown();
    const QRect picRect(0, 0, pic.width(), pic.height());
    const QRect drawn = area & picRect;
    if (!drawn.isEmpty()) {
        for (int ty = drawn.top() / kTile; ty <= drawn.bottom() / kTile; ++ty) {
            for (int tx = drawn.left() / kTile; tx <= drawn.right() / kTile; ++tx) {
                const QRect tileRect(tx * kTile, ty * kTile, kTile, kTile);
                const QRect part = drawn & tileRect;
                painter.drawPixmap(part.topLeft(), tile(tx, ty), part.translated(-tileRect.topLeft()));
            }
        }
    }
    const QRegion rest = QRegion(area).subtracted(QRegion(drawn));
    for (const QRect& r : rest) painter.fillRect(r, Qt::white);
}

void Ttempform::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    update();
}

QPoint Ttempform::modelPoint(const QMouseEvent* event) const {
    // Window coordinates against where the model has put the window: the
    // desktop applies moves a little later than the model makes them, and a
    // drag must not chase the lag.
    const QPoint g = event->globalPosition().toPoint();
    return g - QPoint(viewer_.window.left(), viewer_.window.top());
}

void Ttempform::mousePressEvent(QMouseEvent* event) {
    const QPoint p = modelPoint(event);
    viewer_.mouseDown(p.x(), p.y());
}

void Ttempform::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = modelPoint(event);
    const QPoint g = event->globalPosition().toPoint();
    output::MouseButtons held;
    held.left = event->buttons() & Qt::LeftButton;
    held.right = event->buttons() & Qt::RightButton;
    viewer_.mouseMove(p.x(), p.y(), {g.x(), g.y()}, held);
}

void Ttempform::mouseReleaseEvent(QMouseEvent*) { viewer_.mouseUp(); }

void Ttempform::mouseDoubleClickEvent(QMouseEvent*) { viewer_.doubleClick(); }

void Ttempform::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        viewer_.keyPress(27);
    else
        QWidget::keyPressEvent(event);
}

}  // namespace quillet::ui
