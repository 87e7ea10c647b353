#pragma once
// TForm2, the context help window: a small always-on-top window whose
// yellow text area Memo1 shows the help text of whatever the pointer is
// over. The window also routes the application's help texts (the status tips
// of widgets and menu items) to the program, which writes them into Memo1.

#include <QObject>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>

#include "app/help_window.h"
#include "app/mouse_pointer.h"

#include <QPlainTextEdit>

class QMouseEvent;

namespace quillet::ui {

class WindowBinding;

// Memo1: a read-only text area that can tell where its text ends.
class HelpMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;
    // The bottom of the text's last line, in the memo's own coordinates, with
    // no scrolling.
    int textBottom() const;
};

// Watches the whole application for the current help text: status tips sent
// by menus and widgets (QStatusTipEvent) and the pointer entering a widget,
// whose help text is its own status tip or that of the nearest widget
// containing it. Each change of the text is passed to `sink` once.
class HintRouter : public QObject {
    Q_OBJECT
public:
    explicit HintRouter(std::function<void(const std::string&)> sink, QObject* parent = nullptr);
    // The help text of a widget: its status tip or its nearest ancestor's,
    // within its window; empty when none has one.
    static QString hintOf(const QWidget* widget);
    // Passes `hint` on when it differs from the last one passed.
    void route(const QString& hint);
    const QString& current() const { return last_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const std::string&)> sink_;
    QString last_;
    bool started_ = false;
};

class TForm2 : public QWidget {
    Q_OBJECT
public:
    // `hintSink` receives each new help text (Program::hintChanged).
    TForm2(app::HelpWindow& help, app::MousePointer& pointer,
           std::function<void(const std::string&)> hintSink);
    ~TForm2() override;

    HelpMemo* memo() const { return Memo1_; }
    HintRouter* router() const { return router_; }
    // The strip of Memo1 hidden above the client area (16 pixels at the
    // designed font).
    int hiddenStrip() const { return hidden_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPoint memoPoint(const QMouseEvent* event) const;
    // Memo1 over the client area: the hidden strip above, the overfill below.
    void placeMemo();
    // Shows the model's text; a window too low for it grows.
    void showMemo();
    // The client height that `text` needs to be read whole in Memo1.
    int heightFor(const QString& text);
    // Grows the window to the longest help text known when it is made (the
    // windows before it exist by then; later texts grow it when shown).
    void fitKnownHints();

    app::HelpWindow& help_;
    app::MousePointer& pointer_;
    HelpMemo* Memo1_ = nullptr;
    int hidden_ = 0;
    int overfill_ = 0;
    HintRouter* router_ = nullptr;
    WindowBinding* binding_ = nullptr;
};

}  // namespace quillet::ui
