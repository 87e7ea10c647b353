#pragma once
// Switches of the rectangle copy's engine (imaging/bitmap_copy.cpp).

namespace quillet::imaging {

// Enlarging copies use the processor's bit deposit where it is fast; with
// false they take the portable mask walk everywhere (tests reach both).
void allowBitDeposit(bool allowed);

} // namespace quillet::imaging
