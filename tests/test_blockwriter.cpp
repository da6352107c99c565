// The writer in front of the save: every byte reaches the file in order, a block at a time; a
// file that takes no more makes it fail with the system's reason, and no later write hides it;
// once the save is cancelled, writing fails at once and nothing more reaches the file.
#include "bitmapfile/blockwriter.h"

#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Three and a half blocks of bytes that differ from one block to the next, in bitmap rows.
QByteArray rows()
{
    QByteArray bytes(BlockWriter::BlockSize * 7 / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i % 251);
    return bytes;
}

constexpr qsizetype Row = 28800;

// A writer into a temporary file, with its progress.
class BlockWriterToAFile : public ::testing::Test
{
protected:
    static int opened(QTemporaryFile &file) { return file.open() ? file.handle() : -1; }
    void SetUp() override { ASSERT_TRUE(file.isOpen()); }
    QTemporaryFile file;
    SaveProgress progress;
    BlockWriter writer { opened(file), &progress };
    const QByteArray bytes = rows();
};

} // namespace

TEST_F(BlockWriterToAFile, EveryByteArrivesInOrderAndIsCounted)
{
    for (qsizetype at = 0; at < bytes.size(); at += Row) {
        const qint64 before = progress.written;
        ASSERT_EQ(writer.write(bytes.mid(at, Row)), std::min(Row, bytes.size() - at));
        // Nothing, or a block of as many rows as fit.
        const qint64 block = progress.written - before;
        EXPECT_TRUE(block == 0 || block == BlockWriter::BlockSize / Row * Row) << block;
    }
    EXPECT_TRUE(writer.finish());
    EXPECT_EQ(progress.written, bytes.size());
    file.seek(0);
    EXPECT_EQ(file.readAll(), bytes);
}

TEST(BlockWriter, AFileThatTakesNoMoreFailsTheWholeWithTheSystemsReason)
{
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    BlockWriter writer(full, nullptr);
    const QByteArray bytes = rows();
    qsizetype taken = 0;
    for (qsizetype at = 0; at < bytes.size(); at += Row)
        taken += std::max<qint64>(0, writer.write(bytes.mid(at, Row)));
    EXPECT_LT(taken, BlockWriter::BlockSize + Row) << "writes after the failure were taken";
    EXPECT_FALSE(writer.finish());
    EXPECT_EQ(writer.error(), ENOSPC);
    ::close(full);
}

TEST_F(BlockWriterToAFile, ACancelStopsTheWritingAtOnce)
{
    for (qsizetype at = 0; progress.written == 0; at += Row)
        ASSERT_GT(writer.write(bytes.mid(at, Row)), 0);
    progress.cancelled = true;
    EXPECT_EQ(writer.write(bytes.left(Row)), -1) << "the maker of the rows is not stopped";
    EXPECT_FALSE(writer.finish());
    EXPECT_EQ(writer.error(), 0);
    EXPECT_EQ(file.size(), BlockWriter::BlockSize / Row * Row);
}
