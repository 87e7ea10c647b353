#include "app/options.h"

#include "app/nudge_resolutions.h"

namespace quillet::app {

namespace {
constexpr int kNoCompression = 0;  // "None 100%"
}

Options::Options(MainForm& form, OptionWindows windows) : form_(form), windows_(windows) {
    refreshLayout = [this] { NudgeResolutions(form_); };
}

void Options::install() {
    MainForm& f = form_;
    f.Columnformat1.onClick = [this] { Columnformat1Click(); };
    f.Compressiontoggle1.onClick = [this] { Compressiontoggle1Click(); };
    f.UpdatefilelistafterOK1.onClick = [this] { UpdatefilelistafterOK1Click(); };
    f.KeepQuilletontop1.onClick = [this] { KeepQuilletontop1Click(); };
    f.ThickPrint1.onClick = [this] { ThickPrint1Click(); };
    f.Autocrop1.onClick = [this] { Autocrop1Click(); };
    f.Stretchtolargestwidth1.onClick = [this] { Stretchtolargestwidth1Click(); };
    f.Stretchtolargestheight1.onClick = [this] { Stretchtolargestheight1Click(); };
    f.Fixpagesizetolongestwidth1.onClick = [this] { Fixpagesizetolongestwidth1Click(); };
    f.Fixpagesizetolongestheight1.onClick = [this] { Fixpagesizetolongestheight1Click(); };
    f.File1.onClick = [this] { File1Click(); };
    f.Options1.onClick = [this] { Options1Click(); };
    f.AdvancedFormatOptions1.onClick = [this] { AdvancedFormatOptions1Click(); };
}

void Options::Columnformat1Click() {
    MainForm& f = form_;
    if (f.outputFormat == OutputFormat::Column) {
        f.outputFormat = OutputFormat::Row;
        f.Columnformat1.setCaption("Output in ROW Format");
        f.Fixpagesizetolongestheight1.setChecked(true);
        f.Fixpagesizetolongestheight1.setEnabled(false);
        f.Fixpagesizetolongestwidth1.setEnabled(true);
        f.Fixpagesizetolongestwidth1.setChecked(true);
    } else {
        f.outputFormat = OutputFormat::Column;
        f.Columnformat1.setCaption("Output in COLUMN Format");
        f.Fixpagesizetolongestwidth1.setChecked(true);
        f.Fixpagesizetolongestwidth1.setEnabled(false);
        f.Fixpagesizetolongestheight1.setEnabled(true);
        f.Fixpagesizetolongestheight1.setChecked(false);
    }
    refreshLayout();
    f.Panel1.setText(f.outputFormat == OutputFormat::Row ? "Row format selected"
                                                         : "Column format selected");
}

void Options::Compressiontoggle1Click() {
    MainForm& f = form_;
    f.compressionEnabled = !f.compressionEnabled;
    if (f.compressionEnabled) {
        f.Compressiontoggle1.setCaption("&Compression ENABLED");
    } else {
        f.Compressiontoggle1.setCaption("&Compression DISABLED");
        f.compressionselection.setItemIndex(kNoCompression);
    }
    f.Panel1.setText(f.compressionEnabled ? "Compression Enabled" : "Compression Disabled");
}

void Options::UpdatefilelistafterOK1Click() {
    MenuItem& m = form_.UpdatefilelistafterOK1;
    m.setChecked(!m.checked());
    form_.Panel1.setText(m.checked() ? "Filelist is updated after OK"
                                     : "Filelist is NOT updated after OK");
}

void Options::KeepQuilletontop1Click() {
    MainForm& f = form_;
    MenuItem& m = f.KeepQuilletontop1;
    m.setChecked(!m.checked());
    f.window.setStayOnTop(m.checked());
    f.compressionselection.setItemIndex(kNoCompression);
    f.Panel1.setText(m.checked() ? "Keep Quillet on Top ENABLED" : "Keep Quillet on Top DISABLED");
}

void Options::ThickPrint1Click() {
    MenuItem& m = form_.ThickPrint1;
    m.setChecked(!m.checked());
    form_.Panel1.setText(m.checked() ? "Thick Print Enabled" : "Thick Print Disabled");
}

void Options::Autocrop1Click() {
    MenuItem& m = form_.Autocrop1;
    m.setChecked(!m.checked());
    form_.Panel1.setText(m.checked() ? "Autocrop Enabled" : "Autocrop Disabled");
}

void Options::Stretchtolargestwidth1Click() {
    MainForm& f = form_;
    MenuItem& m = f.Stretchtolargestwidth1;
    m.setChecked(!m.checked());
    if (m.checked()) f.Fixpagesizetolongestwidth1.setChecked(true);
    refreshLayout();
    f.Panel1.setText(m.checked() ? "Internal bitmaps stretched to largest width"
                                 : "Internal bitmaps NOT stretched to largest width");
}

void Options::Stretchtolargestheight1Click() {
    MainForm& f = form_;
    MenuItem& m = f.Stretchtolargestheight1;
    m.setChecked(!m.checked());
    if (m.checked()) f.Fixpagesizetolongestheight1.setChecked(true);
    refreshLayout();
    f.Panel1.setText(m.checked() ? "Internal bitmaps stretched to longest height"
                                 : "Internal bitmaps NOT stretched to longest height");
}

void Options::Fixpagesizetolongestwidth1Click() {
    MainForm& f = form_;
    MenuItem& m = f.Fixpagesizetolongestwidth1;
    m.setChecked(!m.checked());
    if (!m.checked()) {
        f.Stretchtolargestwidth1.setChecked(false);
        if (f.outputFormat == OutputFormat::Row) f.compressionselection.setItemIndex(kNoCompression);
    }
    refreshLayout();
    f.Panel1.setText(m.checked() ? "Page size fixed to largest width"
                                 : "Page size NOT fixed to largest width");
}

void Options::Fixpagesizetolongestheight1Click() {
    MainForm& f = form_;
    MenuItem& m = f.Fixpagesizetolongestheight1;
    m.setChecked(!m.checked());
    if (!m.checked()) f.Stretchtolargestheight1.setChecked(false);
    refreshLayout();
    f.Panel1.setText(m.checked() ? "Page size fixed to longest height"
                                 : "Page size NOT fixed to longest height");
}

void Options::File1Click() {
    MainForm& f = form_;
    const bool counterShowing = showing(windows_.counter);
    f.SelectSource1.setEnabled(!counterShowing);
    f.Acquire1.setEnabled(!counterShowing);
    const bool anySelected = f.FileListBox1.selectedCount() > 0;
    f.DeleteSelectedFiles1.setEnabled(anySelected);
    f.Moveselectedfiles.setEnabled(anySelected);
    f.CleanUpPages1.setEnabled(anySelected && !f.ZipListMode);
}

void Options::Options1Click() {
    MainForm& f = form_;
    f.Setpapersize1.setEnabled(!showing(windows_.printedSize));
    f.Compressiontoggle1.setEnabled(!f.locked());
}

void Options::AdvancedFormatOptions1Click() {
    MainForm& f = form_;
    const bool justificationShowing = showing(windows_.justification);
    f.Setverticalpagejustification1.setEnabled(!f.Stretchtolargestheight1.checked() &&
                                               !justificationShowing);
    f.Sethorizontalpagejustification1.setEnabled(!f.Stretchtolargestwidth1.checked() &&
                                                 !justificationShowing);
    f.Setborders1.setEnabled(!showing(windows_.borders));
    f.Autocrop1.setEnabled(!f.locked());
}

}  // namespace quillet::app
