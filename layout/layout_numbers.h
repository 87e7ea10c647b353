#pragma once
// The layout numbers: border widths and the external page size in pixels,
// written by the layout geometry, read by the composition.

#include <cstdint>

namespace quillet::layout {

struct LayoutNumbers {
    std::int32_t InternalTopPx = 0;
    std::int32_t InternalBottomPx = 0;
    std::int32_t InternalLeftPx = 0;
    std::int32_t InternalRightPx = 0;
    std::int32_t ExternalTopPx = 0;
    std::int32_t ExternalBottomPx = 0;
    std::int32_t ExternalLeftPx = 0;
    std::int32_t ExternalRightPx = 0;
    std::int32_t ExternalPageWidthPx = 0;
    std::int32_t ExternalPageHeightPx = 0;
};

}  // namespace quillet::layout
