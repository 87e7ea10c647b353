#pragma once
// The dialog of Import Pages: the destination folder (a path field with a
// Browse button) and the first page number, the resolution PDF pages are
// rendered at, the threshold that makes grey pages 1-bit (automatic, a fixed
// level or local) and the clean-up of each page with its steps.

#include <optional>

#include "app/platform_services.h"

class QWidget;

namespace quillet::ui {

// Runs the modal dialog showing `initial`; the choice on OK, nothing on Cancel.
std::optional<app::PageImportChoice> runPageImportDialog(QWidget* parent, const app::PageImportChoice& initial);

}  // namespace quillet::ui
