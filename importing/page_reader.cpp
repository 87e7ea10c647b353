#include "importing/page_reader.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "importing/import_error.h"
#include "importing/page_worker.h"

extern char** environ;

namespace quillet::importing {

std::string pageReaderProgram() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (self.parent_path().parent_path() / "lib" / "quillet" / "quillet-page-reader").string();
}

namespace {

// The memory one reader may come to hold (see pageReadersFor).
constexpr std::int64_t kReaderBudget = std::int64_t(512) << 20;

// The memory the system says is available, in bytes; 0 when unknown.
std::int64_t availableMemory() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::int64_t kib = 0;
    while (meminfo >> key >> kib) {
        if (key == "MemAvailable:") return kib * 1024;
        meminfo.ignore(1 << 10, '\n');
    }
    return 0;
}

}  // namespace

int pageReadersFor(int pages) {
    std::int64_t n = std::min<std::int64_t>({std::thread::hardware_concurrency(), 8, pages});
    const std::int64_t memory = availableMemory();
    if (memory > 0) n = std::min(n, memory / kReaderBudget);
    return int(std::max<std::int64_t>(n, 1));
}

PageReader::PageReader(const PageSettings& settings, int pageSeconds)
    : settings_(settings), pageSeconds_(pageSeconds) {}

PageReader::~PageReader() { stop(); }

PageReader::PageReader(PageReader&& o) noexcept
    : settings_(o.settings_), pageSeconds_(o.pageSeconds_), pid_(o.pid_), socket_(std::move(o.socket_)),
      asked_(o.asked_), sent_(o.sent_), question_(std::move(o.question_)), askedAt_(o.askedAt_) {
    o.pid_ = -1;
}

void PageReader::start() {
    const std::string program = pageReaderProgram();
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        throw ImportError(program, std::string("cannot be started (") + std::strerror(errno) + ")");
    base::UniqueFd mine(ends[0]), theirs(ends[1]);
    std::vector<std::string> args{program};
    for (const std::string& a : workerArguments(settings_)) args.push_back(a);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, theirs.get(), 0);
    posix_spawn_file_actions_adddup2(&actions, 2, 1);  // the reader's own output never mixes with ours
    const int e = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (e != 0) {
        pid_ = -1;
        throw ImportError(program, std::string("the page reader cannot be started (") + std::strerror(e) + ")");
    }
    socket_ = std::move(mine);
}

void PageReader::warmUp() noexcept {
    try {
        if (pid_ < 0) start();
    } catch (const std::exception&) {
    }
}

void PageReader::stop() {
    socket_.reset();  // a reader waiting for a question ends by itself
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {}
    }
    pid_ = -1;
}

PageReader::Opened PageReader::open(const std::string& file) {
    send({WorkerQuestion::Open, file, 0});
    const WorkerAnswer a = await("opening it");
    if (a.kind != WorkerAnswer::Opened) throw ImportError(a.text);
    return Opened{a.pages, a.text};
}

void PageReader::ask(const std::string& file, int page) { send({WorkerQuestion::Page, file, page}); }

ImportedPage PageReader::take() {
    WorkerAnswer a = await(pageLabel(question_.page));
    if (a.kind != WorkerAnswer::PageRead) throw ImportError(a.text);
    return {std::move(a.bitmap), std::move(a.text)};
}

void PageReader::send(const WorkerQuestion& q) {
    question_ = q;
    asked_ = true;
    askedAt_ = std::chrono::steady_clock::now();
    if (pid_ < 0) start();
    sent_ = sendQuestion(socket_.get(), question_);
}

WorkerAnswer PageReader::await(const std::string& what) {
    asked_ = false;
    const std::string& file = question_.file;
    if (!sent_) {
        stop();
        throw ImportError(file, what + " cannot be read (the page reader stopped)");
    }
    const auto deadline = askedAt_ + std::chrono::seconds(pageSeconds_);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{socket_.get(), POLLIN, 0};
        // An answer that came in while others were awaited counts, late or not.
        const int ready = ::poll(&p, 1, int(std::clamp<long long>(left.count(), 0, 1 << 30)));
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) {
            stop();
            throw ImportError(file, what + " took longer than " + std::to_string(pageSeconds_) +
                                        " s and was abandoned");
        }
        break;
    }
    WorkerAnswer a;
    if (receiveAnswer(socket_.get(), a)) return a;
    // The reader died on this question: say how.
    socket_.reset();
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {}
    pid_ = -1;
    const std::string how = WIFSIGNALED(status) ? std::string(::strsignal(WTERMSIG(status)))
                                                : "exit status " + std::to_string(WEXITSTATUS(status));
    throw ImportError(file, what + " cannot be read (the page reader stopped: " + how + ")");
}

}  // namespace quillet::importing
