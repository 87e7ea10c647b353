#pragma once
// Import's side of the page reader process (page_worker.h): starts it when
// first needed, asks it one question at a time and waits for the answer no
// longer than the time limit. A page over the limit is abandoned: the process
// is killed, the failure names the file and the page, and the next question
// starts a new process. A process that dies is reported the same way.

#include <sys/types.h>

#include <chrono>
#include <string>

#include "base/posix_file.h"
#include "imaging/bitmap.h"
#include "importing/imported_page.h"
#include "importing/page_source.h"
#include "importing/worker_messages.h"

namespace quillet::importing {

// The default time limit for one page, in seconds.
inline constexpr int kDefaultPageSeconds = 60;

// The page reader program: <this program's folder>/../lib/quillet/quillet-page-reader.
std::string pageReaderProgram();

// How many readers to run for `pages` pages: one per processor, at most 8,
// and no more than the available memory holds at a reader's budget (the
// largest page, a band of it and the reader's libraries), at least one.
int pageReadersFor(int pages);

class PageReader {
public:
    PageReader(const PageSettings& settings, int pageSeconds);
    ~PageReader();
    PageReader(PageReader&&) noexcept;
    PageReader(const PageReader&) = delete;
    PageReader& operator=(const PageReader&) = delete;

    struct Opened {
        int pages = 0;
        std::string walkFault;  // PageSource::walkFault
    };
    // Starts the process ahead of the first question, so that its start-up
    // overlaps other work; a start that fails is reported by that question.
    void warmUp() noexcept;

    // Opens a file and counts its pages. Throws ImportError.
    Opened open(const std::string& file);

    // Asks for a page; its answer is collected with take(). One question at
    // a time: ask, then take.
    void ask(const std::string& file, int page);
    // The page asked for. Throws ImportError when it cannot be read, took
    // longer than the limit or the reader stopped.
    ImportedPage take();
    bool asked() const { return asked_; }

private:
    void start();
    void stop();
    void send(const WorkerQuestion& q);
    // The answer to the question asked, within the limit.
    WorkerAnswer await(const std::string& what);

    PageSettings settings_;
    int pageSeconds_;
    pid_t pid_ = -1;
    base::UniqueFd socket_;
    bool asked_ = false;
    bool sent_ = false;
    WorkerQuestion question_;
    std::chrono::steady_clock::time_point askedAt_;
};

}  // namespace quillet::importing
