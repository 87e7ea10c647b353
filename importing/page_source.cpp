#include "importing/page_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <string_view>

#include "base/posix_file.h"
#include "importing/image_pages.h"
#include "importing/import_error.h"
#include "importing/pdf_pages.h"
#include "importing/tiff_pages.h"

namespace quillet::importing {

namespace {

// The first bytes of a file: enough for every signature (a PDF's "%PDF-"
// may follow up to 1024 bytes of other data, as readers allow).
std::string headOf(const std::string& path) {
    const base::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) throw ImportError(path, std::string("cannot be opened (") + std::strerror(errno) + ")");
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) throw ImportError(path, "is not a regular file");
    std::string head(1024 + 5, '\0');
    const std::ptrdiff_t n = base::readFully(fd.get(), head.data(), head.size());
    if (n < 0) throw ImportError(path, std::string("cannot be read (") + std::strerror(errno) + ")");
    head.resize(std::size_t(n));
    return head;
}

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

}  // namespace

PageFileKind pageFileKind(const std::string& path) {
    const std::string head = headOf(path);
    if (head.find("%PDF-") != std::string::npos) return PageFileKind::Pdf;
    if (startsWith(head, std::string_view("II*\0", 4)) || startsWith(head, std::string_view("MM\0*", 4)))
        return PageFileKind::Tiff;
    if (startsWith(head, "\x89PNG\r\n\x1a\n")) return PageFileKind::Png;
    if (startsWith(head, "\xff\xd8\xff")) return PageFileKind::Jpeg;
    if (head.empty()) throw ImportError(path, "the file is empty");
    throw ImportError(path, "not a PDF, TIFF, PNG or JPEG file");
}

std::unique_ptr<PageSource> openPageSource(const std::string& path, const PageSettings& settings) {
    const PageFileKind kind = pageFileKind(path);
    if (kind == PageFileKind::Pdf) return std::make_unique<PdfPages>(path, settings);
    if (kind == PageFileKind::Tiff) return std::make_unique<TiffPages>(path, settings);
    return std::make_unique<ImagePages>(path, kind, settings);
}

int pixelsPerMetre(double pixelsPerInch) { return int(std::lround(pixelsPerInch * 10000.0 / 254.0)); }

std::string pageLabel(int index) { return "page " + std::to_string(index + 1); }

}  // namespace quillet::importing
