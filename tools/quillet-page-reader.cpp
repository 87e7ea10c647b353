// quillet-page-reader: the page reader process of Import (see
// importing/page_worker.h). Import starts it with the page settings as
// arguments and talks to it over its standard input, a socket; it is not a
// command for people. A memory limit of its own stops a hostile file from
// taking the machine's memory: past it, the reader fails alone and Import
// reports the page.

#include <malloc.h>
#include <sys/resource.h>

#include <cstdio>
#include <string>
#include <vector>

#include "importing/page_worker.h"

// Qt last: its "emit" macro must not meet the models' emit().
#include <QCoreApplication>

namespace {

// Address space for one reader: the largest page's 1-bit store (256 MB), a
// band and the grey copy of a picture, with room for the libraries.
constexpr rlim_t kMemoryLimit = rlim_t(2) << 30;

bool sanitized() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#endif
#endif
    return false;
}

// The readers' complaints about a file say less than the message naming it.
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

int main(int argc, char** argv) {
    quillet::importing::PageSettings settings;
    if (!quillet::importing::parseWorkerArguments(std::vector<std::string>(argv + 1, argv + argc), settings)) {
        std::fprintf(stderr, "quillet-page-reader: this program is started by Quillet's import\n");
        return 2;
    }
    if (!sanitized()) {  // the sanitizers reserve far more address space than they use
        const rlimit limit{kMemoryLimit, kMemoryLimit};
        ::setrlimit(RLIMIT_AS, &limit);
    }
    // Pages of the same size follow each other: their stores are reused
    // instead of mapped and faulted in afresh each time.
    ::mallopt(M_MMAP_THRESHOLD, 256 << 20);
    ::mallopt(M_TRIM_THRESHOLD, 512 << 20);
    qInstallMessageHandler(quiet);
    QCoreApplication application(argc, argv);
    return quillet::importing::servePages(0, settings);
}
