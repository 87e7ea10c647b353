#include "importing/worker_messages.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "base/posix_file.h"

namespace quillet::importing {

namespace {

// Longest text or path accepted from the other end.
constexpr std::uint32_t kMaxText = 1 << 20;

bool sendAll(int fd, const void* data, std::size_t n) {
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t w = ::send(fd, p, n, MSG_NOSIGNAL);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w;
        n -= std::size_t(w);
    }
    return true;
}

bool receiveAll(int fd, void* data, std::size_t n) {
    errno = 0;
    return base::readFully(fd, data, n) == std::ptrdiff_t(n);
}

template <class T>
bool put(int fd, T v) { return sendAll(fd, &v, sizeof v); }
template <class T>
bool get(int fd, T& v) { return receiveAll(fd, &v, sizeof v); }

bool putText(int fd, const std::string& s) {
    return put(fd, std::uint32_t(s.size())) && sendAll(fd, s.data(), s.size());
}
bool getText(int fd, std::string& s) {
    std::uint32_t n = 0;
    if (!get(fd, n) || n > kMaxText) return false;
    s.resize(n);
    return receiveAll(fd, s.data(), n);
}

}  // namespace

bool sendQuestion(int fd, const WorkerQuestion& q) {
    return put(fd, q.kind) && put(fd, q.page) && putText(fd, q.file);
}

bool receiveQuestion(int fd, WorkerQuestion& q) {
    return get(fd, q.kind) && get(fd, q.page) && getText(fd, q.file);
}

bool sendAnswer(int fd, const WorkerAnswer& a) {
    if (!put(fd, a.kind) || !put(fd, a.pages) || !putText(fd, a.text)) return false;
    if (a.kind != WorkerAnswer::PageRead) return true;
    const imaging::Bitmap& b = a.bitmap;
    const std::int32_t head[4] = {b.width(), b.height(), b.xPixelsPerMetre, b.yPixelsPerMetre};
    if (!sendAll(fd, head, sizeof head)) return false;
    return b.height() == 0 || sendAll(fd, b.row(0), std::size_t(b.wordsPerRow()) * b.height() * 8);
}

bool receiveAnswer(int fd, WorkerAnswer& a) {
    if (!get(fd, a.kind) || !get(fd, a.pages) || !getText(fd, a.text)) return false;
    if (a.kind != WorkerAnswer::PageRead) return true;
    std::int32_t head[4];
    if (!receiveAll(fd, head, sizeof head)) return false;
    if (head[0] < 0 || head[1] < 0 || std::int64_t(head[0]) * head[1] > imaging::Bitmap::kMaxPixels) return false;
    a.bitmap = imaging::Bitmap::uninitialised(head[0], head[1]);
    a.bitmap.xPixelsPerMetre = head[2];
    a.bitmap.yPixelsPerMetre = head[3];
    return head[1] == 0 || receiveAll(fd, a.bitmap.row(0), std::size_t(a.bitmap.wordsPerRow()) * head[1] * 8);
}

}  // namespace quillet::importing
