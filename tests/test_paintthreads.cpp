// Qt's painting threads started up front: a pool thread that could not be started would lose its
// task without a word, and a paint waiting for it would wait for good.
#include "render/paintthreads.h"

#include <QScopeGuard>
#include <QSemaphore>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <cerrno>
#include <dlfcn.h>
#include <pthread.h>

namespace {
int failingThreadStarts = 0; // how many of the next thread starts fail
}

// Interposed for the whole test executable, Qt's thread starts included.
extern "C" int pthread_create(pthread_t *thread, const pthread_attr_t *attributes,
                              void *(*run)(void *), void *argument)
{
    if (failingThreadStarts > 0) {
        --failingThreadStarts;
        return EAGAIN; // as when the account has used up its threads
    }
    using Create = int (*)(pthread_t *, const pthread_attr_t *, void *(*)(void *), void *);
    static const auto real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    return real(thread, attributes, run, argument);
}

// Qt's raster engine hands a large fill to as many of the global pool's tasks as it likes and
// waits for them all. Once the threads are started up front, they all run at once while no new
// thread can be started.
TEST(PaintingThreads, StartedUpFrontNoTaskWaitsForANewOne)
{
    QThreadPool &pool = *QThreadPool::globalInstance();
    auto allowThreads = qScopeGuard([] { failingThreadStarts = 0; });
    failingThreadStarts = 1;
    EXPECT_FALSE(startEveryThread(pool)) << "a thread that cannot be started goes unnoticed";
    failingThreadStarts = 0;
    ASSERT_TRUE(startEveryThread(pool));
    // Idle threads would end after 30 s and have to be started again; seeing that happen would
    // take that long, so the setting is read instead.
    EXPECT_LT(pool.expiryTimeout(), 0);

    failingThreadStarts = 1000;
    EXPECT_TRUE(occupyEveryPoolThread(pool, 60'000))
            << "a task waits for a thread that could not be started";
    EXPECT_EQ(failingThreadStarts, 1000) << "a thread was started";
}

// A call that gave up leaves its tasks to run later; what they do is no answer to a later call.
TEST(PaintingThreads, ACallThatGaveUpLeavesNothingToTheNext)
{
    QThreadPool &pool = *QThreadPool::globalInstance();
    const int count = pool.maxThreadCount();
    QSemaphore held;
    for (int call = 0; call < 2; ++call) {
        SCOPED_TRACE(call);
        for (int i = 0; i < count; ++i) // every thread busy with a task of the test's
            pool.start([&held] { held.acquire(); });
        EXPECT_FALSE(occupyEveryPoolThread(pool, 50)) << "every thread was busy";
        held.release(count);
        ASSERT_TRUE(pool.waitForDone(60'000));
    }
}
