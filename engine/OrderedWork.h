#pragma once

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

// Does the items that next() gives on up to threads threads and hands the
// results over in item order, on the calling thread:
//   next()            gives the next item as a std::optional, none at the
//                     end; called on one thread at a time, in item order,
//                     never again once it gave none or the work stopped; it
//                     may wait (a pipe) while earlier results are taken;
//   makeWorker()      gives one worker, a callable Result(Item&&) with its
//                     own state; called once per thread, on that thread;
//                     next and the workers must not throw: report failure
//                     in the item or the Result;
//   take(index, result) is called for the items' results in order, index
//                     counting from 0; returning false stops the work: no
//                     item is asked for or starts after that, and no later
//                     result is taken (a next() under way is waited for).
// At most twice as many items as threads are given and not yet taken, so the
// memory stays bounded however many items next() has, and the first results
// are taken before next() has given the last item. With one thread
// everything is done on the calling thread, one item after another. Returns
// whether every item was taken.
template <class Result, class Next, class MakeWorker, class Take>
bool doInOrder(Next next, int threads, MakeWorker makeWorker, Take take)
{
    if (threads <= 1) {
        auto worker = makeWorker();
        for (int index = 0;; ++index) {
            auto item = next();
            if (!item)
                return true;
            if (!take(index, worker(std::move(*item))))
                return false;
        }
    }

    // Items in work or waiting lie in [taken, taken + ahead): one slot each,
    // so nothing grows with the count of items.
    const int ahead = 2 * threads;
    std::mutex mutex;
    // Each wakes only the thread that waits for it: with items that take no
    // time, waking every thread for each would cost more than the items.
    std::condition_variable ready; // the result to take next is there, or none is to come
    std::condition_variable room;  // the oldest result was taken, or the work stopped
    std::vector<std::optional<Result>> done(static_cast<size_t>(ahead));
    const auto slot = [&](int index) -> std::optional<Result>& {
        return done[static_cast<size_t>(index % ahead)];
    };
    // Held by the one worker asking next(), which may wait on a slow file
    // without holding up the results of the others.
    std::mutex asking;
    int started = 0;
    int taken = 0;
    bool ended = false; // next() gave none
    bool stop = false;
    const auto work = [&] {
        auto worker = makeWorker();
        for (;;) {
            int index = 0;
            std::invoke_result_t<Next&> item;
            {
                std::lock_guard<std::mutex> turn(asking);
                {
                    std::unique_lock<std::mutex> lock(mutex);
                    room.wait(lock, [&] { return stop || ended || started < taken + ahead; });
                    if (stop || ended)
                        return;
                }
                item = next();
                std::lock_guard<std::mutex> lock(mutex);
                if (item)
                    index = started++;
                else
                    ended = true;
            }
            if (!item) {
                ready.notify_one();
                return;
            }
            Result result = worker(std::move(*item));
            bool awaited = false;
            {
                std::lock_guard<std::mutex> lock(mutex);
                slot(index) = std::move(result);
                awaited = index == taken;
            }
            if (awaited)
                ready.notify_one();
        }
    };
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back(work);

    bool all = true;
    for (int index = 0;; ++index) {
        std::optional<Result> result;
        bool wasFull = false;
        {
            std::unique_lock<std::mutex> lock(mutex);
            ready.wait(lock,
                       [&] { return slot(index).has_value() || (ended && index >= started); });
            if (!slot(index))
                break;
            result.swap(slot(index));
            wasFull = started == taken + ahead;
            taken = index + 1;
        }
        if (wasFull)
            room.notify_one();
        if (!take(index, std::move(*result))) {
            all = false;
            break;
        }
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        stop = true;
    }
    room.notify_all();
    for (std::thread& worker : workers)
        worker.join();
    return all;
}

// The items 0 to total - 1, each an int, as above; with one item, or none,
// on the calling thread.
template <class Result, class MakeWorker, class Take>
bool doInOrder(int total, int threads, MakeWorker makeWorker, Take take)
{
    auto next = [item = 0, total]() mutable -> std::optional<int> {
        if (item >= total)
            return std::nullopt;
        return item++;
    };
    return doInOrder<Result>(next, std::min(threads, total), makeWorker, take);
}
