#pragma once
// Ttempform, the bitmap viewer: a frameless always-on-top window that shows
// ViewerBitmap reduced by ViewerScale. The picture is converted once per
// bitmap and scale into a cached pixmap; mouse and key events go to the
// viewer model, which moves, resizes, shows and hides the window.

#include <QPixmap>
#include <QWidget>

#include "app/mouse_pointer.h"
#include "output/viewer.h"

namespace quillet::ui {

class WindowBinding;

class Ttempform : public QWidget {
    Q_OBJECT
public:
    Ttempform(output::Viewer& viewer, app::MousePointer& pointer);

    // The pixmap drawn for the current bitmap and scale (built on demand).
    const QPixmap& picture();
    // How many times the picture was built (tests and measurements).
    int pictureBuilds() const { return builds_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    output::Viewer& viewer_;
    app::MousePointer& pointer_;
    WindowBinding* binding_ = nullptr;
    QPixmap picture_;
    bool pictureValid_ = false;
    int builds_ = 0;
};

}  // namespace quillet::ui
