// The "Select Directory" picker driven through its widgets: the lists it
// shows for a folder, opening and selecting folders, and OK on existing,
// missing and uncreatable directories.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <filesystem>
#include <fstream>

#include "ui/dirpicker.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using quillet::app::DirectoryPickerResult;
using quillet::ui::DirectoryPicker;

namespace {

void ensureApplication() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "dirpicker_test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

using quillet::testing::TempDir;

QStringList texts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text().trimmed();
    return out;
}

QListWidgetItem* itemNamed(QListWidget* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().trimmed() == text) return list->item(i);
    return nullptr;
}

class Picker : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        fs::create_directories(dir.path() + "/Beta");
        fs::create_directories(dir.path() + "/alpha");
        fs::create_directories(dir.path() + "/.hidden");
        std::ofstream(dir.path() + "/page1.bmp") << "x";
        std::ofstream(dir.path() + "/notes.txt") << "x";
    }
    TempDir dir;
};

TEST_F(Picker, ListsTheFoldersAlongAndBelowThePathAndGreyFiles) {
    DirectoryPicker picker(nullptr, dir.path());
    EXPECT_EQ(picker.windowTitle(), "Select Directory");
    EXPECT_EQ(picker.size(), QSize(424, 255));
    EXPECT_EQ(picker.directoryName()->text().toStdString(), dir.path());

    const QStringList folders = texts(picker.directories());
    const QString leaf = QString::fromStdString(fs::path(dir.path()).filename().string());
    ASSERT_GE(folders.size(), 3);
    EXPECT_EQ(folders.first(), "/");
    // The path's own folder is current, followed by its subfolders sorted
    // without regard to case; hidden folders are left out.
    const int at = int(folders.indexOf(leaf));
    ASSERT_GE(at, 0);
    EXPECT_EQ(picker.directories()->currentRow(), at);
    EXPECT_EQ(folders.mid(at + 1), (QStringList{"alpha", "Beta"}));

    EXPECT_EQ(texts(picker.files()), (QStringList{"notes.txt", "page1.bmp"}));
    EXPECT_EQ(picker.files()->item(0)->foreground().color(), QColor(Qt::gray));
    EXPECT_GE(picker.drives()->count(), 1);
    EXPECT_NE(picker.drives()->findText("/"), -1);
}

TEST_F(Picker, SelectingAFolderFillsTheBoxAndOpeningItListsIt) {
    DirectoryPicker picker(nullptr, dir.path());
    picker.directories()->setCurrentItem(itemNamed(picker.directories(), "alpha"));
    EXPECT_EQ(picker.directoryName()->text().toStdString(), dir.path() + "/alpha");
    EXPECT_EQ(picker.shownFolder(), dir.path());  // only selected, not opened

    picker.showFolder(QString::fromStdString(dir.path() + "/alpha"));
    EXPECT_EQ(picker.shownFolder(), dir.path() + "/alpha");
    EXPECT_TRUE(texts(picker.files()).isEmpty());

    // A start that does not exist opens at its nearest existing parent.
    DirectoryPicker missing(nullptr, dir.path() + "/gone/deeper");
    EXPECT_EQ(missing.shownFolder(), dir.path());
}

TEST_F(Picker, OkCreatesAMissingDirectoryOnlyAfterYes) {
    DirectoryPicker picker(nullptr, dir.path());
    int asked = 0;
    bool answer = false;
    picker.confirmCreate = [&] { ++asked; return answer; };
    picker.directoryName()->setText("new/deeper");  // relative to the shown folder

    picker.pressOk();  // No: the picker stays, nothing is created
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(fs::exists(dir.path() + "/new"));
    EXPECT_EQ(picker.result(), 0);
    EXPECT_EQ(picker.outcome().outcome, DirectoryPickerResult::Outcome::Cancel);

    answer = true;
    picker.pressOk();
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(fs::is_directory(dir.path() + "/new/deeper"));
    EXPECT_EQ(picker.outcome().outcome, DirectoryPickerResult::Outcome::Ok);
    EXPECT_EQ(picker.outcome().directory, dir.path() + "/new/deeper");
}

TEST_F(Picker, EmptyBoxAndUncreatableDirectoryAreFailures) {
    struct Case {
        std::string text;
    };
    const Case cases[] = {{""}, {dir.path() + "/page1.bmp/sub"}, {dir.path() + "/page1.bmp"}};
    for (const Case& c : cases) {
        DirectoryPicker picker(nullptr, dir.path());
        picker.confirmCreate = [] { return true; };
        picker.directoryName()->setText(QString::fromStdString(c.text));
        picker.pressOk();
        EXPECT_EQ(picker.outcome().outcome, DirectoryPickerResult::Outcome::Failure) << c.text;
    }
}

}  // namespace
