// Runs the save's task on the calling thread, as the save's own thread would, for tests, tools
// and benchmarks that want its outcome without a window.
#pragma once

#include "bitmapfile/bitmapfile.h"

#include <QFuture>

inline SaveOutcome saveNow(const QImage &picture, const SaveTarget &target,
                           std::stop_token stop = {})
{
    QPromise<SaveOutcome> promise;
    QFuture<SaveOutcome> future = promise.future();
    promise.start();
    writeBitmapFile(promise, std::move(stop), picture, target);
    promise.finish();
    return future.result();
}
