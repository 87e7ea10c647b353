#pragma once
// How the keyboard focus moved, as far as the rules of a window care.

namespace quillet::app {

// Only a move between two controls of one window changes which control has
// the focus. A window losing or regaining the activation (a modal box
// opening or closing, the user switching windows) or a pop-up menu opening
// over it leaves the window's focused control as it was.
enum class FocusMove { BetweenControls, WindowActivation, PopupMenu };

}  // namespace quillet::app
