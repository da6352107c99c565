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
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using Cause = SaveFailure::Cause;

// How a file or folder is marked against change (chattr +i, +a), where the system says.
struct Protection
{
    bool immutable = false;
    bool appendOnly = false;
};

Protection protectionOf(const QString &path)
{
#if defined(Q_OS_LINUX) && defined(STATX_ATTR_IMMUTABLE)
    struct statx status
    {
    };
    if (::statx(AT_FDCWD, QFile::encodeName(path).constData(), 0, STATX_BASIC_STATS, &status)
        != 0)
        return {};
    const auto marked = [&](quint64 attribute) {
        return (status.stx_attributes_mask & status.stx_attributes & attribute) != 0;
    };
    return { marked(STATX_ATTR_IMMUTABLE), marked(STATX_ATTR_APPEND) };
#else
    Q_UNUSED(path);
    return {};
#endif
}

// A folder in which existing files cannot be replaced (append-only or immutable). The rename
// that completes a save would fail there, and the temporary file could not be removed either,
// so such a folder is refused before anything is written.
bool refusesReplacing(const QString &folder)
{
    const Protection protection = protectionOf(folder);
    return protection.immutable || protection.appendOnly;
}

bool stopped(const SaveProgress *progress)
{
    return progress && progress->cancelled;
}

// Qt's writer streams a 32-bit image row by row, so no second full-size copy is made; the rows
// go to the file on a second thread while the next ones are made.
bool writeBitmap(const QImage &picture, QSaveFile &file, SaveProgress *progress, QString &reason)
{
    BlockWriter blocks(file, progress);
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

// Why the file at the end of the links must not be replaced, if it must not. Only looked at,
// never opened: a pipe at the path would block whoever opened it.
std::optional<Cause> refusedTarget(const std::optional<QString> &end)
{
    if (!end)
        return Cause::NotARegularFile;
    const QFileInfo target(*end);
    if (!target.exists())
        return std::nullopt;
    if (!target.isFile())
        return Cause::NotARegularFile;
    // A file marked read-only is never replaced, even by a user whom the system would let write
    // it (root): the marking is the owner's wish to keep it. The mode bits only: the "user"
    // permission already says what this user may do.
    constexpr auto anyWrite
            = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!(target.permissions() & anyWrite))
        return Cause::ReadOnlyFile;
    const Protection protection = protectionOf(*end);
    if (protection.immutable)
        return Cause::ImmutableFile;
    // The rename could not replace it (and appending is no way to save a picture).
    if (protection.appendOnly)
        return Cause::AppendOnlyFile;
    // QSaveFile refuses a file this account may not write, though it would not write into it.
    if (!target.isWritable())
        return Cause::FileNotWritable;
    return std::nullopt;
}

#ifdef Q_OS_UNIX
// The new file takes the earlier one's owner and group where this account may give them: root
// may give both, another account the group if it belongs to it. Otherwise the new file is this
// account's, as any file it makes. A change of owner may clear the set-user and set-group bits,
// so the earlier mode is given again after it.
void keepOwnerAndGroup(int file, const struct stat &earlier)
{
    if (::fchown(file, earlier.st_uid, earlier.st_gid) != 0)
        (void)::fchown(file, uid_t(-1), earlier.st_gid);
    (void)::fchmod(file, earlier.st_mode & 07777);
}
#endif

} // namespace

qint64 bitmapFileSize(QSize picture)
{
    constexpr qint64 headers = 14 + 40;
    const qint64 row = (qint64(picture.width()) * 3 + 3) / 4 * 4; // rows end on 4 bytes
    return headers + row * picture.height();
}

std::optional<SaveFailure> SavePicture(const QImage &picture, const QString &path,
                                       SaveProgress *progress)
{
    // Where a link leads, the file it points to is replaced and the link kept: that file is the
    // one judged, written and named, and the folder that counts is the real one it is in
    // (missing, perhaps).
    const std::optional<QString> end = linkEnd(path);
    const bool isLink = QFileInfo(path).isSymLink();
    const auto failure = [&](Cause cause, const QString &reason = {}) {
        return SaveFailure { cause, end.value_or(path), isLink && end ? path : QString(),
                             reason };
    };
    if (const auto refused = refusedTarget(end))
        return failure(*refused);

    const QFileInfo target(*end);
    const QFileInfo folderInfo(target.absolutePath());
    const QString folder
            = folderInfo.exists() ? folderInfo.canonicalFilePath() : folderInfo.filePath();
    if (target.exists() && refusesReplacing(folder))
        return SaveFailure { Cause::FolderAppendOnly, folder, {}, {} };
#ifdef Q_OS_UNIX
    struct stat earlier
    {
    };
    const bool replacing = ::stat(QFile::encodeName(*end).constData(), &earlier) == 0;
#endif

    QSaveFile file(path);
    // Unbuffered: the blocks go straight to the system. Through the file's own buffer, the
    // system's reason for a write that stopped part-way through its last chunk was lost
    // ("Unknown error" instead of "File too large").
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) // the temporary file
        return SaveFailure { Cause::FolderNotWritable, folder, {}, file.errorString() };
#ifdef Q_OS_UNIX
    if (replacing)
        keepOwnerAndGroup(file.handle(), earlier);
#endif
    QString reason;
    const auto giveUp = [&](Cause cause) {
        if (cause == Cause::Write && reason.isEmpty())
            reason = file.errorString(); // the rename's
        file.cancelWriting(); // the destructor then removes the temporary file
        return failure(cause, reason);
    };
    if (!writeBitmap(picture, file, progress, reason))
        return giveUp(stopped(progress) ? Cause::Cancelled : Cause::Write);
    if (stopped(progress))
        return giveUp(Cause::Cancelled);
    if (progress)
        progress->stage = SaveProgress::Stage::Syncing;
    if (!flushAndSync(file, reason))
        return giveUp(Cause::Write);
    // The largest canvas takes a good part of a second to write, and a slow disk's sync many:
    // what is at the path is looked at again just before the rename replaces it, and the
    // window's wish to stop is heeded until then.
    if (const auto refused = refusedTarget(linkEnd(path)))
        return giveUp(*refused);
    if (stopped(progress))
        return giveUp(Cause::Cancelled);
    if (file.commit())
        return std::nullopt;
    return giveUp(Cause::Write); // the rename
}
