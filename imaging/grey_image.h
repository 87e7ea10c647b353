#pragma once
// A grey page as the libraries hand it over: 8-bit pixels, 0 black .. 255
// white, rows `stride` bytes apart. A view: the pixels belong to the caller.

#include <cstddef>
#include <cstdint>

namespace quillet::imaging {

struct GreyImage {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
};

}  // namespace quillet::imaging
