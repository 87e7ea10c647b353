#pragma once
// A locked selection without the lock: a folder of N placeholder files all
// selected, a page table filled by hand, the layout handlers installed and
// LayoutHandlersEnabled set, as after a successful lock.

#include <string>

#include "analysis/page_table.h"
#include "app/main_form.h"
#include "app/nudge_resolutions.h"
#include "layout/borders_dialog.h"
#include "layout/layout_geometry.h"
#include "output/printed_size_dialog.h"
#include "support/temp_dir.h"

namespace quillet::layouttest {

// A scratch folder holding `files` placeholder files p100.bmp, p101.bmp, ...
class PlaceholderFolder : public quillet::testing::TempDir {
public:
    explicit PlaceholderFolder(int files) : TempDir("quillet-layouttest") {
        for (int i = 0; i < files; ++i) writeText("p" + std::to_string(100 + i) + ".bmp", "x");
    }
};

// The statistics of four pages: widest 1000, longest 1500, 5600 lines and
// 3600 columns in all (average page 1400 x 900).
struct Rig {
    explicit Rig(int pages = 4) : folder(pages) {
        form.FileListBox1.setDirectory(folder.path());
        form.FileListBox1.selectAll();
        table.LargestWidth = 1000;
        table.LongestHeight = 1500;
        table.TotalLines = 5600;
        table.TotalWidth = 3600;
        table.CompressionFactor = {1.0, 0.8, 0.9, 0.95};
        geometry.install();
        form.lockselection.setChecked(true);
        form.LayoutHandlersEnabled = true;
    }

    // Writes a field with the handlers held off, as a program write would.
    void quiet(app::NumberField& field, int v) {
        bool was = form.LayoutHandlersEnabled;
        form.LayoutHandlersEnabled = false;
        field.setValue(v);
        form.LayoutHandlersEnabled = was;
    }
    void nudge() { app::NudgeResolutions(form); }

    PlaceholderFolder folder;
    app::MainForm form;
    output::PrintedSizeDialog size;
    layout::BordersDialog borders;
    analysis::PageTable table;
    layout::LayoutNumbers numbers;
    layout::LayoutGeometry geometry{form, size, borders, table, numbers};
};

}  // namespace quillet::layouttest
