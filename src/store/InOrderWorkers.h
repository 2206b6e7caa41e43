#pragma once

#include <QtGlobal>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace korvane {

/**
 * Runs a piece of work for each of a number of items on worker threads, and hands each result to
 * the calling thread in the items' order as the results arrive, so that what the calling thread
 * builds from them is exactly what one thread doing everything in order builds.
 */
class InOrderWorkers
{
public:
    /** Items are handed out in groups of this many: few enough locks, soon enough a first result. */
    static constexpr qsizetype kGroup = 64;
    /** Groups finished but not yet taken, per thread: bounds the results held at once. */
    static constexpr qsizetype kGroupsAhead = 8;

    /** The number of worker threads worth starting on this machine: its processors, at most 8. */
    static int threadsHere() { return int(std::clamp(std::thread::hardware_concurrency(), 1U, 8U)); }

    /**
     * Calls `produce(i)` for every i below `count` on up to `threads` worker threads (on this thread
     * alone when one is asked for or the items are few), and `take(i, result)` on this thread for
     * every i in order. `produce` must not touch what `take` changes.
     */
    template <class Produce, class Take>
    static void run(qsizetype count, int threads, const Produce& produce, const Take& take)
    {
        using Result = decltype(produce(qsizetype(0)));
        if (threads <= 1 || count <= kGroup) {
            for (qsizetype i = 0; i < count; ++i)
                take(i, produce(i));
            return;
        }
        const qsizetype groups = (count + kGroup - 1) / kGroup;
        std::vector<std::vector<Result>> done(static_cast<std::size_t>(groups));
        std::vector<char> ready(std::size_t(groups), 0);
        std::mutex mutex;
        std::condition_variable changed;
        qsizetype next = 0;
        qsizetype taken = 0;
        const qsizetype ahead = kGroupsAhead * threads;

        auto work = [&] {
            for (;;) {
                qsizetype group = 0;
                {
                    std::unique_lock lock(mutex);
                    changed.wait(lock, [&] { return next >= groups || next < taken + ahead; });
                    if (next >= groups)
                        return;
                    group = next++;
                }
                const qsizetype first = group * kGroup;
                const qsizetype last = std::min(count, first + kGroup);
                std::vector<Result> results;
                results.reserve(std::size_t(last - first));
                for (qsizetype i = first; i < last; ++i)
                    results.push_back(produce(i));
                {
                    std::lock_guard lock(mutex);
                    done[std::size_t(group)] = std::move(results);
                    ready[std::size_t(group)] = 1;
                }
                changed.notify_all();
            }
        };
        std::vector<std::thread> workers;
        const int started = int(std::min<qsizetype>(threads, groups));
        workers.reserve(std::size_t(started));
        for (int t = 0; t < started; ++t)
            workers.emplace_back(work);

        for (qsizetype group = 0; group < groups; ++group) {
            std::vector<Result> results;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return ready[std::size_t(group)] != 0; });
                results = std::move(done[std::size_t(group)]);
                taken = group + 1;
            }
            changed.notify_all();
            const qsizetype first = group * kGroup;
            for (qsizetype k = 0; k < qsizetype(results.size()); ++k)
                take(first + k, std::move(results[std::size_t(k)]));
        }
        for (std::thread& worker : workers)
            worker.join();
    }
};

} // namespace korvane
