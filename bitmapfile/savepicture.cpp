#include "bitmapfile/savepicture.h"

#include "bitmapfile/blockwriter.h"
#include "bitmapfile/replacementfile.h"

#include <QFileInfo>
#include <QImageWriter>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    if (::statx(AT_FDCWD, QFile::encodeName(path).constData(), 0, STATX_BASIC_STATS, &status) != 0)
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

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

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

namespace {

struct Refusal
{
    Cause cause;
    QString reason;
};

// Why the file at the end of the links must not be replaced, if it must not. Only looked at,
// never opened: a pipe at the path would block whoever opened it.
std::optional<Refusal> refusedTarget(const std::optional<QString> &end)
{
    if (!end)
        return Refusal { Cause::NotARegularFile, {} };
    const QFileInfo target(*end);
    if (!target.exists())
        return std::nullopt;
    if (!target.isFile())
        return Refusal { Cause::NotARegularFile, {} };
    // A file marked read-only is never replaced, even by a user whom the system would let write
    // it (root): the marking is the owner's wish to keep it. The mode bits only: the "user"
    // permission already says what this user may do.
    constexpr auto anyWrite
            = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!(target.permissions() & anyWrite))
        return Refusal { Cause::ReadOnlyFile, {} };
    const Protection protection = protectionOf(*end);
    if (protection.immutable)
        return Refusal { Cause::ImmutableFile, {} };
    // The rename could not replace it (and appending is no way to save a picture).
    if (protection.appendOnly)
        return Refusal { Cause::AppendOnlyFile, {} };
    // A file the account may not write is not replaced either, though the rename would not write
    // into it; the system says why it may not (on a read-only file system, that).
    if (::access(QFile::encodeName(*end).constData(), W_OK) != 0) {
        if (errno == EACCES)
            return Refusal { Cause::FileNotWritable, {} };
        return Refusal { Cause::System, systemReason(errno) };
    }
    return std::nullopt;
}

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

} // namespace

qint64 bitmapFileSize(QSize picture)
{
    constexpr qint64 headers = 14 + 40;
    const qint64 row = (qint64(picture.width()) * 3 + 3) / 4 * 4; // rows end on 4 bytes
    return headers + row * picture.height();
}

SaveOutcome SavePicture(const QImage &picture, const QString &path, SaveProgress *progress)
{
    // Where a link leads, the file it points to is replaced and the link kept: that file is the
    // one judged, written and named, and the folder that counts is the real one it is in
    // (missing, perhaps).
    const std::optional<QString> end = linkEnd(path);
    // The file named is where the path leads when the failure is found.
    const auto failedAt
            = [&](const std::optional<QString> &file, Cause cause, const QString &reason = {}) {
                  const bool isLink = QFileInfo(path).isSymLink();
                  return SaveOutcome { SaveOutcome::End::Failed,
                                       { cause, file.value_or(path),
                                         isLink && file ? path : QString(), reason } };
              };
    const auto failed
            = [&](Cause cause, const QString &reason = {}) { return failedAt(end, cause, reason); };
    if (const auto refused = refusedTarget(end))
        return failed(refused->cause, refused->reason);

    const QFileInfo target(*end);
    const QFileInfo folderInfo(target.absolutePath());
    const QString folder
            = folderInfo.exists() ? folderInfo.canonicalFilePath() : folderInfo.filePath();
    const auto folderFailure = [&](Cause cause, const QString &reason = {}) {
        return SaveOutcome { SaveOutcome::End::Failed, { cause, folder, {}, reason } };
    };
    if (target.exists() && refusesReplacing(folder))
        return folderFailure(Cause::FolderAppendOnly);
    struct stat earlier
    {
    };
    const bool replacing = ::stat(QFile::encodeName(*end).constData(), &earlier) == 0;

    ReplacementFile file(target.absoluteFilePath());
    if (!file.isOpen())
        return folderFailure(Cause::FolderNotWritable, systemReason(file.error()));
    if (replacing)
        keepOwnerAndGroup(file.handle(), earlier);
    const SaveOutcome cancelled { SaveOutcome::End::Cancelled };

    // Qt's writer streams a 32-bit image row by row, so no second full-size copy is made.
    BlockWriter blocks(file.handle(), progress);
    QImageWriter writer(&blocks, "bmp");
    const bool encoded = writer.write(picture);
    const bool written = blocks.finish() && encoded;
    if (stopped(progress))
        return cancelled;
    if (!written)
        return failed(Cause::System,
                      blocks.error() ? systemReason(blocks.error()) : writer.errorString());
    if (progress)
        progress->stage = SaveProgress::Stage::Syncing;
    if (!file.sync())
        return failed(Cause::System, systemReason(file.error()));
    // The largest canvas takes a good part of a second to write, and a slow disk's sync many:
    // what is at the path is looked at again just before the rename replaces it, and the
    // window's wish to stop is heeded until the rename itself.
    if (const std::optional<QString> now = linkEnd(path); const auto refused = refusedTarget(now))
        return failedAt(now, refused->cause, refused->reason);
    if (!file.name())
        return failed(Cause::System, systemReason(file.error()));
    if (stopped(progress))
        return cancelled;
    bool replaced = false;
    if (file.replace(replaced))
        return {};
    if (!replaced)
        return failed(Cause::System, systemReason(file.error()));
    SaveOutcome unconfirmed = failed(Cause::System, systemReason(file.error()));
    unconfirmed.end = SaveOutcome::End::Unconfirmed;
    return unconfirmed;
}
