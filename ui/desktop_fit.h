#pragma once
// Fitting Quillet's windows to the desktop they run on.
//
// The fixed window sizes and positions were laid out for the 8 point
// "MS Sans Serif" of a 96 dpi desktop, whose letters are 6 pixels wide on
// average and 13 pixels high. On a desktop with a larger font every fixed
// size and position is scaled by the ratio of the desktop font's average
// letter width (and height) to those, as desktop toolkits scale forms that
// were designed for another font, so the layout keeps its proportions.
// Never scaled below the design.

#include <QAccessible>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QFontMetricsF;
class QWidget;

namespace quillet::ui {

class DesignScale {
public:
    static constexpr double kDesignLetterWidth = 6.0;
    static constexpr double kDesignLetterHeight = 13.0;

    explicit DesignScale(const QFont& desktopFont);
    // For the application's font, measured once.
    static const DesignScale& desktop();

    double x() const { return x_; }
    double y() const { return y_; }
    // Design pixels to desktop pixels, rounded to the nearest.
    int sx(int designX) const;
    int sy(int designY) const;
    QSize size(int designWidth, int designHeight) const { return {sx(designWidth), sy(designHeight)}; }
    QPoint point(int designX, int designY) const { return {sx(designX), sy(designY)}; }

    // The average advance of the 52 letters a-z, A-Z.
    static double averageLetterWidth(const QFontMetricsF& metrics);

private:
    double x_ = 1.0;
    double y_ = 1.0;
};

// The width a window needs for its whole title in the desktop's title bar:
// the title in bold type plus room for the window's icon and buttons.
int titleWidth(const QWidget* window, const QString& title);

// The role a widget reports to screen readers, in place of the one its Qt
// class would give; a widget without an accessible name is then named by
// its text (a label's caption, a window's title).
void setAccessibleRole(QWidget* widget, QAccessible::Role role);

// Makes one of Quillet's windows readable by screen readers and by eye:
// every control that a label is the buddy of takes the label's caption (less
// the "&") as its accessible name unless it has one, and its help text as
// its description; the window is named by
// its title and `dialog` decides its role (a dialog or a window).
// Also widens the window to `titleWidth` when it is narrower.
void finishWindow(QWidget* window, bool dialog);

}  // namespace quillet::ui
