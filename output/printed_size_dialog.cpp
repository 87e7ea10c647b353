#include "output/printed_size_dialog.h"

#include <algorithm>
#include <cctype>

#include "app/nudge_resolutions.h"

namespace quillet::output {

namespace {

std::string upperCase(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return s;
}

}  // namespace

std::string PrintedSizeDialog::noPrinterText(int widthMm, int heightMm) {
    return "No printer installed: the printed size stays " + std::to_string(widthMm) + " x " +
           std::to_string(heightMm) + " mm";
}

void PrintedSizeDialog::install(app::MainForm& form, app::PlatformServices& platform) {
    form_ = &form;
    platform_ = &platform;
    SpinEdit1.onChange = [this] { SpinEditChange(SpinEdit1); };
    SpinEdit2.onChange = [this] { SpinEditChange(SpinEdit2); };
    ComboBox1.onChange = [this] { ComboBox1Change(); };
    form.Setpapersize1.setHint(kSetpapersize1Hint);
    form.PrinterSetup1.setHint(kPrinterSetup1Hint);

    // At creation the status panel holds the selection counter, which a
    // missing printer must not replace: the sizes stay, and the dialog says
    // so when it is shown.
    SizeEditByUser = true;
    ComboBox1.setItemIndex(kPageSize);
    applyChoice(MissingPrinter::Keep);
}

void PrintedSizeDialog::ComboBox1Change() { applyChoice(MissingPrinter::Report); }

void PrintedSizeDialog::applyChoice(MissingPrinter missing) {
    if (!form_) return;
    SizeEditByUser = false;
    const std::string choice = upperCase(ComboBox1.currentText());
    // Every comparison is made, whatever the earlier ones gave.
    if (choice == "A4") {
        SpinEdit1.setValue(210);
        SpinEdit2.setValue(297);
        form_->setLabel5("pixels/inch (A4)");
    }
    if (choice == "A3") {
        SpinEdit1.setValue(297);
        SpinEdit2.setValue(420);
        form_->setLabel5("pixels/inch (A3)");
    }
    if (choice == "A5") {
        SpinEdit1.setValue(148);
        SpinEdit2.setValue(210);
        form_->setLabel5("pixels/inch (A5)");
    }
    if (choice == "USER DEFINED") form_->setLabel5("pixels/inch(UD)");
    if (choice == "PAGE SIZE") {
        form_->setLabel5("pixels/inch (PS)");
        writePrinterSize(missing);
    }
    SizeEditByUser = true;
}

void PrintedSizeDialog::SpinEditChange(app::NumberField& field) {
    if (!form_) return;
    // A number being typed below 10 is usually the first digit of a larger
    // one ("2" on the way to "250"): raising it to 10 at once would turn
    // 250 into 150. It is raised when the field is left (the field's
    // minimum is 10), which runs this rule again with the final value.
    if (field.typing() && field.value() < 10) return;
    if (field.value() < 10) field.setValue(10);
    app::NudgeResolutions(*form_, app::NudgeOrder::VerticalFirst);
    if (SizeEditByUser) {
        ComboBox1.setItemIndex(kUserDefined);
        form_->setLabel5("pixels/inch(UD)");
    }
}

void PrintedSizeDialog::writePrinterSize(MissingPrinter missing) {
    std::optional<app::PrinterGeometry> printer = platform_->printerGeometry();
    if (!printer) {
        if (missing == MissingPrinter::Report) reportMissingPrinter();
        return;
    }
    SpinEdit1.setValue(printer->widthMm);
    SpinEdit2.setValue(printer->heightMm);
}

void PrintedSizeDialog::refreshFromPrinter() {
    if (!form_ || ComboBox1.itemIndex() != kPageSize) return;
    SizeEditByUser = false;
    writePrinterSize(MissingPrinter::Report);
    SizeEditByUser = true;
}

void PrintedSizeDialog::PrinterSetup1Click() {
    if (!platform_) return;
    platform_->printerSetup();
    refreshFromPrinter();
}

void PrintedSizeDialog::reportMissingPrinter() {
    form_->Panel1.setText(noPrinterText(SpinEdit1.value(), SpinEdit2.value()));
}

void PrintedSizeDialog::Setpapersize1Click() {
    window.show();
    if (form_ && ComboBox1.itemIndex() == kPageSize && !platform_->printerGeometry())
        reportMissingPrinter();
}

}  // namespace quillet::output
