#pragma once
// The failure raised by the scanner layer: SANE could not start, a device
// could not be opened or set, a scan failed part-way, or a scan could not be
// saved. The message names the device or file and the fault.

#include <stdexcept>
#include <string>

namespace quillet::acquire {

class ScannerError : public std::runtime_error {
public:
    explicit ScannerError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace quillet::acquire
