// Qt's raster engine hands large fills, line drawings, scalings and conversions to the threads
// of QThreadPool::globalInstance() and waits for them; a save runs on a pool of its own. Should
// a pool's thread fail to start (its stack cannot be had under a memory limit), the task it was
// given never runs and whoever waits for it waits for good. Started at start-up, all of them,
// and kept for the whole run, no paint and no save ever has to start one: the memory they take
// is counted before any canvas is made.
#pragma once

class QThreadPool;

// Starts every thread the pool may use and keeps them for the whole run. False when they cannot
// all be started (not enough memory).
[[nodiscard]] bool startEveryThread(QThreadPool &pool);

// Gives each of the pool's threads a task at once, each waiting until all have started, so that
// each runs on a thread of its own. True when all were running, and then all done, each within
// `timeout` milliseconds; a pool that had to start a thread and could not leaves a task unrun,
// and the answer is false.
[[nodiscard]] bool occupyEveryPoolThread(QThreadPool &pool, int timeout);
