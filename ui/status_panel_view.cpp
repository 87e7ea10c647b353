#include "ui/status_panel_view.h"

#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

#include "ui/desktop_fit.h"

namespace quillet::ui {

namespace {

QTextOption wrapping() {
    QTextOption o(Qt::AlignLeft);
    o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return o;
}

// Lays `layout` out in lines of `width`; returns the height taken.
qreal layOut(QTextLayout& layout, int width) {
    layout.setTextOption(wrapping());
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    return y;
}

}  // namespace

StatusPanelView::StatusPanelView(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("Panel1"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setContentsMargins(4, 1, 4, 1);
    setFixedHeight(kLines * fontMetrics().lineSpacing() + 2 * frameWidth() + 4);
    setAccessibleRole(this, QAccessible::StatusBar);
}

void StatusPanelView::showText(const QString& text) {
    setText(text);
    setToolTip(text);
}

qreal StatusPanelView::heightOf(const QString& text, const QFont& f) const {
    QTextLayout layout(text, f);
    return layOut(layout, contentsRect().width());
}

QFont StatusPanelView::fontFor(const QString& text) const {
    QFont f = font();
    const qreal smallest = f.pointSizeF() * kSmallestType;
    const int room = contentsRect().height();
    while (heightOf(text, f) > room && f.pointSizeF() - 0.5 >= smallest)
        f.setPointSizeF(f.pointSizeF() - 0.5);
    return f;
}

bool StatusPanelView::fits(const QString& text) const {
    return heightOf(text, fontFor(text)) <= contentsRect().height();
}

void StatusPanelView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect();
    QTextLayout layout(text(), fontFor(text()));
    const qreal height = layOut(layout, area.width());
    // One or two lines, centred in the panel's height.
    const qreal top = area.top() + std::max<qreal>(0, (area.height() - height) / 2);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setClipRect(area);
    layout.draw(&painter, QPointF(area.left(), top));
}

}  // namespace quillet::ui
