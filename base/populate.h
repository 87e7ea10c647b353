#pragma once
// Memory about to be written for the first time: asking the kernel to back a
// whole stretch of pages in one call costs less than taking one fault per
// page. Only a hint: where the kernel cannot, the pages fault in as usual.

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace quillet::base {

inline void populateForWriting(void* p, std::size_t n) {
#ifdef MADV_POPULATE_WRITE
    static const std::uintptr_t kPage = std::uintptr_t(::sysconf(_SC_PAGESIZE));
    const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(p) + kPage - 1) & ~(kPage - 1);
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(p) + n) & ~(kPage - 1);
    if (end <= start) return;
    const int saved = errno;
    ::madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
    errno = saved;
#else
    (void)p;
    (void)n;
#endif
}

}  // namespace quillet::base
