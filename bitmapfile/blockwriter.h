// A write-only device in front of a file: Qt's image writer hands over the bitmap a row at a time,
// and the rows go to the system in blocks of BlockSize bytes, one system call each.
#pragma once

#include "bitmapfile/saveprogress.h"

#include <QIODevice>

#include <vector>

// With a SaveProgress, the bytes written are counted in it, and once it is cancelled no further
// block is written and writing fails at once, so that the image writer stops making rows.
class BlockWriter final : public QIODevice
{
public:
    static constexpr qsizetype BlockSize = 1 << 20;

    // `file` is a descriptor open for writing, which stays open.
    explicit BlockWriter(int file, SaveProgress *progress = nullptr);

    // Writes the rest. False when a write failed or the save was cancelled; error() is then the
    // system's error number of the failed write, 0 for a cancel.
    bool finish();
    int error() const { return m_error; }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool writeBlock();

    int m_file;
    SaveProgress *m_progress;
    std::vector<char> m_block;
    bool m_failed = false;
    int m_error = 0;
};
