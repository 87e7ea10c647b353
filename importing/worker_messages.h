#pragma once
// The messages between Import and its page reader process, over one stream
// socket: a question (open a file, or read one of its pages) and its answer
// (the page count, a page, or the failure's message). Both ends are the same
// build on the same machine: numbers go in the machine's own byte order.

#include <cstdint>
#include <string>

#include "imaging/bitmap.h"

namespace quillet::importing {

struct WorkerQuestion {
    enum Kind : std::uint8_t { Open = 'O', Page = 'P' } kind = Open;
    std::string file;
    std::int32_t page = 0;  // from 0
};

struct WorkerAnswer {
    enum Kind : std::uint8_t { Opened = 'C', PageRead = 'B', Failed = 'E' } kind = Failed;
    std::int32_t pages = 0;      // Opened
    std::string text;            // Opened: the walk's fault (or empty); PageRead: what the
                                 // clean-up did (or empty); Failed: the message
    imaging::Bitmap bitmap;      // PageRead
};

// Each returns false when the socket failed or closed (errno set by the
// failing call, 0 at a clean end).
bool sendQuestion(int fd, const WorkerQuestion& q);
bool receiveQuestion(int fd, WorkerQuestion& q);
bool sendAnswer(int fd, const WorkerAnswer& a);
bool receiveAnswer(int fd, WorkerAnswer& a);

}  // namespace quillet::importing
