// The writer in front of the save: every byte arrives in order through several blocks while the
// target is slow, and a target that stops taking bytes, or refuses one block, makes it fail, with
// a worker thread and without one.
#include "bitmapfile/blockwriter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <dlfcn.h>
#include <limits>
#include <pthread.h>
#include <thread>

// Interposed for this test executable: while set, no thread can be started, as when the account
// has used up its threads.
namespace faults {
bool noThreads = false;
int refusedThreads = 0;
} // namespace faults

extern "C" int pthread_create(pthread_t *thread, const pthread_attr_t *attributes,
                              void *(*run)(void *), void *argument)
{
    if (faults::noThreads) {
        ++faults::refusedThreads;
        return EAGAIN;
    }
    using Create = int (*)(pthread_t *, const pthread_attr_t *, void *(*)(void *), void *);
    static const auto real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    return real(thread, attributes, run, argument);
}

namespace {

// Takes its time over each write, as a busy disk does, so that the next block is ready before
// the last one is written; takes no more than `capacity` bytes in all, part of the write that
// crosses it.
class SlowTarget : public QIODevice
{
public:
    explicit SlowTarget(qint64 capacity = std::numeric_limits<qint64>::max(), int refused = -1)
        : m_capacity(capacity)
        , m_refused(refused)
    {
        open(QIODevice::WriteOnly);
    }
    QByteArray received;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (m_writes++ == m_refused)
            return -1;
        const qint64 taken = std::min(size, m_capacity - received.size());
        if (taken <= 0)
            return -1;
        received.append(data, taken);
        return taken;
    }

private:
    qint64 m_capacity;
    int m_refused; // the one write (counted from 0) refused, the others taken
    int m_writes = 0;
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

// With a worker thread, and without one (each block then written on the caller's thread).
class BlockWriterThreads : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        faults::noThreads = !GetParam();
        faults::refusedThreads = 0;
    }
    void TearDown() override
    {
        faults::noThreads = false;
        EXPECT_EQ(faults::refusedThreads > 0, !GetParam()) << "the writer's thread was not refused";
    }
};

TEST_P(BlockWriterThreads, EveryByteArrivesInOrderWhileTheTargetIsSlow)
{
    SlowTarget target;
    BlockWriter writer(target);
    const QByteArray bytes = writeRows(writer);
    EXPECT_TRUE(writer.finish());
    EXPECT_EQ(target.received, bytes);
}

TEST_P(BlockWriterThreads, ATargetThatStopsTakingBytesFailsTheWhole)
{
    SlowTarget target(BlockWriter::BlockSize + 100); // the second block is taken only in part
    BlockWriter writer(target);
    const QByteArray bytes = writeRows(writer);
    EXPECT_FALSE(writer.finish());
    EXPECT_EQ(target.received, bytes.left(BlockWriter::BlockSize + 100));
}

// The first block refused, the target ready to take the next ones: the writes that follow, the
// last one in finish() included, do not make up for it, and nothing after it is written.
TEST_P(BlockWriterThreads, ALaterWriteDoesNotHideAnEarlierFailure)
{
    SlowTarget target(std::numeric_limits<qint64>::max(), 0);
    BlockWriter writer(target);
    writeRows(writer);
    EXPECT_FALSE(writer.finish());
    EXPECT_EQ(target.received, QByteArray());
}

INSTANTIATE_TEST_SUITE_P(BlockWriter, BlockWriterThreads, ::testing::Bool(),
                         [](const auto &run) { return run.param ? "thread" : "noThread"; });

} // namespace
