// The option toggles: forced changes, refresh requests, status texts, the
// invariants between the options, the menu-opening rules, and the rules the
// main window's fields share.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "app/number_field.h"
#include "app/options.h"

namespace quillet::app {
namespace {

struct OptionsTest : ::testing::Test {
    MainForm form;
    WindowModel counter{"Tcounterform", "counter", 0, 0, false};
    WindowModel printedSize{"Tsetpapersize", "Set Printed Size (mm)", 0, 0, false};
    WindowModel borders{"Tsetbordersheadersfootersdialog", "x", 0, 0, false};
    WindowModel justification{"TTabbedNotebookDlg", "Justification", 0, 0, false};
    Options options{form, OptionWindows{&counter, &printedSize, &borders, &justification}};
    int refreshes = 0;

    OptionsTest() {
        options.install();
        // A locked layout writes its size line on every refresh.
        options.refreshLayout = [this] {
            ++refreshes;
            if (form.locked()) form.Panel1.setText("size line");
        };
    }
};

TEST_F(OptionsTest, ColumnRowColumnResetsTheFixItemsWhateverWasSetBetween) {
    form.Columnformat1.click();
    EXPECT_EQ(form.outputFormat, OutputFormat::Row);
    EXPECT_EQ(form.Columnformat1.caption(), "Output in ROW Format");
    EXPECT_TRUE(form.Fixpagesizetolongestheight1.checked());
    EXPECT_FALSE(form.Fixpagesizetolongestheight1.enabled());
    EXPECT_TRUE(form.Fixpagesizetolongestwidth1.enabled());
    // The user unchecks the width fix while in Row format.
    form.Fixpagesizetolongestwidth1.click();
    EXPECT_FALSE(form.Fixpagesizetolongestwidth1.checked());

    form.Columnformat1.click();
    EXPECT_EQ(form.outputFormat, OutputFormat::Column);
    EXPECT_EQ(form.Columnformat1.caption(), "Output in COLUMN Format");
    EXPECT_TRUE(form.Fixpagesizetolongestwidth1.checked());
    EXPECT_FALSE(form.Fixpagesizetolongestwidth1.enabled());
    EXPECT_FALSE(form.Fixpagesizetolongestheight1.checked());
    EXPECT_TRUE(form.Fixpagesizetolongestheight1.enabled());
    EXPECT_TRUE(form.Columnformat1.checked());  // the permanent check mark

    // Switching to Column leaves "Stretch to Longest Height" as it was.
    form.Stretchtolargestheight1.click();
    form.Columnformat1.click();
    form.Columnformat1.click();
    EXPECT_TRUE(form.Stretchtolargestheight1.checked());
    EXPECT_FALSE(form.Fixpagesizetolongestheight1.checked());
}

TEST_F(OptionsTest, RowFormatUncheckingWidthFixUnchecksStretchAndResetsTheLevel) {
    form.Columnformat1.click();
    form.compressionselection.setItemIndex(1);  // "High"
    ASSERT_TRUE(form.Stretchtolargestwidth1.checked());
    form.Fixpagesizetolongestwidth1.click();
    EXPECT_FALSE(form.Stretchtolargestwidth1.checked());
    EXPECT_EQ(form.compressionselection.itemIndex(), 0);

    // In Column format the width fix cannot be chosen at all.
    MainForm column;
    Options o(column, {});
    o.install();
    column.Fixpagesizetolongestwidth1.click();
    EXPECT_TRUE(column.Fixpagesizetolongestwidth1.checked());
}

TEST_F(OptionsTest, UncheckingStretchLeavesTheFixChecked) {
    form.Stretchtolargestwidth1.click();
    EXPECT_FALSE(form.Stretchtolargestwidth1.checked());
    EXPECT_TRUE(form.Fixpagesizetolongestwidth1.checked());
    // Checking a stretch checks its fix; unchecking the fix unchecks the stretch.
    form.Stretchtolargestheight1.click();
    EXPECT_TRUE(form.Fixpagesizetolongestheight1.checked());
    form.Fixpagesizetolongestheight1.click();
    EXPECT_FALSE(form.Stretchtolargestheight1.checked());
}

TEST_F(OptionsTest, KeepOnTopOnThenOffLeavesTheLevelAtNone) {
    form.compressionselection.setItemIndex(1);
    int levelHandlerRuns = 0;
    form.compressionselection.onChange = [&] { ++levelHandlerRuns; };
    form.KeepQuilletontop1.click();
    EXPECT_TRUE(form.window.stayOnTop());
    EXPECT_EQ(form.compressionselection.itemIndex(), 0);
    form.compressionselection.setItemIndex(2);
    form.KeepQuilletontop1.click();
    EXPECT_FALSE(form.window.stayOnTop());
    EXPECT_EQ(form.compressionselection.itemIndex(), 0);
    EXPECT_EQ(levelHandlerRuns, 0);  // set by program: no handler, no refresh
    EXPECT_EQ(refreshes, 0);
}

TEST_F(OptionsTest, CompressionDisabledKeepsItsCheckMarkAndResetsTheLevel) {
    form.compressionselection.setItemIndex(3);
    form.Compressiontoggle1.click();
    EXPECT_FALSE(form.compressionEnabled);
    EXPECT_EQ(form.Compressiontoggle1.caption(), "&Compression DISABLED");
    EXPECT_TRUE(form.Compressiontoggle1.checked());
    EXPECT_EQ(form.compressionselection.itemIndex(), 0);
    form.compressionselection.setItemIndex(1);
    form.Compressiontoggle1.click();
    EXPECT_EQ(form.Compressiontoggle1.caption(), "&Compression ENABLED");
    EXPECT_EQ(form.compressionselection.itemIndex(), 1);  // enabling keeps the level
}

// Every toggle, twice, locked: its own status text is the last word although
// the refresh wrote the size line; the refresh runs exactly where stated.
TEST_F(OptionsTest, TogglesWhileLockedShowTheirOwnTextAndRefreshWhereStated) {
    form.lockselection.setChecked(true);  // no lock handler installed
    struct Case {
        MenuItem* item;
        const char* first;
        const char* second;
        bool refresh;
    };
    const std::vector<Case> cases{
        {&form.Columnformat1, "Row format selected", "Column format selected", true},
        {&form.Compressiontoggle1, "Compression Disabled", "Compression Enabled", false},
        {&form.UpdatefilelistafterOK1, "Filelist is NOT updated after OK",
         "Filelist is updated after OK", false},
        {&form.KeepQuilletontop1, "Keep Quillet on Top ENABLED", "Keep Quillet on Top DISABLED",
         false},
        {&form.ThickPrint1, "Thick Print Enabled", "Thick Print Disabled", false},
        {&form.Autocrop1, "Autocrop Disabled", "Autocrop Enabled", false},
        {&form.Stretchtolargestwidth1, "Internal bitmaps NOT stretched to largest width",
         "Internal bitmaps stretched to largest width", true},
        {&form.Stretchtolargestheight1, "Internal bitmaps stretched to longest height",
         "Internal bitmaps NOT stretched to longest height", true},
        // The height stretch checked the height fix on its way.
        {&form.Fixpagesizetolongestheight1, "Page size NOT fixed to longest height",
         "Page size fixed to longest height", true},
    };
    for (const Case& c : cases) {
        for (const char* expected : {c.first, c.second}) {
            refreshes = 0;
            c.item->click();
            EXPECT_EQ(form.Panel1.text(), expected) << c.item->name();
            EXPECT_EQ(refreshes, c.refresh ? 1 : 0) << c.item->name();
        }
    }
    // The width fix is only reachable in Row format.
    form.Columnformat1.click();
    form.Fixpagesizetolongestwidth1.click();
    EXPECT_EQ(form.Panel1.text(), "Page size NOT fixed to largest width");
    form.Fixpagesizetolongestwidth1.click();
    EXPECT_EQ(form.Panel1.text(), "Page size fixed to largest width");
    EXPECT_TRUE(form.locked());
}

TEST_F(OptionsTest, TogglesWhileUnlockedLeaveTheLayoutFieldsAlone) {
    for (NumberField* f : {&form.ColumnLengthPixels, &form.ColumnLengthPages,
                           &form.Numberofcolumnsperprintedpage, &form.numberofprintedpages})
        EXPECT_FALSE(f->enabled()) << f->name();  // unavailable from the start
    EXPECT_TRUE(form.xpixelsperinch.enabled());
    form.Columnformat1.click();
    form.Stretchtolargestheight1.click();
    EXPECT_FALSE(form.ColumnLengthPixels.enabled());
    EXPECT_EQ(form.Panel1.text(), "Internal bitmaps stretched to longest height");
}

// The invariants hold after any sequence of toggles the user can make.
TEST_F(OptionsTest, InvariantsHoldAfterRandomToggleSequences) {
    std::mt19937 rng(7);
    std::vector<MenuItem*> items{&form.Columnformat1, &form.Stretchtolargestwidth1,
                                 &form.Stretchtolargestheight1, &form.Fixpagesizetolongestwidth1,
                                 &form.Fixpagesizetolongestheight1, &form.Compressiontoggle1,
                                 &form.KeepQuilletontop1};
    for (int step = 0; step < 2000; ++step) {
        MenuItem* item = items[rng() % items.size()];
        item->click();
        SCOPED_TRACE(std::to_string(step) + " " + item->name());
        if (form.Stretchtolargestwidth1.checked()) {
            ASSERT_TRUE(form.Fixpagesizetolongestwidth1.checked());
        }
        // (The height pair is exempt: switching to Column unchecks the height
        // fix but leaves the height stretch as it was.)
        MenuItem& fixed = form.outputFormat == OutputFormat::Column
                              ? form.Fixpagesizetolongestwidth1
                              : form.Fixpagesizetolongestheight1;
        MenuItem& other = form.outputFormat == OutputFormat::Column
                              ? form.Fixpagesizetolongestheight1
                              : form.Fixpagesizetolongestwidth1;
        ASSERT_TRUE(fixed.checked());
        ASSERT_FALSE(fixed.enabled());
        ASSERT_TRUE(other.enabled());
        if (!form.compressionEnabled) {
            ASSERT_EQ(form.compressionselection.itemIndex(), 0);
        }
        if (rng() % 5 == 0 && form.compressionEnabled &&
            !(form.outputFormat == OutputFormat::Row && !form.Fixpagesizetolongestwidth1.checked()))
            form.compressionselection.setItemIndex(int(rng() % 4));
        if (form.outputFormat == OutputFormat::Row && !form.Fixpagesizetolongestwidth1.checked()) {
            ASSERT_EQ(form.compressionselection.itemIndex(), 0);
        }
    }
}

TEST_F(OptionsTest, MenuOpeningRules) {
    // File: counter window and selection.
    form.File1.click();
    EXPECT_TRUE(form.SelectSource1.enabled());
    EXPECT_FALSE(form.DeleteSelectedFiles1.enabled());  // empty list
    EXPECT_FALSE(form.Moveselectedfiles.enabled());
    counter.show();
    form.File1.click();
    EXPECT_FALSE(form.SelectSource1.enabled());
    EXPECT_FALSE(form.Acquire1.enabled());
    counter.hide();
    form.File1.click();
    EXPECT_TRUE(form.Acquire1.enabled());

    // Options: printed size dialog and the lock.
    printedSize.show();
    form.lockselection.setChecked(true);
    form.Options1.click();
    EXPECT_FALSE(form.Setpapersize1.enabled());
    EXPECT_FALSE(form.Compressiontoggle1.enabled());
    form.Compressiontoggle1.click();  // out of reach: nothing happens
    EXPECT_TRUE(form.compressionEnabled);
    printedSize.hide();
    form.lockselection.setChecked(false);
    form.Options1.click();
    EXPECT_TRUE(form.Setpapersize1.enabled());
    EXPECT_TRUE(form.Compressiontoggle1.enabled());

    // Advanced: stretch items, justification and borders dialogs, the lock.
    form.AdvancedFormatOptions1.click();  // stretch width checked at start
    EXPECT_FALSE(form.Sethorizontalpagejustification1.enabled());
    EXPECT_TRUE(form.Setverticalpagejustification1.enabled());
    EXPECT_TRUE(form.Setborders1.enabled());
    EXPECT_TRUE(form.Autocrop1.enabled());
    form.Stretchtolargestwidth1.click();
    form.Stretchtolargestheight1.click();
    form.AdvancedFormatOptions1.click();
    EXPECT_TRUE(form.Sethorizontalpagejustification1.enabled());
    EXPECT_FALSE(form.Setverticalpagejustification1.enabled());
    justification.show();
    borders.show();
    form.lockselection.setChecked(true);
    form.AdvancedFormatOptions1.click();
    EXPECT_FALSE(form.Sethorizontalpagejustification1.enabled());
    EXPECT_FALSE(form.Setborders1.enabled());
    EXPECT_FALSE(form.Autocrop1.enabled());
}

TEST(MainFormTexts, FieldsAndGroupsHaveTheirLabelsAndHelpTexts) {
    MainForm form;
    EXPECT_EQ(MainForm::labelOf("ColumnLengthPixels"), "Column Length &in pixels");
    EXPECT_EQ(MainForm::labelOf("filename"), "File Na&me:");
    EXPECT_EQ(MainForm::labelOf("compressionselection"), "&Compression");
    for (const char* name : {"ColumnLengthPixels", "ColumnLengthPages",
                             "Numberofcolumnsperprintedpage", "xpixelsperinch", "ypixelsperinch",
                             "filename", "compressionselection", "lockselection", "Panel1",
                             "DriveComboBox1", "DirectoryListBox1", "FileListBox1",
                             "ColumnLengthGroup", "PrintedPagesGroup", "ResolutionGroup",
                             "FileNameGroup"})
        EXPECT_FALSE(form.hintOf(name).empty()) << name;
    EXPECT_EQ(form.hintOf("FileListBox1"), MainForm::kFileListBitmapHint);
    form.ZipListMode = true;
    EXPECT_EQ(form.hintOf("FileListBox1"), MainForm::kFileListZipHint);
    EXPECT_EQ(form.hintOf("lockselection"), form.lockselection.hint());
}

TEST(MainFormFields, NumberFieldsShareTheirReadingWritingAndFocusRules) {
    NumberField field{"f", 5, 50, 1, 5, 20};
    int runs = 0;
    field.onChange = [&] { ++runs; };
    // Typed text is held until committed, then read (a non-number reads as
    // the minimum) and brought into the range.
    struct Typed { const char* text; int committed; };
    for (const Typed& t : {Typed{"abc", 5}, Typed{"", 5}, Typed{"12x", 5}, Typed{"1.5", 5},
                           Typed{"-3", 5}, Typed{"42", 42}, Typed{"77", 50}})
    {
        field.setValue(20);
        field.typeText(t.text);
        EXPECT_EQ(field.value(), 20) << t.text;  // nothing handled while typing
        field.commit();
        EXPECT_EQ(field.value(), t.committed) << t.text;
    }
    runs = 0;
    field.setValue(50);  // the shown value: nothing changes, no handler
    field.typeText("50");
    EXPECT_EQ(runs, 0);
    field.setValue(900);
    EXPECT_EQ(field.text(), "50");

    NumberField fixed{"g", 7, 7, 1, 5, 7};  // minimum equal to maximum: no clamping
    fixed.setValue(3000);
    EXPECT_EQ(fixed.value(), 3000);
    fixed.typeText("x");
    fixed.commit();
    EXPECT_EQ(fixed.value(), 7);
}

TEST(MainFormFields, TheBaseFileNameHoldsTwentyFiveCharactersNotBytes) {
    MainForm form;
    const std::string a24(24, 'a'), e = "\xc3\xa9", euro = "\xe2\x82\xac";
    std::string euros26;
    for (int i = 0; i < 26; ++i) euros26 += euro;
    struct Case { std::string typed, kept; };
    for (const Case& c : {Case{a24 + "bc", a24 + "b"},
                          Case{a24 + e + e, a24 + e},          // cut after a letter, never inside
                          Case{e + e + "page", e + e + "page"},  // short: kept whole
                          Case{euros26, euros26.substr(0, 75)}}) {
        form.filename.setText(c.typed);
        EXPECT_EQ(form.filename.text(), c.kept) << c.typed;
    }
}

}  // namespace
}  // namespace quillet::app
