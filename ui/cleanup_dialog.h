#pragma once
// The small dialog of Clean Up Pages: the three steps, each on or off, and
// the folder the cleaned copies go to (typed, or chosen with Browse).

#include <optional>

#include "app/platform_services.h"

class QWidget;

namespace quillet::ui {

// Runs the modal dialog showing `initial`; the choice on OK, nothing on Cancel.
std::optional<app::CleanUpChoice> runCleanUpDialog(QWidget* parent, const app::CleanUpChoice& initial);

}  // namespace quillet::ui
