#include "bitmapfile/blockwriter.h"

#include <system_error>

namespace {

// The target may take part of a block; writing the rest again either goes on or fails with the
// system's reason in the target's error.
bool writeFully(QIODevice &target, const std::vector<char> &block)
{
    for (qint64 done = 0, size = qint64(block.size()); done < size;) {
        const qint64 n = target.write(block.data() + done, size - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

BlockWriter::BlockWriter(QIODevice &target, SaveProgress *progress)
    : m_target(target)
    , m_progress(progress)
{
    m_filling.reserve(BlockSize);
    m_handed.reserve(BlockSize);
    open(QIODevice::WriteOnly);
    try {
        m_worker = std::thread([this] { writeBlocks(); }); // once the blocks are made
    } catch (const std::system_error &) {
        // The system has no thread to spare: the blocks are written on this one as they fill.
    }
}

BlockWriter::~BlockWriter()
{
    finish();
}

bool BlockWriter::finish()
{
    if (!isOpen())
        return !m_failed;
    if (!m_filling.empty())
        handOver();
    if (m_worker.joinable()) {
        {
            std::lock_guard lock(m_mutex);
            m_finishing = true;
        }
        m_changed.notify_all();
        m_worker.join();
    }
    close();
    return !m_failed;
}

bool BlockWriter::isSequential() const
{
    return true;
}

qint64 BlockWriter::readData(char *, qint64)
{
    return -1;
}

qint64 BlockWriter::writeData(const char *data, qint64 size)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_failed)
            return -1;
    }
    // Stops the maker of the bytes (Qt's image writer) at once, not only the writing.
    if (m_progress && m_progress->cancelled)
        return -1;
    // A block is handed over before it would overflow, so the two blocks are never reallocated.
    if (!m_filling.empty() && qint64(m_filling.size()) + size > BlockSize)
        handOver();
    m_filling.insert(m_filling.end(), data, data + size);
    return size;
}

// Waits until the worker has written the block it has, then gives it this one and takes the
// written one back to fill. Without a worker, writes this one here.
void BlockWriter::handOver()
{
    if (!m_worker.joinable()) {
        m_failed = m_failed || !writeBlock(m_filling);
        m_filling.clear();
        return;
    }
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_handed.empty(); });
        m_handed.swap(m_filling);
    }
    m_changed.notify_all();
}

bool BlockWriter::writeBlock(const std::vector<char> &block)
{
    if (!m_progress)
        return writeFully(m_target, block);
    if (m_progress->cancelled || !writeFully(m_target, block))
        return false;
    m_progress->written += qint64(block.size());
    return true;
}

void BlockWriter::writeBlocks()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return !m_handed.empty() || m_finishing; });
        if (m_handed.empty())
            return;
        lock.unlock();
        // After a failed write the rest is dropped: the file is incomplete anyway.
        const bool written = !m_failed && writeBlock(m_handed);
        lock.lock();
        m_failed = !written;
        m_handed.clear();
        m_changed.notify_all();
    }
}
