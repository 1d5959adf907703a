#pragma once

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Does items 0 to total - 1 on up to threads threads and hands the results
// over in item order, on the calling thread:
//   makeWorker()      gives one worker, a callable Result(int item) with its
//                     own state; called once per thread, on that thread;
//                     a worker must not throw: report failure in Result;
//   take(item, result) is called for item 0, 1, ... in order; returning
//                     false stops the work: no item starts after that, and
//                     no later result is taken.
// At most twice as many items as threads are done and not yet taken, so the
// memory stays bounded whatever total is. With one thread every item is
// done on the calling thread, one after another. Returns whether every item
// was taken.
template <class Result, class MakeWorker, class Take>
bool doInOrder(int total, int threads, MakeWorker makeWorker, Take take)
{
    if (threads <= 1 || total <= 1) {
        auto worker = makeWorker();
        for (int item = 0; item < total; ++item) {
            if (!take(item, worker(item)))
                return false;
        }
        return true;
    }

    // Items in work or waiting lie in [taken, taken + ahead): one slot each,
    // so nothing grows with total.
    const int ahead = 2 * threads;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::optional<Result>> done(static_cast<size_t>(std::min(total, ahead)));
    const auto slot = [&](int item) -> std::optional<Result>& {
        return done[static_cast<size_t>(item % ahead)];
    };
    int started = 0;
    int taken = 0;
    bool stop = false;
    const auto work = [&] {
        auto worker = makeWorker();
        for (;;) {
            int item = 0;
            {
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock,
                             [&] { return stop || started >= total || started < taken + ahead; });
                if (stop || started >= total)
                    return;
                item = started++;
            }
            Result result = worker(item);
            {
                std::lock_guard<std::mutex> lock(mutex);
                slot(item) = std::move(result);
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> workers;
    for (int t = 0; t < std::min(threads, total); ++t)
        workers.emplace_back(work);

    bool all = true;
    for (int item = 0; item < total; ++item) {
        std::optional<Result> result;
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return slot(item).has_value(); });
            result.swap(slot(item));
            taken = item + 1;
        }
        changed.notify_all();
        if (!take(item, std::move(*result))) {
            all = false;
            break;
        }
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        stop = true;
    }
    changed.notify_all();
    for (std::thread& worker : workers)
        worker.join();
    return all;
}
