#include "bitmapfile/savepicture.h"

#include "bitmapfile/blockwriter.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

namespace {

// A folder in which existing files cannot be replaced (append-only or immutable). The rename
// that completes a save would fail there, and the temporary file could not be removed either,
// so such a folder is refused before anything is written.
bool refusesReplacing(const QString &folder)
{
#if defined(Q_OS_LINUX)
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    int flags = 0;
    const bool known = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    ::close(fd);
    return known && (flags & (FS_APPEND_FL | FS_IMMUTABLE_FL));
#else
    Q_UNUSED(folder);
    return false;
#endif
}

// Qt's writer streams a 32-bit image row by row, so no second full-size copy is made; the rows
// go to the file on a second thread while the next ones are made.
bool writeBitmap(const QImage &picture, QSaveFile &file, QString &reason)
{
    BlockWriter blocks(file);
    QImageWriter writer(&blocks, "bmp");
    const bool converted = writer.write(picture);
    if (blocks.finish() && converted)
        return true;
    reason = file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
    return false;
}

// Writes the unwritten rest of the buffer and makes the data durable. QSaveFile::commit()
// ignores a failure of both (its final flush happens inside close(), whose error it does not
// check, and it does not check the sync), so they are done and checked here before it.
bool flushAndSync(QSaveFile &file, QString &reason)
{
    if (!file.flush()) {
        reason = file.errorString();
        return false;
    }
#ifdef Q_OS_UNIX
    if (::fdatasync(file.handle()) != 0) {
        reason = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
#endif
    return true;
}

// Where a path leads after following links, as QSaveFile follows them; nothing when the links go
// round in a circle (a link to itself) or deeper than the system would follow them.
std::optional<QString> linkEnd(const QString &path)
{
    constexpr int deepest = 40; // Linux's own limit
    QFileInfo info(path);
    for (int depth = 0; info.isSymLink(); ++depth) {
        if (depth == deepest)
            return std::nullopt;
        info.setFile(info.symLinkTarget());
    }
    return info.filePath();
}

// Why what is at the path must not be replaced, if it must not. Only looked at, never opened:
// a pipe at the path would block whoever opened it.
std::optional<SaveFailure> refusedTarget(const QString &path)
{
    using Cause = SaveFailure::Cause;
    const std::optional<QString> end = linkEnd(path);
    if (!end)
        return SaveFailure { Cause::NotARegularFile, path, {} };
    const QFileInfo target(*end);
    if (target.exists() && !target.isFile())
        return SaveFailure { Cause::NotARegularFile, path, {} };
    // A file marked read-only is never replaced, even by a user whom the system would let write
    // it (root): the marking is the owner's wish to keep it. The mode bits only: the "user"
    // permission already says what this user may do.
    constexpr auto anyWrite
            = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (target.exists() && !(target.permissions() & anyWrite))
        return SaveFailure { Cause::ReadOnlyFile, path, {} };
    return std::nullopt;
}

} // namespace

std::optional<SaveFailure> SavePicture(const QImage &picture, const QString &path)
{
    using Cause = SaveFailure::Cause;
    if (auto refused = refusedTarget(path))
        return refused;

    // Where a link leads, the file it points to is replaced and the link kept, so the folder
    // that counts is the real one at the end of the links (missing, perhaps).
    const QFileInfo target(linkEnd(path).value_or(path));
    const QFileInfo folderInfo(target.absolutePath());
    const QString folder
            = folderInfo.exists() ? folderInfo.canonicalFilePath() : folderInfo.filePath();
    if (target.exists() && refusesReplacing(folder))
        return SaveFailure { Cause::FolderAppendOnly, folder, {} };

    QSaveFile file(path);
    // Unbuffered: the blocks go straight to the system. Through the file's own buffer, the
    // system's reason for a write that stopped part-way through its last chunk was lost
    // ("Unknown error" instead of "File too large").
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // Unless the file itself refuses writing, what failed is making the temporary file.
        if (target.exists() && !target.isWritable())
            return SaveFailure { Cause::Write, path, file.errorString() };
        return SaveFailure { Cause::FolderNotWritable, folder, file.errorString() };
    }
    QString reason;
    if (writeBitmap(picture, file, reason) && flushAndSync(file, reason)) {
        // The largest canvas takes a good part of a second to write: what is at the path is
        // looked at again just before the rename replaces it.
        if (auto refused = refusedTarget(path)) {
            file.cancelWriting();
            return refused;
        }
        if (file.commit())
            return std::nullopt;
    }
    if (reason.isEmpty())
        reason = file.errorString(); // the rename
    file.cancelWriting(); // the destructor then removes the temporary file
    return SaveFailure { Cause::Write, path, reason };
}
