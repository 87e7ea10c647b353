#include "app/main_form.h"

namespace quillet::app {

MainForm::MainForm()
    : SetOutputDirectory1("SetOutputDirectory1", "&Set Output Directory...", "Ctrl+O"),
      DeleteSelectedFiles1("DeleteSelectedFiles1", "&Delete Selected Files", "Ctrl+D"),
      Moveselectedfiles("Moveselectedfiles", "&Move Selected Files", "Ctrl+M"),
      Print1("Print1", "&Print...", "Ctrl+P"),
      PrintPreview1("PrintPreview1", "Print Pre&view..."),
      PrinterSetup1("PrinterSetup1", "Printer Se&tup..."),
      SelectSource1("SelectSource1", "Se&lect Source..."),
      Acquire1("Acquire1", "&Acquire..."),
      Exit1("Exit1", "E&xit Quillet", {}, "Thankyou for using Quillet"),
      Columnformat1("Columnformat1", "&Output in COLUMN Format", {}, {}, true),
      Compressiontoggle1("Compressiontoggle1", "&Compression ENABLED", "Ctrl+C", {}, true),
      UpdatefilelistafterOK1("UpdatefilelistafterOK1", "&Update Filelist after 'OK'", {}, {}, true),
      KeepQuilletontop1("KeepQuilletontop1", "&Keep Quillet on Top"),
      ThickPrint1("ThickPrint1", "&Thick Print", "Ctrl+T"),
      Setpapersize1("Setpapersize1", "&Set Printed Size..."),
      AdvancedFormatOptions1("AdvancedFormatOptions1", "Advanced Format Options"),
      Autocrop1("Autocrop1", "&Autocrop", "Ctrl+A", {}, true),
      Stretchtolargestwidth1("Stretchtolargestwidth1", "Stretch to Largest Width", {}, {}, true),
      Stretchtolargestheight1("Stretchtolargestheight1", "Stretch to Longest Height"),
      Fixpagesizetolongestwidth1("Fixpagesizetolongestwidth1", "Fix Page Size to Largest Width", {},
                                 {}, true, false),
      Fixpagesizetolongestheight1("Fixpagesizetolongestheight1", "Fix Page Size to Longest Height"),
      Setborders1("Setborders1", "&Set Borders, Headers and Footers...", "Ctrl+B"),
      Setverticalpagejustification1("Setverticalpagejustification1",
                                    "Set &Vertical Page Justification..."),
      Sethorizontalpagejustification1("Sethorizontalpagejustification1",
                                      "Set &Horizontal Page Justification..."),
      ToggleViewerWindow1("ToggleViewerWindow1", "&Toggle Bitmap Viewer", "F12"),
      Viewfromotherdirectory1("Viewfromotherdirectory1", "&View From Other Directory...", "F11"),
      Help1("Help1", "&Help", "F1"),
      Extract("Extract", "Extract to current output directory", {}, {}, false, false),
      Addselectedfilesto1("Addselectedfilesto1", "Add selected files to"),
      Showzipfiles1("Showzipfiles1", "List ZIP files"),
      Button1("Button1", "OK") {}

}  // namespace quillet::app
