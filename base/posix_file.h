#pragma once
// POSIX file descriptors: one owner that closes, and whole reads and writes
// that retry interrupted calls. Failures leave errno set for the caller's
// message.

#include <unistd.h>

#include <cerrno>
#include <cstddef>

namespace quillet::base {

// Owns one file descriptor and closes it when it goes (keeping errno).
class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& o) noexcept : fd_(o.release()) {}
    UniqueFd& operator=(UniqueFd&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    ~UniqueFd() { reset(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Gives the descriptor up without closing it.
    int release() {
        const int f = fd_;
        fd_ = -1;
        return f;
    }
    void reset(int fd = -1) {
        if (fd_ >= 0) {
            const int saved = errno;
            ::close(fd_);
            errno = saved;
        }
        fd_ = fd;
    }

private:
    int fd_;
};

namespace detail {

// Calls read(p, count, done) until n bytes are in or the file ends,
// retrying interrupted calls.
template <class Read>
std::ptrdiff_t readAll(Read read, void* data, std::size_t n) {
    char* p = static_cast<char*>(data);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r = read(p + done, n - done, done);
        if (r < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (r == 0) break;
        done += std::size_t(r);
    }
    return std::ptrdiff_t(done);
}

}  // namespace detail

// Reads up to n bytes at the file's position. Returns the count read, less
// than n only at the end of the file, or -1 on failure.
inline std::ptrdiff_t readFully(int fd, void* data, std::size_t n) {
    return detail::readAll([fd](char* p, std::size_t count, std::size_t) { return ::read(fd, p, count); }, data, n);
}

// Reads up to n bytes at byte offset `at`, leaving the file's position
// alone; returns like readFully.
inline std::ptrdiff_t preadFully(int fd, void* data, std::size_t n, off_t at) {
    return detail::readAll(
        [fd, at](char* p, std::size_t count, std::size_t done) { return ::pread(fd, p, count, at + off_t(done)); },
        data, n);
}

// Writes all n bytes; false on failure.
inline bool writeFully(int fd, const void* data, std::size_t n) {
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= std::size_t(w);
    }
    return true;
}

}  // namespace quillet::base
