#include "ui/helpform.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QTextLayout>
#include <QPlainTextEdit>
#include <QStatusTipEvent>
#include <QAction>
#include <QTextBlock>
#include <QTextDocument>
#include <cmath>

#include "ui/bindings.h"
#include "ui/desktop_fit.h"

namespace quillet::ui {

// ---------------------------------------------------------------- routing

HintRouter::HintRouter(std::function<void(const std::string&)> sink, QObject* parent)
    : QObject(parent), sink_(std::move(sink)) {}

QString HintRouter::hintOf(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget())
        if (!w->statusTip().isEmpty()) return w->statusTip();
    return {};
}

void HintRouter::route(const QString& hint) {
    if (started_ && hint == last_) return;
    started_ = true;
    last_ = hint;
    if (sink_) sink_(ss(hint));
}

bool HintRouter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::StatusTip: {
            QString tip = static_cast<QStatusTipEvent*>(event)->tip();
            // Leaving a widget clears its tip: the text becomes that of what
            // the pointer is over now (a widget without its own text shows
            // the text of the widget around it).
            if (tip.isEmpty()) tip = hintOf(QApplication::widgetAt(QCursor::pos()));
            route(tip);
            break;
        }
        case QEvent::Enter:
            if (auto* w = qobject_cast<QWidget*>(watched)) route(hintOf(w));
            break;
        default:
            break;
    }
    return false;
}

// ---------------------------------------------------------------- window

int HelpMemo::textBottom() const {
    // The lines as the text area breaks them: its font, tab stops and word
    // wrap at its width (it has no frame and no scroll bars), within the
    // document's margins; laid out here, so that a window not shown yet (whose
    // viewport has not taken its size) measures the same.
    const qreal margin = document()->documentMargin();
    const qreal width = contentsRect().width() - 2 * margin;
    qreal y = margin;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        QTextLayout layout(b.text(), font());
        layout.setTextOption(document()->defaultTextOption());
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            y += line.height();
        }
        layout.endLayout();
    }
    return contentsRect().top() + int(std::ceil(y));
}

TForm2::TForm2(app::HelpWindow& help, app::MousePointer& pointer,
               std::function<void(const std::string&)> hintSink)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      help_(help), pointer_(pointer) {
    using H = app::HelpWindow;
    setAttribute(Qt::WA_QuitOnClose, false);
    // Showing it (F1, F12, a new bitmap) leaves the keyboard with the main
    // window, so that the same key hides it again.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStatusTip(QString::fromUtf8(H::kHint));

    // The design's sizes at the desktop's font: client 284 x 85, Memo1 129
    // high from 16 pixels above the client area.
    const DesignScale& scale = DesignScale::desktop();
    hidden_ = scale.sy(-H::kMemoTop);
    overfill_ = scale.sy(H::kMemoTop + H::kMemoHeight - help_.window.height());
    help_.window.resize(scale.sx(help_.window.width()), scale.sy(help_.window.height()));

    Memo1_ = new HelpMemo(this);
    Memo1_->setObjectName(QStringLiteral("Memo1"));
    Memo1_->setAccessibleName(QStringLiteral("Help"));
    Memo1_->setReadOnly(true);
    Memo1_->setFrameShape(QFrame::NoFrame);
    Memo1_->setTabChangesFocus(true);
    // Every button drags the window: no context menu on the text.
    Memo1_->setContextMenuPolicy(Qt::NoContextMenu);
    Memo1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont font(QString::fromLatin1(H::kMemoFont), H::kMemoPointSize);
    font.setStyleHint(QFont::Serif);
    Memo1_->setFont(font);
    QPalette pal = Memo1_->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Base, QColor(255, 255, 0));
        pal.setColor(group, QPalette::Text, Qt::black);
    }
    Memo1_->setPalette(pal);
    Memo1_->setStatusTip(statusTip());
    Memo1_->viewport()->installEventFilter(this);
    Memo1_->viewport()->setCursor(Qt::ArrowCursor);
    resize(help_.window.width(), help_.window.height());
    placeMemo();

    onSignal(help_.memoChanged, this, [](TForm2* w) { w->showMemo(); });
    onSignal(pointer_.changed, this, [](TForm2* w) {
        w->Memo1_->viewport()->setCursor(w->pointer_.isCross() ? Qt::CrossCursor : Qt::ArrowCursor);
    });
    fitKnownHints();

    binding_ = new WindowBinding(this, help_.window,
                                 {.followSize = true, .fixedSize = true, .closeHides = true});
    finishWindow(this, true);
    binding_->apply();

    router_ = new HintRouter(std::move(hintSink), this);
    qApp->installEventFilter(router_);
}

TForm2::~TForm2() {
    if (qApp) qApp->removeEventFilter(router_);
}

void TForm2::placeMemo() {
    Memo1_->setGeometry(0, -hidden_, width(), height() + hidden_ + overfill_);
    // The four tabs and seven blanks before each help text fill the first
    // line, which lies in the hidden top strip, so the text itself starts on
    // the second line, in full view.
    const QFontMetricsF metrics(Memo1_->font());
    const qreal lineWidth = width() - 2 * Memo1_->document()->documentMargin();
    Memo1_->setTabStopDistance(
        std::ceil((lineWidth - 7 * metrics.horizontalAdvance(QLatin1Char(' '))) / 4));
}

void TForm2::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeMemo();
}

int TForm2::heightFor(const QString& text) {
    Memo1_->setPlainText(text);
    // The last line ends above the bottom edge, with the memo's margin.
    return Memo1_->textBottom() - hidden_ + int(std::ceil(Memo1_->document()->documentMargin()));
}

void TForm2::showMemo() {
    help_.fitTextHeight(heightFor(qs(help_.memoText())));
}

void TForm2::fitKnownHints() {
    int need = 0;
    auto consider = [&](const QString& hint) {
        if (!hint.isEmpty())
            need = std::max(need, heightFor(QString::fromUtf8(app::HelpWindow::kHintPrefix) + hint));
    };
    for (const QWidget* w : QApplication::allWidgets()) {
        consider(w->statusTip());
        for (const QAction* a : w->actions()) consider(a->statusTip());
    }
    for (const QWidget* top : QApplication::topLevelWidgets())
        for (const QAction* a : top->findChildren<QAction*>()) consider(a->statusTip());
    help_.fitTextHeight(need);
    showMemo();
}

QPoint TForm2::memoPoint(const QMouseEvent* event) const {
    // Memo1's coordinates against where the model has put the window (its
    // frame's top-left), so that a drag does not chase the desktop's lag in
    // applying the moves.
    const QPoint clientInFrame = geometry().topLeft() - pos();
    const QPoint memoOrigin = QPoint(help_.window.left(), help_.window.top()) + clientInFrame +
                              Memo1_->pos() + Memo1_->viewport()->pos();
    return event->globalPosition().toPoint() - memoOrigin;
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Memo1_->viewport()) return false;
    // Memo1's coordinates: the viewport has no frame around it.
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            const QPoint p = memoPoint(static_cast<QMouseEvent*>(event));
            help_.memoMouseDown(p.x(), p.y());
            return true;
        }
        case QEvent::MouseMove: {
            const QPoint p = memoPoint(static_cast<QMouseEvent*>(event));
            help_.memoMouseMove(p.x(), p.y());
            return true;
        }
        case QEvent::MouseButtonRelease: {
            const QPoint p = memoPoint(static_cast<QMouseEvent*>(event));
            help_.memoMouseUp(p.x(), p.y());
            return true;
        }
        default:
            return false;
    }
}

}  // namespace quillet::ui
