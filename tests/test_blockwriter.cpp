// The writer in front of the save: every byte arrives in order through several blocks while the
// target is slow, and a target that stops taking bytes makes it fail.
#include "bitmapfile/blockwriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <thread>

namespace {

// Takes its time over each write, as a busy disk does, so that the next block is ready before
// the last one is written; takes no more than `capacity` bytes in all, part of the write that
// crosses it.
class SlowTarget : public QIODevice
{
public:
    explicit SlowTarget(qint64 capacity = std::numeric_limits<qint64>::max())
        : m_capacity(capacity)
    {
        open(QIODevice::WriteOnly);
    }
    QByteArray received;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const qint64 taken = std::min(size, m_capacity - received.size());
        if (taken <= 0)
            return -1;
        received.append(data, taken);
        return taken;
    }

private:
    qint64 m_capacity;
};

// Three and a half blocks of bytes that differ from one block to the next, written in bitmap rows.
QByteArray writeRows(BlockWriter &writer)
{
    QByteArray bytes(BlockWriter::BlockSize * 7 / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i % 251);
    constexpr qsizetype row = 28800;
    for (qsizetype at = 0; at < bytes.size(); at += row)
        writer.write(bytes.mid(at, row));
    return bytes;
}

TEST(BlockWriter, EveryByteArrivesInOrderWhileTheTargetIsSlow)
{
    SlowTarget target;
    BlockWriter writer(target);
    const QByteArray bytes = writeRows(writer);
    EXPECT_TRUE(writer.finish());
    EXPECT_EQ(target.received, bytes);
}

TEST(BlockWriter, ATargetThatStopsTakingBytesFailsTheWhole)
{
    SlowTarget target(BlockWriter::BlockSize + 100); // the second block is taken only in part
    BlockWriter writer(target);
    const QByteArray bytes = writeRows(writer);
    EXPECT_FALSE(writer.finish());
    EXPECT_EQ(target.received, bytes.left(BlockWriter::BlockSize + 100));
}

} // namespace
