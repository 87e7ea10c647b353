#pragma once
// The failure of a clean-up: a page that cannot be cleaned (too large, not
// black and white, no memory for a step), naming the fault.

#include <stdexcept>
#include <string>

namespace quillet::cleanup {

class CleanupError : public std::runtime_error {
public:
    explicit CleanupError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace quillet::cleanup
