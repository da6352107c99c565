#include "bitmapfile/bitmapfile.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QThreadPool>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Cause = SaveOutcome::Cause;
using End = SaveOutcome::End;
using Status = struct stat;

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

SaveOutcome failed(Cause cause, const QString &reason = {})
{
    return { End::Failed, cause, reason };
}

SaveOutcome withSystemReason(End end = End::Failed)
{
    return { end, Cause::System, systemReason(errno) };
}

// How a file or folder is marked against change (chattr +i, +a), where the system says.
quint64 marksOf(const QByteArray &path)
{
    struct statx status = {};
    if (::statx(AT_FDCWD, path.constData(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &status) != 0)
        return 0;
    return status.stx_attributes_mask & status.stx_attributes;
}

// Why the file must not be replaced, if so: whatever stands at the target now, only looked at.
std::optional<SaveOutcome> refusalOf(const QByteArray &file)
{
    Status status {};
    if (::lstat(file.constData(), &status) != 0)
        return std::nullopt; // nothing there yet; the folder tells why, if anything is wrong
    if (!S_ISREG(status.st_mode))
        return failed(Cause::NotARegularFile);
    // Not even by root: the marking is the owner's wish to keep it.
    if (!(status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)))
        return failed(Cause::ReadOnlyFile);
    if (marksOf(file) & STATX_ATTR_IMMUTABLE)
        return failed(Cause::ImmutableFile);
    if (marksOf(file) & STATX_ATTR_APPEND) // the rename could not replace it
        return failed(Cause::AppendOnlyFile);
    if (::access(file.constData(), W_OK) != 0) // another account's, or a read-only file system
        return errno == EACCES ? failed(Cause::FileNotWritable) : withSystemReason();
    return std::nullopt;
}

// The new file, nameless while it is written (O_TMPFILE) so that nothing is left if the program
// ends, else under a hidden name beside the target. Removed when this goes unless it replaced
// the target. A step that fails sets errno.
struct NewFile
{
    explicit NewFile(const SaveTarget &target)
        : stem(QFile::encodeName(target.folder) + "/."
               + QFile::encodeName(QFileInfo(target.file).fileName()) + '-')
    {
        // Under the account's umask. These errors say that the file system has no nameless files.
        fd = ::open(QFile::encodeName(target.folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC,
                    0666);
        if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL))
            takeHiddenName([this](const char *fresh) {
                return (fd = ::open(fresh, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666)) >= 0;
            });
    }
    ~NewFile()
    {
        if (fd >= 0)
            ::close(fd);
        if (!name.isEmpty())
            ::unlink(name.constData());
    }

    // The last step before the rename that can be undone. Linked through /proc, which any account
    // may follow (linking the descriptor itself needs a privilege).
    bool giveName()
    {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        return !name.isEmpty() || takeHiddenName([&](const char *fresh) {
            return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, fresh, AT_SYMLINK_FOLLOW) == 0;
        });
    }

    // Tries hidden names (".test.bmp-" and random letters) until `take` takes one.
    template<typename Take>
    bool takeHiddenName(Take take)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QByteArray fresh
                    = stem + QByteArray::number(QRandomGenerator::global()->generate(), 36);
            if (take(fresh.constData())) {
                name = fresh;
                return true;
            }
            if (errno != EEXIST)
                break;
        }
        return false;
    }

    const QByteArray stem;
    int fd = -1;
    QByteArray name; // once it has one, until it has replaced the target
};

// Qt's image writer hands over the bitmap a row at a time; here the rows go to the file in blocks
// of SaveBlockSize bytes (the widest row, 28,800 bytes, always fits), one write each. After each
// block `carryOn` is told the bytes written; once it says no, writing fails and the writer stops.
class BlockWriter final : public QIODevice
{
public:
    BlockWriter(int file, std::function<bool(qint64)> carryOn)
        : m_file(file)
        , m_carryOn(std::move(carryOn))
    {
        m_block.reserve(SaveBlockSize);
        open(QIODevice::WriteOnly);
    }
    // Writes the rest. Then 0, the system's error number of a write that failed, or -1 when
    // `carryOn` said no.
    int finish()
    {
        if (!m_block.empty())
            writeBlock();
        return m_error;
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (qsizetype(m_block.size()) + size > SaveBlockSize)
            writeBlock();
        if (m_error)
            return -1;
        m_block.insert(m_block.end(), data, data + size);
        return size;
    }

private:
    // The system may take part of a block; the rest is written again until all is taken.
    void writeBlock()
    {
        for (std::size_t done = 0; !m_error && done < m_block.size();) {
            const ssize_t n = ::write(m_file, m_block.data() + done, m_block.size() - done);
            if (n > 0)
                done += std::size_t(n);
            else if (n == 0 || errno != EINTR)
                m_error = n < 0 ? errno : EIO;
        }
        m_written += qint64(m_block.size());
        m_block.clear();
        if (!m_error && !m_carryOn(m_written))
            m_error = -1;
    }

    int m_file;
    std::function<bool(qint64)> m_carryOn;
    std::vector<char> m_block;
    qint64 m_written = 0;
    int m_error = 0;
};

// The earlier file's owner and group where this account may give them (root both, another account
// a group it belongs to), then its mode, which a change of owner may have cleared bits of.
void keepOwnerAndGroup(int file, const Status &earlier)
{
    if (::fchown(file, earlier.st_uid, earlier.st_gid) != 0)
        (void)!::fchown(file, uid_t(-1), earlier.st_gid); // if not even that, it stays ours
    (void)::fchmod(file, earlier.st_mode & 07777);
}

SaveOutcome save(QPromise<SaveOutcome> &promise, const std::stop_token &stop, const QImage &picture,
                 const SaveTarget &target)
{
    const QByteArray file = QFile::encodeName(target.file);
    if (auto refused = refusalOf(file))
        return *refused;
    Status earlier {};
    const bool replacing = ::stat(file.constData(), &earlier) == 0;
    // Append-only or immutable, the folder would refuse the rename and the new file's removal.
    const QByteArray folder = QFile::encodeName(target.folder);
    if (marksOf(folder) & (STATX_ATTR_IMMUTABLE | STATX_ATTR_APPEND))
        return failed(Cause::FolderKeepsItsFiles);
    NewFile made(target);
    if (made.fd < 0)
        return failed(Cause::FolderNotWritable, systemReason(errno));
    if (replacing)
        keepOwnerAndGroup(made.fd, earlier);

    promise.setProgressRange(0, int(bitmapFileSize(picture.size())));
    BlockWriter blocks(made.fd, [&](qint64 written) {
        promise.setProgressValue(int(written));
        return !stop.stop_requested();
    });
    // Qt's writer streams a 32-bit image row by row, so no second full-size copy is made.
    QImageWriter writer(&blocks, "bmp");
    const bool encoded = writer.write(picture);
    const int error = blocks.finish();
    if (stop.stop_requested())
        return { End::Cancelled, Cause::System, {} };
    if (error || !encoded)
        return failed(Cause::System, error > 0 ? systemReason(error) : writer.errorString());
    promise.setProgressRange(0, 0); // a sync has no measure of how far it has got
    if (::fdatasync(made.fd) != 0)
        return withSystemReason();
    // A slow disk's sync may take seconds: the target is judged again just before the rename.
    if (auto refused = refusalOf(file))
        return *refused;
    if (!made.giveName())
        return withSystemReason();
    if (stop.stop_requested())
        return { End::Cancelled, Cause::System, {} };
    if (::rename(made.name.constData(), file.constData()) != 0)
        return withSystemReason();
    made.name.clear();
    // Past the point of no return: the name is durable once the folder is synced.
    const int folderFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const SaveOutcome stored = folderFd >= 0 && ::fsync(folderFd) == 0
            ? SaveOutcome {}
            : withSystemReason(End::Unconfirmed);
    if (folderFd >= 0)
        ::close(folderFd);
    return stored;
}

// The save's one thread, kept for the whole run once started.
struct SaveThreadPool : QThreadPool
{
    SaveThreadPool()
    {
        setObjectName(QStringLiteral("save"));
        setMaxThreadCount(1);
        setStackSize(uint(SaveStackSize));
    }
};

} // namespace

QString defaultBitmapPath()
{
    // QDir::homePath() would fall back to the root folder when HOME is unset or empty.
    QString home = qEnvironmentVariable("HOME");
    if (const passwd *account = ::getpwuid(::getuid()); home.isEmpty() && account)
        home = QFile::decodeName(account->pw_dir);
    return home.isEmpty() ? QString() : QDir(home).filePath(QStringLiteral("test.bmp"));
}

SaveTarget saveTargetFor(const QString &path)
{
    constexpr int deepest = 40; // Linux's own limit
    QFileInfo end(path);
    for (int depth = 0; end.isSymLink(); ++depth) {
        if (depth == deepest)
            return { path, QFileInfo(path).absolutePath(), {} };
        end.setFile(end.symLinkTarget());
    }
    const QFileInfo folder(end.absolutePath());
    const QString real = folder.exists() ? folder.canonicalFilePath() : folder.filePath();
    return { QDir(real).filePath(end.fileName()), real,
             QFileInfo(path).isSymLink() ? path : QString() };
}

void writeBitmapFile(QPromise<SaveOutcome> &promise, std::stop_token stop, const QImage &picture,
                     const SaveTarget &target)
{
    // Where it competes for a core with the window's thread, the window goes first (on Linux
    // this sets the niceness of the calling thread alone).
    (void)::setpriority(PRIO_PROCESS, 0, 10);
    promise.addResult(save(promise, stop, picture, target));
}

QThreadPool &saveThreadPool()
{
    static SaveThreadPool pool;
    return pool;
}

qint64 bitmapFileSize(QSize picture)
{
    constexpr qint64 headers = 14 + 40;
    const qint64 row = (qint64(picture.width()) * 3 + 3) / 4 * 4; // rows end on 4 bytes
    return headers + row * picture.height();
}
