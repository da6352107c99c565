#include "render/paintthreads.h"

#include <QSemaphore>
#include <QThreadPool>

#include <memory>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// Whether `count` threads with the system's default stack can run at once: as large a stack as
// any pool's thread takes (the global pool's is the default, the save's smaller).
bool roomForThreads(int count)
{
    std::vector<std::thread> threads;
    QSemaphore done;
    bool started = true;
    try {
        for (int i = 0; i < count; ++i)
            threads.emplace_back([&done] { done.acquire(); });
    } catch (const std::system_error &) {
        started = false;
    }
    done.release(int(threads.size()));
    for (std::thread &thread : threads)
        thread.join();
    return started;
}

} // namespace

bool startEveryThread(QThreadPool &pool)
{
    const int count = pool.maxThreadCount();
    // A pool thread that cannot be started loses its task without a word; so they are tried
    // first.
    if (!roomForThreads(count))
        return false;
    pool.setExpiryTimeout(-1); // idle threads wait for work for good, never ending
    return occupyEveryPoolThread(pool, 10'000); // they start at once, or never
}

bool occupyEveryPoolThread(QThreadPool &pool, int timeout)
{
    const int count = pool.maxThreadCount();
    // This call's own, shared with its tasks: a task that runs only after the call has given up
    // still finds them, and leaves its permits to no later call.
    struct Gates
    {
        QSemaphore running;
        QSemaphore release;
        QSemaphore finished;
    };
    const auto gates = std::make_shared<Gates>();
    for (int i = 0; i < count; ++i) {
        pool.start([gates] {
            gates->running.release();
            gates->release.acquire();
            gates->finished.release();
        });
    }
    const bool allRunning = gates->running.tryAcquire(count, timeout);
    gates->release.release(count);
    return allRunning && gates->finished.tryAcquire(count, timeout);
}
