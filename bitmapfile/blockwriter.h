// A write-only device in front of another that writes on a second thread, so that producing the
// bytes and writing them overlap. Saving the largest canvas spends about as long turning it into
// bitmap rows as the system spends taking them (docs/performance.md has the figures).
#pragma once

#include "bitmapfile/saveprogress.h"

#include <QIODevice>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// What is written is gathered into blocks of up to BlockSize bytes; each full block is handed to a
// worker thread that writes it to the target while the next one fills. Two blocks exist at most.
// When the system cannot start a thread, the blocks are written on the caller's thread instead.
// Nothing else may use the target until finish() has returned. With a SaveProgress, the bytes
// written are counted in it, and once it is cancelled no further block is written and writing
// fails, as a failed write does.
class BlockWriter final : public QIODevice
{
public:
    static constexpr qsizetype BlockSize = 1 << 20;

    explicit BlockWriter(QIODevice &target, SaveProgress *progress = nullptr);
    ~BlockWriter() override;

    // Writes the rest and waits until every block is written. False when a write failed: the
    // target's error says why.
    bool finish();

    bool isSequential() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    void handOver();
    void writeBlocks();

    bool writeBlock(const std::vector<char> &block);

    QIODevice &m_target;
    SaveProgress *m_progress;
    std::vector<char> m_filling; // this thread's
    std::vector<char> m_handed; // the worker's while not empty
    bool m_finishing = false;
    bool m_failed = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_worker;
};
