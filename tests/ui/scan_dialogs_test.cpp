// The scanner's own dialog and Select Source as Qt windows over the SANE test
// backend: the dialog keeps taking events while a slow page is read, and
// Cancel part-way ends it at once with no page.
#include <gtest/gtest.h>

#include <map>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "acquire/sane_backend.h"
#include "acquire/scan_dialog.h"
#include "qt_app.h"
#include "ui/scan_dialogs.h"

namespace quillet::ui {
namespace {

// The dialog's button captioned `text` (access-key marks ignored).
QPushButton* buttonOf(QWidget* dialog, QString text) {
    text.remove('&');
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text().remove('&') == text) return b;
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

TEST(ScanDialogView, StaysAliveWhileReadingAndCancelsPartWay) {
    uitest::application();
    QUILLET_REQUIRE_SANE_TEST_BACKEND();
    acquire::SaneDevice device("test:0");
    acquire::ScanSettings settings;
    acquire::ScanDialog model(device, settings);
    // Seconds for the page: the backend waits 0.2 s per block of data.
    device.setFromText("read-delay", "yes");
    device.setFromText("read-delay-duration", "200000");
    // Reads only when the device's descriptor says that data waits.
    device.setFromText("select-fd", "yes");

    // Cancel is pressed from the event loop only after it has turned several
    // times during the read: a dialog that blocked while reading would never
    // get there, and the page would come back whole.
    int ticksWhileReading = 0;
    bool barShown = false;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        QWidget* d = QApplication::activeModalWidget();
        if (!model.reading() || d == nullptr) return;
        barShown = barShown || d->findChild<QProgressBar*>()->isVisible();
        if (++ticksWhileReading == 3) buttonOf(d, "Cancel")->click();
    });
    ticker.start(10);
    QTimer::singleShot(0, [] {
        if (QWidget* d = QApplication::activeModalWidget()) buttonOf(d, "Scan")->click();
    });
    QtScannerDialogs().runScanDialog(model);

    EXPECT_GE(ticksWhileReading, 3);
    EXPECT_TRUE(barShown);
    EXPECT_TRUE(model.finished());
    EXPECT_EQ(model.takeImage(), nullptr);
}

// The letter after "&" in a caption, lower-cased; 0 without one.
QChar accessKey(QString caption) {
    caption.replace("&&", "");
    const int at = caption.indexOf('&');
    return at >= 0 && at + 1 < caption.size() ? caption[at + 1].toLower() : QChar();
}

TEST(ScanDialogView, EachControlHasAnAccessKeyOfItsOwn) {
    uitest::application();
    QUILLET_REQUIRE_SANE_TEST_BACKEND();
    acquire::SaneDevice device("test:0");
    acquire::ScanSettings settings;
    acquire::ScanDialog model(device, settings);
    std::map<QChar, QStringList> owners;  // access key -> the controls it reaches
    QStringList without;
    QTimer::singleShot(0, [&] {
        QWidget* d = QApplication::activeModalWidget();
        // A labelled field is reached through its label's key.
        for (QLabel* label : d->findChildren<QLabel*>())
            if (label->buddy()) owners[accessKey(label->text())].push_back(label->text());
        // Every button and check box has its own; Cancel is Escape.
        for (QAbstractButton* b : d->findChildren<QAbstractButton*>())
            if (b->text() != "Cancel") owners[accessKey(b->text())].push_back(b->text());
        for (QComboBox* list : d->findChildren<QComboBox*>()) {
            bool labelled = false;
            for (QLabel* label : d->findChildren<QLabel*>()) labelled = labelled || label->buddy() == list;
            if (!labelled) without.push_back("an unlabelled list");
        }
        buttonOf(d, "Cancel")->click();
    });
    QtScannerDialogs().runScanDialog(model);

    EXPECT_GE(owners.size(), 4u);  // mode, resolution, source, Scan
    for (const auto& [key, controls] : owners) {
        if (key.isNull()) without += controls;
        else EXPECT_EQ(controls.size(), 1) << "Alt+" << QString(key).toStdString() << " reaches "
                                            << controls.join(", ").toStdString();
    }
    EXPECT_TRUE(without.isEmpty()) << "without an access key: " << without.join(", ").toStdString();
}

TEST(ScanDialogView, SelectSourceListsTheDevicesWithTheirDetails) {
    uitest::application();
    QUILLET_REQUIRE_SANE_TEST_BACKEND();
    int rows = 0;
    QString type;
    QTimer::singleShot(0, [&] {
        QWidget* d = QApplication::activeModalWidget();
        auto* list = d->findChild<QTreeWidget*>();
        rows = list->topLevelItemCount();
        type = list->topLevelItem(1)->text(3);
        list->setCurrentItem(list->topLevelItem(1));
        buttonOf(d, "OK")->click();
    });
    const std::optional<int> chosen = QtScannerDialogs().chooseSource(acquire::listDevices(), 0);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(type, "virtual device");
    EXPECT_EQ(chosen, 1);
}

// The clean-up box: a key no other control of the dialog has, kept for the
// run, and the line-art page cleaned once read.
TEST(ScanDialogView, CleanUpBoxHasAKeyOfItsOwnAndCleansThePage) {
    uitest::application();
    QUILLET_REQUIRE_SANE_TEST_BACKEND();
    acquire::SaneDevice device("test:0");
    acquire::ScanSettings settings;
    acquire::ScanDialog model(device, settings);
    QString caption;
    int sameKey = 0;
    QTimer::singleShot(0, [&] {
        QWidget* d = QApplication::activeModalWidget();
        auto* box = d->findChild<QCheckBox*>();
        caption = box->text();
        const QString key = caption.mid(caption.indexOf('&'), 2).toLower();
        QStringList texts;
        for (QLabel* l : d->findChildren<QLabel*>()) texts << l->text();
        for (QAbstractButton* b : d->findChildren<QAbstractButton*>()) texts << b->text();
        for (const QString& t : texts) sameKey += t.toLower().contains(key) ? 1 : 0;
        box->setChecked(true);
        buttonOf(d, "Scan")->click();
    });
    QtScannerDialogs().runScanDialog(model);
    EXPECT_EQ(caption, "C&lean up line-art pages");
    EXPECT_EQ(sameKey, 1);
    EXPECT_TRUE(settings.clean);
    ASSERT_NE(model.takeImage(), nullptr);
    EXPECT_NE(model.cleanUpText().find("specks"), std::string::npos) << model.cleanUpText();
}

}  // namespace
}  // namespace quillet::ui
