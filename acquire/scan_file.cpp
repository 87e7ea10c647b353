#include "acquire/scan_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "acquire/scanner_error.h"
#include "app/output_directory.h"
#include "imaging/bitmap_error.h"

namespace quillet::acquire {

std::string counterPad(int counter) { return counter < 10 ? "00" : counter < 100 ? "0" : ""; }

std::string scanFileName(const std::string& base, int counter) {
    return base + counterPad(counter) + std::to_string(counter) + ".bmp";
}

void saveScan(const std::function<void(const std::string& path)>& write, const std::string& directory,
              const std::string& target) {
    const std::string fail = "The scan could not be saved as " + target;
    std::string pattern = app::joinPath(directory, ".quillet-scan-XXXXXX.bmp");
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemps(name.data(), 4);
    if (fd < 0) throw ScannerError(fail + " (" + std::strerror(errno) + ")");
    ::close(fd);
    const std::string temp = name.data();
    try {
        write(temp);
    } catch (const imaging::BitmapError& e) {
        ::unlink(temp.c_str());
        throw ScannerError(fail + ": " + e.what());
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        throw ScannerError(fail + " (" + std::strerror(err) + ")");
    }
}

}  // namespace quillet::acquire
