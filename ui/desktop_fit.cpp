#include "ui/desktop_fit.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace quillet::ui {

namespace {

const char* const kRoleProperty = "quilletAccessibleRole";

// A widget that reports the role it was given; without a name of its own it
// is named by its text (a label's caption, a window's title).
class RoleAccessible : public QAccessibleWidget {
public:
    RoleAccessible(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            if (auto* label = qobject_cast<const QLabel*>(widget())) return label->text();
            if (widget()->isWindow()) return widget()->windowTitle();
        }
        return QAccessibleWidget::text(t);
    }
};

// The roles given with setAccessibleRole (a bare top-level QWidget would be
// an anonymous filler, a label static text).
QAccessibleInterface* roleFactory(const QString&, QObject* object) {
    auto* w = qobject_cast<QWidget*>(object);
    if (!w) return nullptr;
    const QVariant role = w->property(kRoleProperty);
    if (!role.isValid()) return nullptr;
    return new RoleAccessible(w, QAccessible::Role(role.toInt()));
}

QString withoutAccessKeys(QString caption) {
    caption.replace(QLatin1String("&&"), QLatin1String("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return caption;
}

}  // namespace

DesignScale::DesignScale(const QFont& desktopFont) {
    // In the pixels the windows are laid out in (a desktop with more dots per
    // inch has a font of more pixels, and so larger windows).
    const QFontMetricsF m(desktopFont);
    x_ = std::max(1.0, averageLetterWidth(m) / kDesignLetterWidth);
    y_ = std::max(1.0, m.height() / kDesignLetterHeight);
}

const DesignScale& DesignScale::desktop() {
    static const DesignScale scale(QApplication::font());
    return scale;
}

int DesignScale::sx(int designX) const { return int(std::lround(designX * x_)); }
int DesignScale::sy(int designY) const { return int(std::lround(designY * y_)); }

double DesignScale::averageLetterWidth(const QFontMetricsF& metrics) {
    static const QString letters =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    return metrics.horizontalAdvance(letters) / letters.size();
}

int titleWidth(const QWidget* window, const QString& title) {
    QFont bold = window->font();
    bold.setBold(true);
    const QFontMetrics m(bold);
    // The window's icon and up to three buttons (desktops often show them
    // all) with the padding around them and the title: about eight lines'
    // height.
    return m.horizontalAdvance(title) + 8 * m.height();
}

void setAccessibleRole(QWidget* widget, QAccessible::Role role) {
    static const bool installed = [] {
        QAccessible::installFactory(roleFactory);
        return true;
    }();
    (void)installed;
    widget->setProperty(kRoleProperty, int(role));
}

void finishWindow(QWidget* window, bool dialog) {
    setAccessibleRole(window, dialog ? QAccessible::Dialog : QAccessible::Window);
    // Each control's help text describes it to a screen reader too.
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->accessibleDescription().isEmpty() && !w->statusTip().isEmpty())
            w->setAccessibleDescription(w->statusTip());
    for (QLabel* label : window->findChildren<QLabel*>()) {
        QWidget* buddy = label->buddy();
        if (buddy && buddy->accessibleName().isEmpty())
            buddy->setAccessibleName(withoutAccessKeys(label->text()));
    }
    if (window->windowFlags().testFlag(Qt::FramelessWindowHint)) return;  // no title bar
    const int need = titleWidth(window, window->windowTitle());
    if (window->minimumWidth() < need) window->setMinimumWidth(need);
}

}  // namespace quillet::ui
