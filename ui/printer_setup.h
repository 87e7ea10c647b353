#pragma once
// Printer Setup: which printer print jobs go to, the paper in it and the
// orientation. It prints nothing, so it accepts with OK, and it offers no
// print range or copies (each page is a job of one copy).

class QPrinter;
class QWidget;

namespace quillet::ui {

// Shows the dialog for `printer`; on OK the printer takes the chosen name,
// paper size and orientation. True when the user pressed OK.
bool runPrinterSetup(QPrinter& printer, QWidget* parent);

}  // namespace quillet::ui
