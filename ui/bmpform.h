#pragma once
// Ttempform, the bitmap viewer: a frameless always-on-top window that shows
// ViewerBitmap reduced by ViewerScale. The reduced picture is made once per
// bitmap and scale and converted to screen pixels tile by tile, only where
// the window is painted on the screen (a page is often far larger than the
// screen); tiles are kept until the bitmap or scale changes. Mouse and key
// events go to the viewer model, which moves, resizes, shows and hides the
// window.

#include <QMouseEvent>
#include <QPixmap>
#include <QWidget>
#include <vector>

#include "app/mouse_pointer.h"
#include "output/viewer.h"

namespace quillet::ui {

class WindowBinding;

class Ttempform : public QWidget {
    Q_OBJECT
public:
    // Shows `viewer`'s bitmap; the cross pointer of `pointer` marks a drag.
    Ttempform(output::Viewer& viewer, app::MousePointer& pointer);

    // How many picture tiles were converted since the last bitmap or scale
    // change (tests and measurements).
    int tilesBuilt() const { return tilesBuilt_; }
    // The side of a picture tile in shown pixels.
    static constexpr int kTile = 256;

protected:
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPoint modelPoint(const QMouseEvent* event) const;
    // ViewerBitmap at the shown size: the bitmap itself at scale 1, else a
    // black-wins reduction made once per bitmap and scale.
    const imaging::Bitmap& shown();
    // The converted tile (tx, ty) of the shown bitmap, made on first use.
    const QPixmap& tile(int tx, int ty);
    void dropPicture();

    output::Viewer& viewer_;
    app::MousePointer& pointer_;
    WindowBinding* binding_ = nullptr;
    bool reducedValid_ = false;
    imaging::Bitmap reduced_;
    int tileColumns_ = 0;
    std::vector<QPixmap> tiles_;
    int tilesBuilt_ = 0;
};

}  // namespace quillet::ui
