#pragma once
// The one saturating conversion of a 64-bit count or result into the signed
// 32-bit range that the page table, the layout numbers and the fields hold.

#include <cstdint>
#include <limits>

namespace quillet::base {

inline std::int32_t toInt32(std::int64_t v) {
    if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return std::int32_t(v);
}

}  // namespace quillet::base
