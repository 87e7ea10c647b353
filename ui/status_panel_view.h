#pragma once
// Panel1 as the main window shows it: a sunken panel along the bottom edge
// that holds its text whole, on two lines when one is too short (broken
// between words, or inside a word longer than a line, such as a path), in a
// slightly smaller type when even two are too short. Its tooltip holds the
// full text as well. Screen readers see a status bar.

#include <QFont>
#include <QLabel>

namespace quillet::ui {

class StatusPanelView : public QLabel {
    Q_OBJECT
public:
    static constexpr int kLines = 2;
    // The smallest type a long text is shown in, against the panel's own.
    static constexpr double kSmallestType = 0.7;

    explicit StatusPanelView(QWidget* parent = nullptr);
    // Shows `text`, in full in the tooltip too.
    void showText(const QString& text);
    // The type `text` is shown in: the panel's own, or smaller where needed.
    QFont fontFor(const QString& text) const;
    // Whether `text` is shown whole.
    bool fits(const QString& text) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The height of `text` laid out in `font` at the panel's width.
    qreal heightOf(const QString& text, const QFont& font) const;
};

}  // namespace quillet::ui
