#pragma once
// The failure raised while importing pages: a file that cannot be read as
// pages, a page that cannot be decoded, a page file that cannot be written.
// The message names the file and the reason: "<file>: <reason>".

#include <stdexcept>
#include <string>

namespace quillet::importing {

class ImportError : public std::runtime_error {
public:
    ImportError(const std::string& file, const std::string& reason)
        : std::runtime_error(file + ": " + reason) {}
    // A message already in that form (passed on from the page reader).
    explicit ImportError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace quillet::importing
