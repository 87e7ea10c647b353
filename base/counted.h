#pragma once
// Counts in status texts: "1 page", "3 pages".

#include <string>

namespace quillet::base {

inline std::string counted(long long n, const std::string& one, const std::string& many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace quillet::base
