#pragma once
// Sizes in millimetres turned into pixels at a page's resolution.

namespace quillet::cleanup {

struct Resolution {
    explicit Resolution(int dotsPerInch) : dpi(dotsPerInch) {}
    double pixels(double millimetres) const { return millimetres * dpi / 25.4; }
    int dpi;
};

}  // namespace quillet::cleanup
