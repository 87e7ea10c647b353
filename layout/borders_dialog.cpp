#include "layout/borders_dialog.h"

namespace quillet::layout {

BordersDialog::BordersDialog() = default;

}  // namespace quillet::layout
