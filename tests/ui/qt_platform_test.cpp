// The Qt desktop services and the bitmap-to-screen conversion: message box
// captions, icons, buttons and the answer when a box is closed without a
// choice; the file dialog filter; the private temporary folder's safety
// rules; screen pixels exactly as the packed bitmap holds them.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "imaging/bitmap.h"
#include "qt_app.h"
#include "support/pdf_queue.h"
#include "support/temp_dir.h"
#include "ui/QtPlatform.h"
#include "ui/bitmap_image.h"

namespace {

using quillet::app::Button;
using quillet::app::MessageKind;
namespace fs = std::filesystem;

using quillet::uitest::application;

// What a shown box looked like, and how the test answered it.
struct SeenBox {
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

// Shows the box for `request`; when it is up, records it and runs `answer`.
Button showAndAnswer(quillet::ui::QtPlatform& p, const quillet::app::MessageBoxRequest& request,
                     SeenBox& seen, std::function<void(QMessageBox*)> answer) {
    QTimer::singleShot(0, [&seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.title = box->windowTitle();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons()) seen.buttons << b->text();
        answer(box);
    });
    return p.messageBox(request);
}

QAbstractButton* buttonCalled(QMessageBox* box, const QString& text) {
    for (QAbstractButton* b : box->buttons())
        if (b->text() == text) return b;
    return nullptr;
}

void pressEscape(QMessageBox* box) {
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(box, &esc);
}

TEST(QtPlatformMessageBox, CaptionsIconsButtonsAndAnswers) {
    application();
    quillet::ui::QtPlatform p;
    struct Case {
        MessageKind kind;
        const char* caption;
        std::vector<Button> buttons;
        QMessageBox::Icon icon;
        QStringList captions;
        const char* press;  // button text, or nullptr for Escape
        Button answer;
    };
    const Case cases[] = {
        {MessageKind::Notice, "Quillet", {Button::Ok}, QMessageBox::NoIcon, {"OK"}, "OK", Button::Ok},
        {MessageKind::Warning, "Warning", {Button::Ok}, QMessageBox::Warning, {"OK"}, nullptr, Button::Ok},
        {MessageKind::Confirmation, "Confirm", {Button::Yes, Button::No, Button::Cancel, Button::All},
         QMessageBox::Question, {"&Yes", "&No", "Cancel", "&All"}, "&All", Button::All},
        // Closed without a choice: Cancel, never Yes.
        {MessageKind::Confirmation, "Confirm", {Button::Yes, Button::No, Button::Cancel, Button::All},
         QMessageBox::Question, {"&Yes", "&No", "Cancel", "&All"}, nullptr, Button::Cancel},
        // Without Cancel, closing means No.
        {MessageKind::Confirmation, "Confirm", {Button::Yes, Button::No}, QMessageBox::Question,
         {"&Yes", "&No"}, nullptr, Button::No},
        {MessageKind::Information, "Information", {Button::Yes, Button::No},
         QMessageBox::Information, {"&Yes", "&No"}, "&Yes", Button::Yes},
        {MessageKind::Error, "Quillet", {Button::Ok}, QMessageBox::Critical, {"OK"}, "OK", Button::Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        quillet::app::MessageBoxRequest r{c.kind, c.caption, "text", c.buttons};
        SeenBox seen;
        const char* press = c.press;
        const Button got = showAndAnswer(p, r, seen, [press](QMessageBox* box) {
            if (press) {
                QAbstractButton* b = buttonCalled(box, QString::fromLatin1(press));
                ASSERT_NE(b, nullptr);
                b->click();
            } else {
                pressEscape(box);
            }
        });
        EXPECT_EQ(got, c.answer);
        EXPECT_EQ(seen.title, QString::fromLatin1(c.caption));
        EXPECT_EQ(seen.icon, c.icon);
        QStringList sortedSeen = seen.buttons, sortedWant = c.captions;
        sortedSeen.sort();
        sortedWant.sort();
        EXPECT_EQ(sortedSeen, sortedWant);
    }
}

// Counts the events posted to it as they are delivered.
class Counter : public QObject {
public:
    int delivered = 0;
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            ++delivered;
            return true;
        }
        return QObject::event(e);
    }
};

TEST(QtPlatformPaint, PaintingDuringLongWorkIsThrottledAndCatchesUp) {
    application();
    quillet::ui::QtPlatform p;
    // A burst of progress texts, far faster than 20 ms apart: the first is
    // painted at once, the rest wait. A loaded machine may stall the burst
    // past 20 ms, which rightly paints again: such a burst is tried anew.
    for (int attempt = 0; attempt < 20; ++attempt) {
        Counter counter;
        QThread::msleep(25);
        QElapsedTimer clock;
        clock.start();
        int calls = 0;
        while (calls < 50) {
            QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
            p.processPaintEvents();
            ++calls;
        }
        if (clock.elapsed() >= 15) continue;
        EXPECT_EQ(counter.delivered, 1);
        // Past 20 ms the next call paints again, with everything pending.
        QThread::msleep(25);
        p.processPaintEvents();
        EXPECT_EQ(counter.delivered, calls);
        return;
    }
    GTEST_SKIP() << "every burst of 50 calls was stalled past 15 ms";
}

TEST(QtPlatformFilter, OpenDialogListsBitmapsOfEitherCaseWithTheNamePreset) {
    application();
    quillet::testing::TempDir dir;
    for (const char* name : {"lower.bmp", "UPPER.BMP", "notes.txt"}) std::ofstream(dir.file(name)) << "x";
    quillet::ui::QtPlatform p;
    QString nameBox;
    QStringList listed;
    QTimer poll;
    int ticks = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        auto* names = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
        if (names) nameBox = names->text();
        listed.clear();
        if (view && view->model())
            for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
                listed << view->model()->index(r, 0, view->rootIndex()).data().toString();
        // The folder is read in the background: wait for both bitmaps.
        if (listed.size() >= 2 || ++ticks > 60) dialog->reject();
    });
    poll.start(50);
    quillet::app::OpenFileRequest request;
    request.directory = dir.path();
    EXPECT_FALSE(p.openFile(request).has_value());
    listed.sort();
    EXPECT_EQ(nameBox, QStringLiteral("*.bmp"));
    EXPECT_EQ(listed, (QStringList{QStringLiteral("UPPER.BMP"), QStringLiteral("lower.bmp")}));
}

TEST(QtPlatformFilter, SystemFiltersBecomeCaseBlindQtFilters) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"Bitmap Files(*.BMP) | *.BMP", "Bitmap Files (*.bmp *.BMP)"},
        {"Zip Files (*.zip)|*.zip", "Zip Files (*.zip *.ZIP)"},
        {"All files", "All files"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(quillet::ui::QtPlatform::qtFilter(c.in), QString::fromLatin1(c.out)) << c.in;
}

// A scratch TMPDIR for one test, restored afterwards.
struct ScratchTemp {
    ScratchTemp() {
        old = qgetenv("TMPDIR");
        dir = fs::temp_directory_path() / ("quillet-uitmp-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        qputenv("TMPDIR", QByteArray::fromStdString(dir.string()));
        named = dir / ("quillet-" + std::to_string(::getuid()));
    }
    ~ScratchTemp() {
        if (old.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", old);
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    QByteArray old;
    fs::path dir;
    fs::path named;
};

unsigned modeOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return 0;
    return st.st_mode & 07777;
}

TEST(QtPlatformTemp, PrivateFolderIsOursWithMode0700OrAFreshOne) {
    application();
    {
        ScratchTemp t;
        quillet::ui::QtPlatform p;
        const std::string got = p.privateTempDirectory();
        EXPECT_EQ(got, t.named.string());
        EXPECT_EQ(modeOf(got), 0700u);
        EXPECT_EQ(p.privateTempDirectory(), got);  // the same folder for the whole run
    }
    {
        // A folder of that name that others may write into is not used.
        ScratchTemp t;
        fs::create_directories(t.named);
        ::chmod(t.named.c_str(), 0777);
        quillet::ui::QtPlatform p;
        const std::string got = p.privateTempDirectory();
        EXPECT_NE(got, t.named.string());
        EXPECT_EQ(got.rfind(t.named.string() + "-", 0), 0u) << got;
        EXPECT_EQ(modeOf(got), 0700u);
        EXPECT_EQ(modeOf(t.named.string()), 0777u);  // left alone
    }
    {
        // A link planted under that name is not followed.
        ScratchTemp t;
        fs::create_directories(t.dir / "elsewhere");
        ::chmod((t.dir / "elsewhere").c_str(), 0700);
        fs::create_directory_symlink(t.dir / "elsewhere", t.named);
        quillet::ui::QtPlatform p;
        const std::string got = p.privateTempDirectory();
        EXPECT_NE(got, t.named.string());
        EXPECT_NE(got, (t.dir / "elsewhere").string());
        EXPECT_EQ(modeOf(got), 0700u);
    }
}

TEST(QtPlatformPrinter, PrintableAreaInWholeMillimetresAndDevicePixels) {
    application();
    if (QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "no printer installed";
    quillet::ui::QtPlatform p;
    const std::optional<quillet::app::PrinterGeometry> g = p.printerGeometry();
    ASSERT_TRUE(g.has_value());
    QPrinter* printer = p.printer();
    ASSERT_NE(printer, nullptr);
    const QRectF mm = printer->pageLayout().paintRect(QPageLayout::Millimeter);
    EXPECT_EQ(g->widthMm, qRound(mm.width()));
    EXPECT_EQ(g->heightMm, qRound(mm.height()));
    // The same area in device pixels, at the printer's resolution (the
    // margins are kept in points, so allow a point or two of difference).
    const double twoPoints = 2.0 * printer->resolution() / 72.0;
    EXPECT_NEAR(g->widthPx, mm.width() / 25.4 * printer->resolution(), twoPoints);
    EXPECT_NEAR(g->heightPx, mm.height() / 25.4 * printer->resolution(), twoPoints);
    if (QPrinterInfo::defaultPrinterName() == QStringLiteral("PDF") &&
        printer->pageLayout().pageSize().id() == QPageSize::A4) {
        // The cups-pdf queue on A4: 202.94 x 289.94 mm printable.
        EXPECT_EQ(g->widthMm, 203);
        EXPECT_EQ(g->heightMm, 290);
    }
}

// Printer Setup prints nothing: it accepts with OK and offers no print range
// or copies. What it accepts is the printer's paper and orientation from then
// on; what it cancels changes nothing.
TEST(QtPlatformPrinter, SetupChoosesPaperAndOrientationAndAcceptsWithOk) {
    application();
    if (QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "no printer installed";
    quillet::ui::QtPlatform p;
    ASSERT_NE(p.printer(), nullptr);
    struct Case {
        const char* paper;
        bool landscape;
        const char* answer;
        QPageSize::PageSizeId wantSize;
        QPageLayout::Orientation wantOrientation;
    };
    const Case cases[] = {
        {"A5", true, "OK", QPageSize::A5, QPageLayout::Landscape},
        {"A3", false, "Cancel", QPageSize::A5, QPageLayout::Landscape},
        {"A4", false, "OK", QPageSize::A4, QPageLayout::Portrait},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.paper) + " " + c.answer);
        QStringList buttons, offered;
        QTimer::singleShot(0, [&] {
            QWidget* d = QApplication::activeModalWidget();
            ASSERT_NE(d, nullptr);
            for (QAbstractButton* b : d->findChildren<QAbstractButton*>()) {
                if (qobject_cast<QPushButton*>(b)) buttons << b->text();
                if (b->text().remove('&') == (c.landscape ? "Landscape" : "Portrait")) b->click();
            }
            for (QWidget* w : d->findChildren<QWidget*>())
                if (w->inherits("QAbstractSpinBox")) offered << "a number field";
            auto* paper = d->findChild<QComboBox*>(QStringLiteral("paper"));
            ASSERT_NE(paper, nullptr);
            paper->setCurrentIndex(paper->findText(c.paper));
            for (QAbstractButton* b : d->findChildren<QAbstractButton*>())
                if (b->text() == c.answer) b->click();
        });
        p.printerSetup();
        EXPECT_TRUE(buttons.contains("OK") && !buttons.contains("Print")) << buttons.join(", ").toStdString();
        EXPECT_TRUE(offered.isEmpty()) << "copies or a page range offered";
        const QPageLayout layout = p.printer()->pageLayout();
        EXPECT_EQ(layout.pageSize().id(), c.wantSize);
        EXPECT_EQ(layout.orientation(), c.wantOrientation);
        // The printable area, which the printed size takes, follows.
        const std::optional<quillet::app::PrinterGeometry> g = p.printerGeometry();
        ASSERT_TRUE(g.has_value());
        EXPECT_EQ(g->widthMm > g->heightMm, c.wantOrientation == QPageLayout::Landscape);
    }
}

TEST(QtPlatformPrinter, OnePageJobReachesThePrinter) {
    application();
    quillet::testing::PdfQueue queue;
    if (!queue.unavailable().empty()) GTEST_SKIP() << queue.unavailable();
    quillet::ui::QtPlatform p;
    ASSERT_NE(p.printer(), nullptr);
    p.printer()->setPrinterName(QString::fromStdString(queue.name()));
    quillet::imaging::Bitmap page(600, 400);
    page.fillRect({10, 10, 300, 200}, quillet::imaging::kBlack);
    ASSERT_TRUE(p.printPage(page, {600, 400}));
    const std::vector<fs::path> added = queue.waitForNew(1);
    ASSERT_EQ(added.size(), 1u) << "no PDF appeared in " << queue.folder();
    const std::vector<quillet::testing::PdfImage> images = quillet::testing::pdfImages(added[0]);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].bitsPerComponent, 1);
    // An empty page is not a job.
    EXPECT_FALSE(p.printPage(quillet::imaging::Bitmap(), {600, 400}));
}

TEST(BitmapImage, ScreenPixelsMatchThePackedBitmapForAnyArea) {
    application();
    std::mt19937 rng(11);
    const QSize sizes[] = {{1, 1}, {7, 3}, {63, 2}, {64, 3}, {65, 5}, {130, 7}, {200, 4}};
    for (const QSize& s : sizes) {
        quillet::imaging::Bitmap b(s.width(), s.height());
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x) b.setBlack(x, y, rng() % 3 == 0);
        // Whole, aligned, unaligned and overhanging areas.
        const QRect areas[] = {QRect(0, 0, s.width(), s.height()), QRect(8, 1, 64, 2),
                               QRect(3, 0, 61, s.height()), QRect(57, 1, 40, 9),
                               QRect(s.width() - 1, 0, 5, 1)};
        for (const QRect& a : areas) {
            SCOPED_TRACE(testing::Message() << s.width() << "x" << s.height() << " area " << a.x()
                                            << "," << a.y() << " " << a.width() << "x" << a.height());
            const QRect clipped = a.intersected(QRect(QPoint(0, 0), s));
            const QImage img = quillet::ui::toScreenImage(b, a);
            if (clipped.isEmpty()) {
                EXPECT_TRUE(img.isNull());
                continue;
            }
            ASSERT_EQ(img.size(), clipped.size());
            int wrong = 0;
            for (int y = 0; y < clipped.height(); ++y)
                for (int x = 0; x < clipped.width(); ++x) {
                    const bool black = b.isBlack(clipped.x() + x, clipped.y() + y);
                    if (img.pixel(x, y) != (black ? qRgb(0, 0, 0) : qRgb(255, 255, 255))) ++wrong;
                }
            EXPECT_EQ(wrong, 0);
        }
        // The 1-bit image for printing holds the same pixels, with the one
        // colour table that Qt's PDF engine keeps lossless: black, then white.
        const QImage mono = quillet::ui::toPrintImage(b);
        ASSERT_EQ(mono.size(), s);
        ASSERT_EQ(mono.format(), QImage::Format_Mono);
        EXPECT_EQ(mono.colorTable(), (QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
        int wrong = 0;
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x)
                if ((mono.pixel(x, y) == qRgb(0, 0, 0)) != b.isBlack(x, y)) ++wrong;
        EXPECT_EQ(wrong, 0) << s.width() << "x" << s.height();
    }
}

}  // namespace
