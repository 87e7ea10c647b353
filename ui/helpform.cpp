#include "ui/helpform.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStatusTipEvent>
#include <QTextDocument>
#include <cmath>

#include "ui/bindings.h"

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

TForm2::TForm2(app::HelpWindow& help, app::MousePointer& pointer,
               std::function<void(const std::string&)> hintSink)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      help_(help), pointer_(pointer) {
    setAttribute(Qt::WA_QuitOnClose, false);
    // Showing it (F1, F12, a new bitmap) leaves the keyboard with the main
    // window, so that the same key hides it again.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStatusTip(QString::fromUtf8(app::HelpWindow::kHint));

    // Memo1 overfills the client area: its first 16 pixels are hidden.
    Memo1_ = new QPlainTextEdit(this);
    Memo1_->setObjectName(QStringLiteral("Memo1"));
    Memo1_->setReadOnly(true);
    Memo1_->setFrameShape(QFrame::NoFrame);
    Memo1_->setTabChangesFocus(true);
    Memo1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1_->setGeometry(app::HelpWindow::kMemoLeft, app::HelpWindow::kMemoTop,
                        app::HelpWindow::kMemoWidth, app::HelpWindow::kMemoHeight);
    QFont font(QString::fromLatin1(app::HelpWindow::kMemoFont), app::HelpWindow::kMemoPointSize);
    font.setStyleHint(QFont::Serif);
    Memo1_->setFont(font);
    // The four tabs and seven blanks before each help text fill the first
    // line, which lies in the hidden top strip, so the text itself starts on
    // the second line, in full view.
    const QFontMetricsF metrics(font);
    const qreal lineWidth = app::HelpWindow::kMemoWidth - 2 * Memo1_->document()->documentMargin();
    Memo1_->setTabStopDistance(std::ceil((lineWidth - 7 * metrics.horizontalAdvance(QLatin1Char(' '))) / 4));
    QPalette pal = Memo1_->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Base, QColor(255, 255, 0));
        pal.setColor(group, QPalette::Text, Qt::black);
    }
    Memo1_->setPalette(pal);
    Memo1_->setStatusTip(statusTip());
    Memo1_->viewport()->installEventFilter(this);
    Memo1_->viewport()->setCursor(Qt::ArrowCursor);

    onSignal(help_.memoChanged, this, [](TForm2* w) {
        w->Memo1_->setPlainText(qs(w->help_.memoText()));
    });
    onSignal(pointer_.changed, this, [](TForm2* w) {
        w->Memo1_->viewport()->setCursor(w->pointer_.isCross() ? Qt::CrossCursor : Qt::ArrowCursor);
    });
    Memo1_->setPlainText(qs(help_.memoText()));

    binding_ = new WindowBinding(this, help_.window,
                                 {.followSize = true, .fixedSize = true, .closeHides = true});
    binding_->apply();

    router_ = new HintRouter(std::move(hintSink), this);
    qApp->installEventFilter(router_);
}

TForm2::~TForm2() {
    if (qApp) qApp->removeEventFilter(router_);
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
