#include "bitmapfile/replacementfile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Tries hidden names beside the target (".test.bmp-" and six random letters) until `take` takes
// one; false, with errno set, when it fails otherwise or every name tried is in use.
template<typename Take>
bool takeFreshName(const QByteArray &folder, const QByteArray &target, QByteArray &name, Take take)
{
    static constexpr char letters[]
            = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const QByteArray stem = folder + "/."
            + QFile::encodeName(QFileInfo(QFile::decodeName(target)).fileName()) + '-';
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = stem;
        for (int i = 0; i < 6; ++i)
            name += letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))];
        if (take(name.constData()))
            return true;
        if (errno != EEXIST)
            break;
    }
    name.clear();
    return false;
}

} // namespace

ReplacementFile::ReplacementFile(const QString &target)
    : m_target(QFile::encodeName(target))
    , m_folder(QFile::encodeName(QFileInfo(target).absolutePath()))
{
    // Made as any new file is, under the account's umask.
#ifdef O_TMPFILE
    m_file = ::open(m_folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (m_file >= 0)
        return;
    // These say that the file system has no nameless files; anything else, that the folder
    // takes no new file, which a named one would meet as well.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        m_error = errno;
        return;
    }
#endif
    if (!takeFreshName(m_folder, m_target, m_name, [this](const char *name) {
            m_file = ::open(name, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
            return m_file >= 0;
        }))
        m_error = errno;
}

ReplacementFile::~ReplacementFile()
{
    if (m_file >= 0)
        ::close(m_file);
    if (!m_name.isEmpty())
        (void)::unlink(m_name.constData());
}

bool ReplacementFile::failed()
{
    m_error = errno;
    return false;
}

bool ReplacementFile::sync()
{
    return ::fdatasync(m_file) == 0 || failed();
}

bool ReplacementFile::name()
{
    if (!m_name.isEmpty())
        return true;
    // A nameless file is linked through its descriptor's entry in /proc, which any account may
    // follow (linking the descriptor itself needs a privilege).
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_file);
    return takeFreshName(m_folder, m_target, m_name,
                         [&](const char *name) {
                             return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name,
                                             AT_SYMLINK_FOLLOW)
                                     == 0;
                         })
            || failed();
}

bool ReplacementFile::replace(bool &replaced)
{
    replaced = false;
    if (::rename(m_name.constData(), m_target.constData()) != 0)
        return failed();
    replaced = true;
    m_name.clear();
    const int folder = ::open(m_folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return failed();
    const bool synced = ::fsync(folder) == 0 || failed();
    ::close(folder);
    return synced;
}
