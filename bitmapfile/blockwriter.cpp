#include "bitmapfile/blockwriter.h"

#include <cerrno>
#include <unistd.h>

BlockWriter::BlockWriter(int file, SaveProgress *progress)
    : m_file(file)
    , m_progress(progress)
{
    m_block.reserve(BlockSize);
    open(QIODevice::WriteOnly);
}

bool BlockWriter::finish()
{
    if (!m_failed && !m_block.empty())
        m_failed = !writeBlock();
    close();
    return !m_failed;
}

qint64 BlockWriter::readData(char *, qint64)
{
    return -1;
}

qint64 BlockWriter::writeData(const char *data, qint64 size)
{
    // A block is written before it would overflow, so it is never reallocated.
    if (!m_failed && !m_block.empty() && qint64(m_block.size()) + size > BlockSize)
        m_failed = !writeBlock();
    // A cancel stops the maker of the bytes (Qt's image writer) at once, not only the writing.
    if (m_failed || (m_progress && m_progress->cancelled)) {
        m_failed = true;
        return -1;
    }
    m_block.insert(m_block.end(), data, data + size);
    return size;
}

// The system may take part of a block; the rest is written again until all is taken or it fails.
bool BlockWriter::writeBlock()
{
    const char *data = m_block.data();
    qint64 left = qint64(m_block.size());
    while (left > 0) {
        if (m_progress && m_progress->cancelled)
            return false;
        const ssize_t n = ::write(m_file, data, std::size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_error = n < 0 ? errno : EIO;
            return false;
        }
        data += n;
        left -= n;
        if (m_progress)
            m_progress->written += n;
    }
    m_block.clear();
    return true;
}
