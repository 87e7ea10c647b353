#pragma once
// Work on several threads whose results come back in order: task i runs on
// any of the threads, its result is handed over on the calling thread after
// those of tasks 0 .. i-1. Memory stays bounded twice over: only a few tasks
// run ahead of the one being handed over, and the tasks running at once
// weigh (pixels, bytes: the caller's unit) at most the budget together; a
// task heavier than the budget runs alone.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace quillet::base {

// work(i) -> Result must not throw; deliver(i, Result&) returns false to stop
// (tasks not yet started are then left). weights[i] is task i's weight.
template <class Result, class Work, class Deliver>
void runInOrder(const std::vector<std::int64_t>& weights, int threads, std::int64_t budget, Work work,
                Deliver deliver) {
    const std::size_t n = weights.size();
    const int count = threads < 1 ? 1 : threads;
    const std::size_t ahead = std::size_t(count) + 1;
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t next = 0, delivered = 0;
    std::int64_t running = 0;  // weight of the tasks running now
    int busy = 0;              // tasks running now
    bool stop = false;
    std::map<std::size_t, Result> ready;

    auto fits = [&] {
        return next < n && next < delivered + ahead && (busy == 0 || running + weights[next] <= budget);
    };
    auto worker = [&] {
        for (;;) {
            std::size_t i;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || next >= n || fits(); });
                if (stop || next >= n) return;
                i = next++;
                running += weights[i];
                ++busy;
            }
            Result r = work(i);
            {
                std::lock_guard lock(mutex);
                running -= weights[i];
                --busy;
                ready.emplace(i, std::move(r));
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (int t = 0; t < count && std::size_t(t) < n; ++t) pool.emplace_back(worker);

    for (std::size_t i = 0; i < n; ++i) {
        Result r;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return ready.count(i) > 0; });
            r = std::move(ready.at(i));
            ready.erase(i);
        }
        const bool more = deliver(i, r);
        {
            std::lock_guard lock(mutex);
            delivered = i + 1;
            stop = !more;
        }
        changed.notify_all();
        if (!more) break;
    }
    for (std::thread& t : pool) t.join();
}

}  // namespace quillet::base
