#include "ui/bmpform.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/bindings.h"
#include "ui/bitmap_image.h"

namespace quillet::ui {

Ttempform::Ttempform(output::Viewer& viewer, app::MousePointer& pointer)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      viewer_(viewer), pointer_(pointer) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_QuitOnClose, false);
    setStatusTip(QString::fromUtf8(output::Viewer::kHint));
    setFocusPolicy(Qt::ClickFocus);
    onSignal(viewer_.bitmapChanged, this, [](Ttempform* w) {
        w->pictureValid_ = false;
        w->picture_ = QPixmap();
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
                                  .emptyIsOnePixel = true});
    binding_->apply();
}

const QPixmap& Ttempform::picture() {
    if (!pictureValid_) {
        pictureValid_ = true;
        ++builds_;
        const QImage image =
            toDisplayImage(viewer_.ViewerBitmap, viewer_.shownWidth(), viewer_.shownHeight());
        picture_ = image.isNull() ? QPixmap() : QPixmap::fromImage(image, Qt::ThresholdDither);
    }
    return picture_;
}

void Ttempform::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QPixmap& pic = picture();
    if (pic.isNull()) {
        painter.fillRect(event->rect(), Qt::white);
        return;
    }
    // Only the exposed part of the picture is drawn.
    painter.drawPixmap(event->rect(), pic, event->rect());
    if (!pic.rect().contains(event->rect())) {
        const QRegion rest = QRegion(event->rect()).subtracted(QRegion(pic.rect()));
        for (const QRect& r : rest) painter.fillRect(r, Qt::white);
    }
}

void Ttempform::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    viewer_.mouseDown(p.x(), p.y());
}

void Ttempform::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
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
