#pragma once
// The option toggles of the Options menu and its Advanced Format Options
// submenu, and the rules that enable menu items each time a menu opens.
// Every toggle changes its option, applies the options it forces, asks for a
// layout refresh where the layout depends on it, and writes its own status
// text last (so a locked selection's size line is replaced by it).

#include <functional>

#include "app/main_form.h"
#include "app/window_model.h"

namespace quillet::app {

// The other windows whose visibility the menu-opening rules read. A null
// window counts as not showing.
struct OptionWindows {
    const WindowModel* counter = nullptr;        // Tcounterform
    const WindowModel* printedSize = nullptr;    // Tsetpapersize
    const WindowModel* borders = nullptr;        // Tsetbordersheadersfootersdialog
    const WindowModel* justification = nullptr;  // TTabbedNotebookDlg
};

class Options {
public:
    Options(MainForm& form, OptionWindows windows);

    // Installs the handlers below on the menu items (the toggles and the
    // three menus' opening handlers File1, Options1, AdvancedFormatOptions1).
    void install();

    // ---- toggles
    void Columnformat1Click();
    void Compressiontoggle1Click();
    void UpdatefilelistafterOK1Click();
    void KeepQuilletontop1Click();
    void ThickPrint1Click();
    void Autocrop1Click();
    void Stretchtolargestwidth1Click();
    void Stretchtolargestheight1Click();
    void Fixpagesizetolongestwidth1Click();
    void Fixpagesizetolongestheight1Click();

    // ---- menu opening
    // File: Select Source and Acquire available when the counter window is
    // not showing; Delete and Move when at least one file is selected.
    void File1Click();
    // Options: Set Printed Size when its dialog is not showing; the
    // compression toggle when the selection is not locked.
    void Options1Click();
    // Advanced: the justification items, borders and Autocrop.
    void AdvancedFormatOptions1Click();

    // The layout refresh the toggles ask for (NudgeResolutions by default;
    // tests may count calls).
    std::function<void()> refreshLayout;

private:
    MainForm& form_;
    OptionWindows windows_;
};

// True when the window exists and is showing.
inline bool showing(const WindowModel* w) { return w && w->visible(); }

}  // namespace quillet::app
