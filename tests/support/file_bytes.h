#pragma once
// A whole file's bytes, for tests that look inside what was written.

#include <fstream>
#include <iterator>
#include <string>

namespace quillet::testing {

// Empty when the file cannot be read.
inline std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace quillet::testing
