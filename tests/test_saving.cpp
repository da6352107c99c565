// "Save" under faults: whatever fails, at whatever step, the user is told why, the earlier file
// stays byte for byte and no temporary file is left. Faults are real where the system can make
// them (a file-size limit, missing and locked folders, special files, append-only and immutable
// files and folders) and injected at the system calls where it cannot (a failing sync or rename,
// a thread that cannot be started, a disk whose writes or syncs stall). On a stalling disk the
// window keeps answering, shows the save's progress, and Cancel or closing the window keeps the
// earlier file. Also here, for the thread fault: the painting threads started up front.
#include "tests/uitest.h"

#include "bitmapfile/backgroundsave.h"
#include "bitmapfile/bitmappath.h"
#include "bitmapfile/blockwriter.h"
#include "bitmapfile/savepicture.h"
#include "render/paintthreads.h"
#include "render/retainedimage.h"
#include "ui/errorreport.h"
#include "ui/picturesave.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QSemaphore>
#include <QThreadPool>
#include <qpa/qwindowsysteminterface.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <pthread.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

// A place where the save's thread waits until the test lets it go on, as on a disk whose writes
// or syncs stall: armed to hold the n-th call from now, it holds that one only. It lets go by
// itself after a minute, so that a save that does not answer fails the test rather than hang it.
class Stall
{
public:
    void arm(int call = 1)
    {
        (void)m_go.tryAcquire(m_go.available()); // a release left over from an earlier test
        (void)m_reached.tryAcquire(m_reached.available());
        m_countdown = call;
    }
    bool armed() const { return m_countdown.load() > 0; }
    void reach() // on the save's thread
    {
        if (m_countdown.load() <= 0 || m_countdown.fetch_sub(1) != 1)
            return;
        m_reached.release();
        (void)m_go.tryAcquire(1, 60'000);
    }
    // On the window's thread, which goes on handling events meanwhile.
    bool waitUntilReached()
    {
        return QTest::qWaitFor([this] { return m_reached.tryAcquire(); }, 60'000);
    }
    void release()
    {
        m_countdown = 0;
        m_go.release();
    }

private:
    std::atomic<int> m_countdown { 0 };
    QSemaphore m_reached;
    QSemaphore m_go;
};

} // namespace

// Interposed for the whole test executable: the editor's code (and Qt's) call these. Set an
// errno value to make the next calls fail with it.
namespace faults {
int rename = 0;
int sync = 0;
int folderSync = 0;
bool noNamelessFiles = false; // as on a file system without O_TMPFILE
int threads = 0; // how many of the next thread starts fail
// Run once at the next sync, the last step before the rename: another program's doing.
std::function<void()> beforeSync;
// A disk that stalls: in a write of the bitmap, at the start of the sync, once the sync is done
// (the last moment before the rename), or in the folder's sync after it.
Stall write;
Stall syncing;
Stall synced;
Stall storing;
std::chrono::milliseconds slowWrites { 0 }; // a slow disk: each write of the bitmap takes this long
bool renamed = false; // a rename has put a file in place since this was last cleared
bool folderSyncedAfterRename = false;
} // namespace faults

namespace {

// Whether a write goes to a file being saved: a regular file (the temporary one, which Qt may
// keep nameless until the commit) written by a thread other than the window's.
bool isBitmap(int fd)
{
    struct stat status
    {
    };
    return gettid() != getpid() && fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace

extern "C" ssize_t write(int fd, const void *data, size_t size)
{
    if (faults::write.armed() && isBitmap(fd))
        faults::write.reach();
    if (faults::slowWrites.count() > 0 && isBitmap(fd))
        std::this_thread::sleep_for(faults::slowWrites);
    using Write = ssize_t (*)(int, const void *, size_t);
    static const auto real = reinterpret_cast<Write>(dlsym(RTLD_NEXT, "write"));
    return real(fd, data, size);
}

extern "C" int rename(const char *from, const char *to) noexcept
{
    if (faults::rename) {
        errno = faults::rename;
        return -1;
    }
    using Rename = int (*)(const char *, const char *);
    static const auto real = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
    const int result = real(from, to);
    faults::renamed = faults::renamed || result == 0;
    return result;
}

extern "C" int fsync(int fd)
{
    struct stat status
    {
    };
    if (fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        faults::storing.reach();
        faults::folderSyncedAfterRename = faults::renamed;
        if (faults::folderSync) {
            errno = faults::folderSync;
            return -1;
        }
    }
    using Sync = int (*)(int);
    static const auto real = reinterpret_cast<Sync>(dlsym(RTLD_NEXT, "fsync"));
    return real(fd);
}

extern "C" int open(const char *path, int flags, ...)
{
    mode_t mode = 0;
    if ((flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
    }
    if (faults::noNamelessFiles && (flags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return -1;
    }
    using Open = int (*)(const char *, int, ...);
    static const auto real = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "open"));
    return real(path, flags, mode);
}

extern "C" int fdatasync(int fd)
{
    if (faults::beforeSync)
        std::exchange(faults::beforeSync, nullptr)();
    if (faults::sync) {
        errno = faults::sync;
        return -1;
    }
    faults::syncing.reach();
    using Sync = int (*)(int);
    static const auto real = reinterpret_cast<Sync>(dlsym(RTLD_NEXT, "fdatasync"));
    const int result = real(fd);
    faults::synced.reach();
    return result;
}

extern "C" int pthread_create(pthread_t *thread, const pthread_attr_t *attributes,
                              void *(*run)(void *), void *argument)
{
    if (faults::threads > 0) {
        --faults::threads;
        return EAGAIN; // as when the account has used up its threads
    }
    using Create = int (*)(pthread_t *, const pthread_attr_t *, void *(*)(void *), void *);
    static const auto real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    return real(thread, attributes, run, argument);
}

namespace {

// The warnings, word for word: line 1 names the file (and the link that leads to it, if the path
// given was one) or the folder, line 2 says why.
QString couldNotSave(const QString &file, const QString &link)
{
    return link.isEmpty()
            ? QStringLiteral("The picture could not be saved to %1.").arg(file)
            : QStringLiteral("The picture could not be saved to %1, where the link %2 leads.")
                      .arg(file, link);
}

QString writeFailed(const QString &path, const QString &reason, const QString &link = {})
{
    return couldNotSave(path, link) + '\n' + reason;
}

QString notARegularFile(const QString &path, const QString &link = {})
{
    return couldNotSave(path, link) + "\nThat path is not a regular file, so it is left as it is.";
}

QString readOnlyFile(const QString &path, const QString &link = {})
{
    return couldNotSave(path, link) + "\nThe file is read-only.";
}

QString immutableFile(const QString &path)
{
    return QStringLiteral("The picture could not be saved to %1.\nThe file is marked immutable, "
                          "so it cannot be replaced.")
            .arg(path);
}

QString appendOnlyFile(const QString &path)
{
    return QStringLiteral("The picture could not be saved to %1.\nThe file is marked "
                          "append-only: it can be added to, but not replaced.")
            .arg(path);
}

QString folderRefusesNewFiles(const QString &folder, const QString &reason)
{
    return QStringLiteral("The picture could not be saved in the folder %1.\nNo new file can be "
                          "made in that folder: %2")
            .arg(folder, reason);
}

QString folderAppendOnly(const QString &folder)
{
    return QStringLiteral("The picture could not be saved in the folder %1.\nThat folder does not "
                          "let a file in it be replaced.")
            .arg(folder);
}

// Counts the events of one type that reach an object.
class EventCounter : public QObject
{
public:
    EventCounter(QObject *watched, QEvent::Type type, int &count)
        : m_type(type)
        , m_count(count)
    {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            ++m_count;
        return false;
    }

private:
    QEvent::Type m_type;
    int &m_count;
};

bool runs(const QString &command)
{
    return std::system(command.toLocal8Bit().constData()) == 0;
}

class Saving : public ::testing::Test
{
protected:
    void SetUp() override
    {
        editor.setUp(10, 10, 32);
        editor.drag({ { 1, 1 }, { 2, 1 } });
        target = editor.dir.filePath(QStringLiteral("test.bmp"));
    }
    // Presses "Save" and expects exactly this warning, nothing of the drawing changed, the
    // earlier file (if any) as it was and nothing left behind.
    void expectFailedSave(const QString &path, const QString &message)
    {
        const QStringList before = leftovers();
        const QByteArray earlier = contents(path);
        const QImage image = editor.canvas()->Image();
        const auto codes = editor.form.grid().SquareData();
        editor.form.setBitmapPath(path);
        ASSERT_TRUE(editor.save());
        QMessageBox *box = errorBox(&editor.form);
        ASSERT_NE(box, nullptr) << "no message for " << path.toStdString();
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->text().toStdString(), message.toStdString());
        EXPECT_EQ(box->textFormat(), Qt::PlainText) << "a path's markup would be formatting";
        EXPECT_EQ(editor.canvas()->Image(), image);
        EXPECT_EQ(editor.form.grid().SquareData(), codes);
        EXPECT_EQ(contents(path), earlier);
        EXPECT_EQ(leftovers(), before) << "no temporary file is left behind";
        box->close();
        QApplication::processEvents();
        EXPECT_EQ(errorBox(&editor.form), nullptr);
    }
    // Presses "Save" and expects the picture in the file, its name made durable by a sync of
    // the folder after the rename, and no new file left beside it.
    void expectSave(const QString &path)
    {
        editor.form.setBitmapPath(path);
        faults::renamed = faults::folderSyncedAfterRename = false;
        ASSERT_TRUE(editor.save());
        EXPECT_EQ(errorBox(&editor.form), nullptr);
        EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32), editor.canvas()->Image());
        EXPECT_TRUE(faults::folderSyncedAfterRename)
                << "the folder was not synced after the rename";
        const QFileInfo file(linkEnd(path).value_or(path));
        const QStringList strays = { '.' + file.fileName() + "-*" };
        EXPECT_EQ(file.dir().entryList(strays, QDir::Hidden | QDir::Files), QStringList());
    }
    // The picture is in the file, and the user is told why it may not be as asked.
    void expectSavedAndTold(const QString &why)
    {
        QMessageBox *box = errorBox(&editor.form);
        ASSERT_NE(box, nullptr) << "the picture was saved without a word";
        EXPECT_EQ(box->text().toStdString(),
                  ("The picture was saved to " + target + ".\n" + why).toStdString());
        box->close();
        EXPECT_EQ(QImage(target).convertToFormat(QImage::Format_RGB32), editor.canvas()->Image());
    }
    QStringList leftovers() const
    {
        return QDir(editor.dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll()
                                                                          : QByteArray();
    }
    // A save into the grown canvas under a file-size limit of `limit` bytes.
    void saveWithSizeLimit(rlim_t limit)
    {
        rlimit saved {};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = limit;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        expectFailedSave(target, writeFailed(target, QStringLiteral("File too large")));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
    }

    // The save's progress dialog, once it shows.
    QProgressDialog *shownProgress()
    {
        QPointer<QProgressDialog> dialog;
        const bool shown = QTest::qWaitFor(
                [&] {
                    dialog = editor.form.findChild<QProgressDialog *>(
                            QStringLiteral("saveProgress"));
                    return dialog && dialog->isVisible();
                },
                60'000);
        return shown ? dialog.data() : nullptr;
    }
    bool saveEnds()
    {
        return QTest::qWaitFor([this] { return !editor.form.isSaving(); }, 60'000);
    }

    EditorDriver editor;
    QString target;
};

} // namespace

TEST_F(Saving, TheFolderIsMissingLockedOrTheTargetAFolder)
{
    const QString folder = editor.dir.filePath(QStringLiteral("<font color=red>missing</font>"));
    expectFailedSave(folder + QStringLiteral("/test.bmp"),
                     folderRefusesNewFiles(folder, QStringLiteral("No such file or directory")));
    ASSERT_TRUE(QDir().mkpath(folder));
    expectSave(folder + QStringLiteral("/test.bmp"));

    // Nobody, not even root, can make files in /proc: the message names the folder.
    expectFailedSave(QStringLiteral("/proc/test.bmp"),
                     folderRefusesNewFiles(QStringLiteral("/proc"),
                                           QStringLiteral("No such file or directory")));

    ASSERT_TRUE(QDir().mkdir(target));
    expectFailedSave(target, notARegularFile(target));
    EXPECT_TRUE(QFileInfo(target).isDir());
    ASSERT_TRUE(QDir().rmdir(target));
    expectSave(target);
}

TEST_F(Saving, AFolderThatCannotBeWrittenIsNamedAsTheProblem)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder";
    const QString folder = editor.dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString file = folder + QStringLiteral("/test.bmp");
    expectSave(file); // test.bmp itself stays writable
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    expectFailedSave(file, folderRefusesNewFiles(folder, QStringLiteral("Permission denied")));
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    expectSave(file);
}

// A file system mounted read-only is named by the system's words, whether test.bmp is there or not.
TEST_F(Saving, AReadOnlyFileSystemIsToldSo)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a file system needs root";
    const QString disk = editor.dir.filePath(QStringLiteral("disk"));
    ASSERT_TRUE(QDir().mkdir(disk));
    if (!runs(QStringLiteral("mount -t tmpfs -o size=8m passages '%1' 2>/dev/null").arg(disk)))
        GTEST_SKIP() << "no file system can be mounted here";
    const auto unmount = qScopeGuard([&] { runs(QStringLiteral("umount '%1'").arg(disk)); });
    const QString file = disk + QStringLiteral("/test.bmp");
    expectSave(file);
    ASSERT_TRUE(runs(QStringLiteral("mount -o remount,ro '%1'").arg(disk)));
    editor.drag({ { 5, 5 }, { 6, 5 } });
    expectFailedSave(file, writeFailed(file, QStringLiteral("Read-only file system")));
    expectFailedSave(disk + QStringLiteral("/other.bmp"),
                     folderRefusesNewFiles(disk, QStringLiteral("Read-only file system")));
}

TEST_F(Saving, AReadOnlyFileIsNotReplaced)
{
    expectSave(target);
    ASSERT_TRUE(QFile::setPermissions(
            target, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    editor.drag({ { 5, 5 }, { 6, 5 } });
    expectFailedSave(target, readOnlyFile(target));
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    expectSave(target);
}

TEST_F(Saving, AWriteStoppedAnywhereUpToTheFinalFlushKeepsTheEarlierFile)
{
    expectSave(target);
    const qint64 earlier = QFileInfo(target).size();
    editor.setUp(30, 30, 32); // the next file is nine times as large, several blocks
    const qint64 size = 54 + 960 * 960 * 3;
    // Half-way, then limits over the last 40 KB, up to where only the last byte is refused.
    saveWithSizeLimit(rlim_t(earlier + 4096));
    for (qint64 limit = size - 40000; limit < size; limit += 4999)
        saveWithSizeLimit(rlim_t(limit));
    saveWithSizeLimit(rlim_t(size - 1));
    expectSave(target); // with the limit gone, saving works again
    EXPECT_EQ(QFileInfo(target).size(), size);

    // A file smaller than the chunks in which Qt buffers a file's writes: every limit stops a
    // write part-way through.
    editor.setUp(3, 3, 16);
    expectSave(target);
    const qint64 small = QFileInfo(target).size();
    ASSERT_EQ(small, 54 + 48 * 48 * 3);
    for (qint64 limit = 100; limit < small; limit += 331)
        saveWithSizeLimit(rlim_t(limit));
}

// The last steps: the file's sync and the rename keep the earlier file when they fail; after the
// rename the new file is in place, and a failed sync of the folder is told as such. The same where
// the new file has a hidden name from the start, which no failure leaves behind.
TEST_F(Saving, AFailingSyncRenameOrFolderSyncIsTold)
{
    const auto restore = qScopeGuard([] { faults::noNamelessFiles = false; });
    for (const bool nameless : { true, false }) {
        SCOPED_TRACE(nameless ? "nameless" : "named");
        faults::noNamelessFiles = !nameless;
        expectSave(target);
        editor.drag({ { 5, nameless ? 5 : 6 }, { 6, nameless ? 5 : 6 } });
        faults::sync = EIO;
        expectFailedSave(target, writeFailed(target, QStringLiteral("Input/output error")));
        faults::sync = 0;
        faults::rename = EPERM; // as when another program holds the file, or the folder refuses
        expectFailedSave(target, writeFailed(target, QStringLiteral("Operation not permitted")));
        faults::rename = 0;

        faults::folderSync = EIO;
        editor.form.setBitmapPath(target);
        ASSERT_TRUE(editor.save());
        faults::folderSync = 0;
        expectSavedAndTold("The system could not confirm that it is stored on the disk: "
                           "Input/output error");
        EXPECT_EQ(leftovers(), QStringList { QStringLiteral("test.bmp") });
    }
}

TEST_F(Saving, WithoutAThreadOfItsOwnTheSaveRunsOnTheWindows)
{
    expectSave(target);
    editor.setUp(30, 30, 32); // several blocks
    auto allowThreads = qScopeGuard([] { faults::threads = 0; });
    // The save's thread, and only it (Qt's painting would wait for its threads).
    faults::threads = 1;
    saveWithSizeLimit(rlim_t(QFileInfo(target).size() + 4096)); // past the first block
    EXPECT_EQ(faults::threads, 0);
    faults::threads = 1;
    expectSave(target);
    EXPECT_EQ(faults::threads, 0);
}

// Append-only (files can be added, none replaced) and immutable (neither): both are told that
// the file cannot be replaced there, not that no new file can be made.
TEST_F(Saving, AnAppendOnlyOrImmutableFolderIsRefusedBeforeAnythingIsWritten)
{
    expectSave(target);
    const QString folder = QFileInfo(target).absolutePath();
    for (const char flag : { 'a', 'i' }) {
        SCOPED_TRACE(std::string("chattr +") + flag);
        const QString flagName(QLatin1Char { flag });
        if (!runs(QStringLiteral("chattr +%1 '%2' 2>/dev/null").arg(flagName, folder)))
            GTEST_SKIP() << "chattr needs root on a file system that has it";
        {
            const auto unlock = qScopeGuard([&] {
                runs(QStringLiteral("chattr -%1 '%2'").arg(flagName, folder));
            });
            editor.drag({ { 5, 5 }, { 6, 5 } });
            expectFailedSave(target, folderAppendOnly(folder));
        }
        expectSave(target);
    }
}

TEST_F(Saving, SpecialFilesAreNeverReplacedNorOpened)
{
    // A pipe with no reader would block whoever opens it for writing.
    const QString pipe = editor.dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(pipe, target));
    expectFailedSave(target, notARegularFile(pipe, target));
    expectFailedSave(pipe, notARegularFile(pipe));
    EXPECT_TRUE(QFileInfo(target).isSymLink());
    struct stat status
    {
    };
    ASSERT_EQ(stat(QFile::encodeName(pipe).constData(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));

    // A link to a device node, like the system's null device, made here where root can.
    ASSERT_TRUE(QFile::remove(target));
    const QString device = editor.dir.filePath(QStringLiteral("null"));
    if (mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        ASSERT_TRUE(QFile::link(device, target));
        expectFailedSave(target, notARegularFile(device, target));
        ASSERT_EQ(stat(QFile::encodeName(device).constData(), &status), 0);
        EXPECT_TRUE(S_ISCHR(status.st_mode));
        ASSERT_TRUE(QFile::remove(target));
    }

    // A link to a regular file: the file it points to is replaced, the link and mode kept.
    const QString file = editor.dir.filePath(QStringLiteral("real.bmp"));
    expectSave(file);
    ASSERT_TRUE(QFile::setPermissions(
            file, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther));
    ASSERT_TRUE(QFile::link(file, target));
    editor.drag({ { 5, 5 }, { 6, 5 } });
    expectSave(target);
    EXPECT_TRUE(QFileInfo(target).isSymLink());
    EXPECT_EQ(QImage(file).convertToFormat(QImage::Format_RGB32), editor.canvas()->Image());
    EXPECT_EQ(QFile::permissions(file) & ~QFileDevice::Permissions(0x0f00), // not the "user" bits
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
}

TEST_F(Saving, LinksAreJudgedByWhereTheyLead)
{
    // A link into a folder that is missing: that folder is named, not the link's.
    const QString missing = editor.dir.filePath(QStringLiteral("missing"));
    ASSERT_TRUE(QFile::link(missing + QStringLiteral("/real.bmp"), target));
    expectFailedSave(target,
                     folderRefusesNewFiles(missing, QStringLiteral("No such file or directory")));
    EXPECT_TRUE(QFileInfo(target).isSymLink());
    ASSERT_TRUE(QFile::remove(target));

    // A link to itself leads nowhere: it is not a regular file, and it stays.
    ASSERT_EQ(symlink("test.bmp", QFile::encodeName(target).constData()), 0);
    expectFailedSave(target, notARegularFile(target));
    EXPECT_TRUE(QFileInfo(target).isSymLink());
    EXPECT_EQ(QFileInfo(target).symLinkTarget(), target);
    ASSERT_TRUE(QFile::remove(target));
}

TEST_F(Saving, ALinkIntoAnAppendOnlyFolderIsRefusedUpFront)
{
    // The link goes through a second link to the folder: the real folder is named.
    const QString folder = editor.dir.filePath(QStringLiteral("kept"));
    const QString alias = editor.dir.filePath(QStringLiteral("alias"));
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(QFile::link(folder, alias));
    ASSERT_TRUE(QFile::link(alias + QStringLiteral("/real.bmp"), target));
    expectSave(target);
    if (!runs(QStringLiteral("chattr +a '%1' 2>/dev/null").arg(folder)))
        GTEST_SKIP() << "chattr +a needs root on a file system that has it";
    const auto unlock = qScopeGuard([&] { runs(QStringLiteral("chattr -a '%1'").arg(folder)); });
    editor.drag({ { 5, 5 }, { 6, 5 } });
    const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden);
    expectFailedSave(target, folderAppendOnly(folder));
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden), before);
}

TEST_F(Saving, TheTargetIsCheckedAgainJustBeforeItIsReplaced)
{
    expectSave(target);
    editor.setUp(30, 30, 32);
    const QByteArray earlier = contents(target);

    // Made read-only while the file was being written.
    faults::beforeSync = [&] { QFile::setPermissions(target, QFileDevice::ReadOwner); };
    expectFailedSave(target, readOnlyFile(target));
    EXPECT_EQ(contents(target), earlier);
    ASSERT_TRUE(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner));

    // A pipe moved into its place meanwhile.
    const QString pipe = editor.dir.filePath(QStringLiteral("pipe"));
    faults::beforeSync = [&] {
        if (mkfifo(QFile::encodeName(pipe).constData(), 0644) != 0
            || ::rename(QFile::encodeName(pipe).constData(), QFile::encodeName(target).constData()))
            ADD_FAILURE() << "no pipe moved into place";
    };
    editor.form.setBitmapPath(target);
    ASSERT_TRUE(editor.save());
    EXPECT_FALSE(faults::beforeSync) << "the save did not reach its sync";
    QMessageBox *box = errorBox(&editor.form);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text().toStdString(), notARegularFile(target).toStdString());
    box->close();
    struct stat status
    {
    };
    ASSERT_EQ(lstat(QFile::encodeName(target).constData(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    EXPECT_EQ(leftovers(), QStringList { QStringLiteral("test.bmp") });

    // A link at the path, turned meanwhile to lead to a pipe: where it leads now is judged.
    const QString file = editor.dir.filePath(QStringLiteral("real.bmp"));
    ASSERT_TRUE(QFile::remove(target) && QFile::link(file, target));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    faults::beforeSync = [&] { QFile::remove(target) && QFile::link(pipe, target); };
    expectFailedSave(target, notARegularFile(pipe, target));
}

TEST_F(Saving, AnImmutableOrAppendOnlyFileIsNamedInTheEditorsOwnWords)
{
    expectSave(target);
    if (!runs(QStringLiteral("chattr +i '%1' 2>/dev/null").arg(target)))
        GTEST_SKIP() << "chattr +i needs root on a file system that has it";
    {
        const auto unlock = qScopeGuard([&] { runs(QStringLiteral("chattr -i '%1'").arg(target)); });
        editor.drag({ { 5, 5 }, { 6, 5 } });
        expectFailedSave(target, immutableFile(target));
    }
    {
        ASSERT_TRUE(runs(QStringLiteral("chattr +a '%1'").arg(target)));
        const auto unlock = qScopeGuard([&] { runs(QStringLiteral("chattr -a '%1'").arg(target)); });
        expectFailedSave(target, appendOnlyFile(target));
    }
    // Marked while the file was being written: found just before the rename.
    editor.setUp(30, 30, 32);
    {
        const auto unlock = qScopeGuard([&] { runs(QStringLiteral("chattr -a '%1'").arg(target)); });
        faults::beforeSync = [&] { runs(QStringLiteral("chattr +a '%1'").arg(target)); };
        expectFailedSave(target, appendOnlyFile(target));
        EXPECT_FALSE(faults::beforeSync) << "the save did not reach its sync";
    }
    expectSave(target);
}

TEST_F(Saving, AFileThisAccountMayNotWriteIsNamedInTheEditorsOwnWords)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write any file that is not marked read-only";
    expectSave(target);
    // Others may write it, its owner may not: not read-only, and not this account's to write.
    ASSERT_EQ(chmod(QFile::encodeName(target).constData(), 0464), 0);
    editor.drag({ { 5, 5 }, { 6, 5 } });
    expectFailedSave(target,
                     QStringLiteral("The picture could not be saved to %1.\nThis account may not "
                                    "write to the file.")
                             .arg(target));
    ASSERT_EQ(chmod(QFile::encodeName(target).constData(), 0644), 0);
    expectSave(target);
}

TEST_F(Saving, ThroughALinkTheFileWrittenIsNamedAndTheLinkToo)
{
    const QString folder = editor.dir.filePath(QStringLiteral("disk"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString file = folder + QStringLiteral("/picture.bmp");
    expectSave(file);
    ASSERT_TRUE(QFile::link(file, target));
    editor.setUp(30, 30, 32);
    // The disk full (a file-size limit stands in for it), the sync failing, the file read-only.
    rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = rlim_t(QFileInfo(file).size() + 4096);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    expectFailedSave(target, writeFailed(file, QStringLiteral("File too large"), target));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    faults::sync = EIO;
    expectFailedSave(target, writeFailed(file, QStringLiteral("Input/output error"), target));
    faults::sync = 0;
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner));
    expectFailedSave(target, readOnlyFile(file, target));
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    expectSave(target);
    EXPECT_TRUE(QFileInfo(target).isSymLink());
}

TEST_F(Saving, TheEarlierFilesOwnerGroupAndModeAreKept)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another account; as another account the "
                        "group alone is kept, which needs a second group to belong to";
    const passwd *nobody = getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    const QByteArray file = QFile::encodeName(target);
    expectSave(target);
    ASSERT_EQ(chown(file.constData(), nobody->pw_uid, nobody->pw_gid), 0);
    ASSERT_EQ(chmod(file.constData(), 03750), 0); // set-group on a program: chown clears it
    // Another name for the earlier file: Save replaces the file, so it keeps the earlier picture.
    const QString other = editor.dir.filePath(QStringLiteral("other.bmp"));
    ASSERT_EQ(link(file.constData(), QFile::encodeName(other).constData()), 0);
    const QByteArray earlier = contents(target);
    editor.drag({ { 5, 5 }, { 6, 5 } });
    expectSave(target);
    struct stat status
    {
    };
    ASSERT_EQ(stat(file.constData(), &status), 0);
    EXPECT_EQ(status.st_uid, nobody->pw_uid);
    EXPECT_EQ(status.st_gid, nobody->pw_gid);
    EXPECT_EQ(status.st_mode & 07777, 03750u) << "with its set-group and sticky bits";
    EXPECT_EQ(contents(other), earlier);
    EXPECT_NE(contents(target), earlier);
}

// Pressing "Save" on a disk whose sync stalls: the window keeps handling events (a timer fires,
// the window repaints), the progress dialog shows over it, window-modal, and the canvas takes no
// strokes; the file written is the canvas as it was when Save was pressed.
TEST_F(Saving, TheWindowAnswersWhileTheDiskStalls)
{
    expectSave(target);
    editor.drag({ { 5, 5 }, { 6, 5 } });
    const QImage pressed = editor.canvas()->Image();
    const auto codes = editor.form.grid().SquareData();
    int ticks = 0;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start();
    int paints = 0;
    EventCounter counter(&editor.form, QEvent::Paint, paints);

    faults::syncing.arm();
    const auto letGo = qScopeGuard([] { faults::syncing.release(); });
    QTest::mouseClick(editor.button("cmdSave"), Qt::LeftButton);
    ASSERT_TRUE(faults::syncing.waitUntilReached());
    EXPECT_TRUE(editor.form.isSaving());
    editor.drag({ { 1, 7 }, { 2, 7 }, { 2, 8 } }); // before the dialog shows
    EXPECT_EQ(editor.form.grid().SquareData(), codes);
    EXPECT_EQ(editor.canvas()->Image(), pressed);

    const QPointer<QProgressDialog> dialog = shownProgress();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->parentWidget(), &editor.form);
    EXPECT_EQ(leftovers(), QStringList { QStringLiteral("test.bmp") }) << "the new file is named";
    // The dialog is not modal: the buttons themselves do nothing until the save has ended.
    QTest::mouseClick(editor.button("cmdSave"), Qt::LeftButton);
    EXPECT_EQ(editor.form.findChildren<PictureSave *>().size(), 1) << "a second save";
    QWidget *settings = nullptr;
    QTimer::singleShot(0, [&] {
        if ((settings = QApplication::activeModalWidget()))
            settings->close();
    });
    QTest::mouseClick(editor.button("Command1"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(settings, nullptr) << "the settings opened during a save";
    EXPECT_EQ(dialog->labelText().toStdString(),
              ("Waiting for the disk to store " + target + "...").toStdString());
    const int ticked = ticks;
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= ticked + 10; }, 60'000));
    paints = 0;
    editor.form.update();
    EXPECT_TRUE(QTest::qWaitFor([&] { return paints > 0; }, 60'000));
    EXPECT_TRUE(editor.form.isSaving());

    faults::syncing.release();
    ASSERT_TRUE(saveEnds());
    EXPECT_EQ(errorBox(&editor.form), nullptr);
    EXPECT_TRUE(!dialog || !dialog->isVisible());
    EXPECT_EQ(QImage(target).convertToFormat(QImage::Format_RGB32), pressed);
    EXPECT_EQ(leftovers(), QStringList { QStringLiteral("test.bmp") });
    // Strokes are taken again, from where the pointer is.
    editor.drag({ { 1, 7 }, { 2, 7 } });
    EXPECT_EQ(editor.code(71), "0010");
}

// While the rows are written the dialog shows how many bytes have gone to the disk, of all the
// file will have (rows of 961 pixels end on 4 bytes only with a byte to spare). It names the file
// written, which a link in the path leads to, as it is: markup in the path is no formatting.
TEST_F(Saving, TheProgressDialogCountsTheBytesWritten)
{
    const QString folder = editor.dir.filePath(QStringLiteral("<b>bold</b><i>disk</i>"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + QStringLiteral("/picture.bmp");
    ASSERT_TRUE(QFile::link(file, target));
    editor.setUp(31, 31, 31); // three blocks
    constexpr int row = 961 * 3 + 1;
    faults::write.arm(2); // the second block's write stalls
    const auto letGo = qScopeGuard([] { faults::write.release(); });
    QTest::mouseClick(editor.button("cmdSave"), Qt::LeftButton);
    ASSERT_TRUE(faults::write.waitUntilReached());
    QProgressDialog *dialog = shownProgress();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->labelText().toStdString(),
              ("Saving the picture to " + file + "...").toStdString());
    EXPECT_EQ(dialog->findChild<QLabel *>()->textFormat(), Qt::PlainText);
    EXPECT_EQ(dialog->maximum(), 54 + row * 961);
    EXPECT_EQ(bitmapFileSize(QSize(3, 2)), 54 + 2 * 12) << "rows of 9 bytes end on 12";
    // The first block: the headers and as many rows as fit.
    constexpr int firstBlock = 54 + (BlockWriter::BlockSize - 54) / row * row;
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->value() == firstBlock; }, 60'000))
            << dialog->value();
    faults::write.release();
    ASSERT_TRUE(saveEnds());
    EXPECT_EQ(QFileInfo(file).size(), 54 + row * 961);
    EXPECT_TRUE(QFileInfo(target).isSymLink());
}

// On a slow disk the progress grows while the dialog waits to show: it shows once the save has
// taken half a second all the same, not at once on a guess from the first progress.
TEST_F(Saving, TheProgressShowsOnlyOnceTheSaveHasTakenHalfASecond)
{
    editor.setUp(60, 60, 32); // eleven blocks
    faults::slowWrites = std::chrono::milliseconds(100);
    const auto fast = qScopeGuard([] { faults::slowWrites = {}; });
    QElapsedTimer sincePress;
    sincePress.start();
    QTest::mouseClick(editor.button("cmdSave"), Qt::LeftButton);
    ASSERT_NE(shownProgress(), nullptr);
    // Qt's coarse timers may fire up to 5 % early.
    EXPECT_GE(sincePress.elapsed(), PictureSave::ProgressDelay * 95 / 100) << "shown early";
    ASSERT_TRUE(saveEnds());
}

// Cancel (Escape or the button) at each stage of a save: while blocks are written, when the
// last one is written, during the sync and after it, just before the rename. The dialog stays
// until the save has stopped, its Cancel gone; then nothing is reported, the earlier file is byte
// for byte as it was and no new file is left. A Cancel after the rename, during the folder's
// sync, comes too late: the user is told that the picture was saved.
TEST_F(Saving, CancelAtEveryStageKeepsTheEarlierFileOrSaysItCameTooLate)
{
    struct Stage
    {
        const char *name;
        Stall &stall;
        int call;
        int squares;
        bool escape;
        bool tooLate = false;
    };
    const Stage stages[] = {
        { "between blocks", faults::write, 2, 30, true },
        { "the last block", faults::write, 1, 10, false },
        { "syncing", faults::syncing, 1, 10, true },
        { "just before the rename", faults::synced, 1, 10, false },
        { "after the rename", faults::storing, 1, 10, true, true },
    };
    int row = 1; // row 1 has the fixture's stroke
    for (const Stage &stage : stages) {
        SCOPED_TRACE(stage.name);
        editor.setUp(stage.squares, stage.squares, 32);
        expectSave(target);
        ++row;
        editor.drag({ { 1, row }, { 2, row } }); // a stroke the earlier file does not have
        const QByteArray earlier = contents(target);
        ASSERT_NE(QImage(target).convertToFormat(QImage::Format_RGB32), editor.canvas()->Image());
        const QStringList before = leftovers();

        stage.stall.arm(stage.call);
        const auto letGo = qScopeGuard([&] { stage.stall.release(); });
        QTest::mouseClick(editor.button("cmdSave"), Qt::LeftButton);
        ASSERT_TRUE(stage.stall.waitUntilReached());
        QProgressDialog *dialog = shownProgress();
        ASSERT_NE(dialog, nullptr);
        if (stage.escape) {
            ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
            QTest::keyClick(dialog, Qt::Key_Escape);
        } else {
            QTest::mouseClick(dialog->findChild<QPushButton *>(), Qt::LeftButton);
        }
        EXPECT_TRUE(dialog->isVisible()) << "the dialog stays until the save has stopped";
        EXPECT_EQ(dialog->labelText(), "Stopping the save...");
        EXPECT_EQ(dialog->findChild<QPushButton *>(), nullptr) << "a Cancel that does nothing";
        EXPECT_TRUE(editor.form.isSaving());
        stage.stall.release();
        ASSERT_TRUE(saveEnds());
        EXPECT_EQ(leftovers(), before) << "no temporary file is left behind";
        if (!stage.tooLate) {
            EXPECT_EQ(errorBox(&editor.form), nullptr);
            EXPECT_EQ(contents(target), earlier);
            continue;
        }
        expectSavedAndTold("Cancel came too late: the new file had already replaced the earlier "
                           "one.");
    }
    expectSave(target);
}

// The window manager's close of the main window during a save, whenever it comes: before the
// progress dialog shows, while it shows, and after the rename. It stops the save, or past the
// rename lets it end; either way the window closes once the save has ended, with the earlier file
// or the whole new one in place, nothing else left and nothing said.
TEST_F(Saving, ClosingTheWindowDuringASaveLeavesTheEarlierFileOrTheWholeNewOne)
{
    struct Moment
    {
        const char *name;
        Stall &stall;
        bool dialogShown;
        bool saved;
    };
    const Moment moments[] = {
        { "before the dialog shows", faults::syncing, false, false },
        { "while the dialog shows", faults::syncing, true, false },
        { "after the rename", faults::storing, true, true },
    };
    int row = 1;
    for (const Moment &moment : moments) {
        SCOPED_TRACE(moment.name);
        expectSave(target);
        editor.drag({ { 5, ++row }, { 6, row } });
        const QByteArray earlier = contents(target);
        moment.stall.arm();
        const auto letGo = qScopeGuard([&] { moment.stall.release(); });
        QTest::mouseClick(editor.button("cmdSave"), Qt::LeftButton);
        ASSERT_TRUE(moment.stall.waitUntilReached());
        if (moment.dialogShown)
            ASSERT_NE(shownProgress(), nullptr);
        else
            EXPECT_EQ(editor.form.findChild<QProgressDialog *>()->isVisible(), false);
        QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
                editor.form.windowHandle());
        EXPECT_TRUE(editor.form.isVisible()) << "closed before the save had ended";
        moment.stall.release();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !editor.form.isVisible(); }, 60'000))
                << "the close was ignored";
        EXPECT_FALSE(editor.form.isSaving());
        EXPECT_EQ(errorBox(&editor.form), nullptr);
        if (moment.saved)
            EXPECT_EQ(QImage(target).convertToFormat(QImage::Format_RGB32),
                      editor.canvas()->Image());
        else
            EXPECT_EQ(contents(target), earlier);
        EXPECT_EQ(leftovers(), QStringList { QStringLiteral("test.bmp") });
        editor.form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor.form));
    }
}

// The window destroyed during a save, with no close before it (the program ending otherwise):
// the save is stopped rather than waited for, and the earlier file stays as it was.
TEST_F(Saving, DestroyingTheWindowDuringASaveStopsIt)
{
    expectSave(target);
    const QByteArray earlier = contents(target);
    auto window = std::make_unique<EditorDriver>();
    window->setUp(10, 10, 32);
    window->drag({ { 5, 5 }, { 6, 5 } });
    window->form.setBitmapPath(target);
    faults::syncing.arm();
    QTest::mouseClick(window->button("cmdSave"), Qt::LeftButton);
    ASSERT_TRUE(faults::syncing.waitUntilReached());
    const SaveProgress &progress = window->form.findChild<BackgroundSave *>()->progress();
    // Lets the stalled sync go on once the save has been asked to stop (within a minute).
    std::thread disk([&progress] {
        for (int tick = 0; tick < 6000 && !progress.cancelled; ++tick)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        faults::syncing.release();
    });
    window.reset();
    disk.join();
    EXPECT_EQ(contents(target), earlier);
    EXPECT_EQ(leftovers(), QStringList { QStringLiteral("test.bmp") });
}

TEST(SavePath, TheHomeFolderComesFromHomeThenTheAccount)
{
    EXPECT_EQ(homeFolder(QStringLiteral("/home/ann"), QStringLiteral("/home/bob")), "/home/ann");
    EXPECT_EQ(homeFolder(QString(), QStringLiteral("/home/bob")), "/home/bob");
    EXPECT_EQ(homeFolder(QString(), QString()), QString());

    const QByteArray home = qgetenv("HOME");
    const auto restore = qScopeGuard([&] { qputenv("HOME", home); });
    const passwd *account = getpwuid(getuid());
    ASSERT_NE(account, nullptr);
    const QString accountBitmap = QDir(QFile::decodeName(account->pw_dir)).filePath("test.bmp");
    qunsetenv("HOME");
    EXPECT_EQ(defaultBitmapPath(), accountBitmap) << "HOME unset";
    qputenv("HOME", QByteArray());
    EXPECT_EQ(defaultBitmapPath(), accountBitmap) << "HOME empty";
    qputenv("HOME", "/tmp/elsewhere");
    EXPECT_EQ(defaultBitmapPath(), "/tmp/elsewhere/test.bmp");
}

TEST(SavePath, WithoutAHomeFolderTheUserIsTold)
{
    EditorDriver editor;
    editor.form.setBitmapPath(QString());
    ASSERT_TRUE(editor.save());
    QMessageBox *box = errorBox(&editor.form);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text().toStdString(),
              "The picture could not be saved.\nThis account has no home folder to save test.bmp "
              "in.");
    reportError(&editor.form, QStringLiteral("the next")); // while the box is open
    EXPECT_EQ(errorBox(&editor.form)->text(), "the next");
}

namespace {

// Sets up a grid whose canvas is beyond the memory allowed and expects the message, with
// settings, canvas and codes as they were, and the editor going on as before.
void expectSetUpRefused(EditorDriver &editor, int x, int y, int pixels, const char *message)
{
    const Settings settings = editor.settings();
    const QImage image = editor.canvas()->Image();
    const auto codes = editor.form.grid().SquareData();

    RetainedImage::setMemoryLimit(100 << 20); // the largest canvas takes 352 MiB
    editor.setUp(x, y, pixels);
    RetainedImage::setMemoryLimit(std::numeric_limits<qint64>::max());
    QMessageBox *box = errorBox(&editor.form);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text().toStdString(), message);
    box->close();
    QApplication::processEvents();
    EXPECT_EQ(editor.settings(), settings);
    EXPECT_EQ(editor.canvas()->Image(), image);
    EXPECT_EQ(editor.canvas()->size(), image.size());
    EXPECT_EQ(editor.form.grid().SquareData(), codes);
}

} // namespace

TEST(SetUp, ACanvasThatCannotBeMadeChangesNothing)
{
    EditorDriver editor;
    editor.setUp(10, 10, 32);
    editor.drag({ { 1, 1 }, { 2, 1 } });
    editor.moveTo(editor.centre(4, 4));
    const QRect frame = editor.canvas()->Shape1();

    // Across, then down: 100 squares of 96 pixels across and 60 down.
    expectSetUpRefused(editor, 100, 60, 96,
                       "There is not enough memory for a canvas of 9600 x 5760 pixels. The "
                       "settings, the canvas and the drawing are kept as they were.");

    // Drawing goes on as before, and the dialog shows the settings in force.
    editor.drag({ { 4, 4 }, { 5, 4 } });
    EXPECT_EQ(editor.code(45), "1000");
    EXPECT_EQ(editor.canvas()->Shape1(), QRect(160, 128, 32, 32));
    EXPECT_NE(editor.canvas()->Shape1(), frame);
    editor.withDialog([](Form2 &dialog) {
        EXPECT_EQ(EditorDriver::box(dialog, "txtPixel")->text(), "32");
        EditorDriver::click(dialog, "Command2");
    });
}

TEST(SetUp, TheFirstSetUpThatCannotBeMadeChangesNothingEither)
{
    EditorDriver editor;
    expectSetUpRefused(editor, 60, 100, 96,
                       "There is not enough memory for a canvas of 5760 x 9600 pixels. The "
                       "settings, the canvas and the drawing are kept as they were.");
    EXPECT_FALSE(editor.form.grid().isSetUp());
    // The canvas is still ignored, and the dialog still offers its defaults.
    editor.drag({ { 0, 0 }, { 1, 0 } });
    EXPECT_TRUE(editor.form.grid().SquareData().empty());
    editor.withDialog([](Form2 &dialog) {
        EXPECT_EQ(EditorDriver::box(dialog, "txtPixel")->text(), "32");
        EditorDriver::click(dialog, "Command2");
    });
    editor.setUp(10, 10, 32);
    EXPECT_EQ(editor.canvas()->size(), QSize(320, 320));
}

// Qt's raster engine hands a large fill to as many of the global pool's tasks as it likes and
// waits for them all. Once the threads are started up front, they all run at once while no new
// thread can be started.
TEST(PaintingThreads, StartedUpFrontNoTaskWaitsForANewOne)
{
    auto allowThreads = qScopeGuard([] { faults::threads = 0; });
    faults::threads = 1;
    EXPECT_FALSE(startPaintingThreads()) << "a thread that cannot be started goes unnoticed";
    faults::threads = 0;
    ASSERT_TRUE(startPaintingThreads());
    // Idle threads would end after 30 s and have to be started again; seeing that happen would
    // take that long, so the setting is read instead.
    EXPECT_LT(QThreadPool::globalInstance()->expiryTimeout(), 0);

    faults::threads = 1000;
    EXPECT_TRUE(occupyEveryPoolThread(60'000))
            << "a task waits for a thread that could not be started";
    EXPECT_EQ(faults::threads, 1000) << "a thread was started";
}

// A call that gave up leaves its tasks to run later; what they do is no answer to a later call.
TEST(PaintingThreads, ACallThatGaveUpLeavesNothingToTheNext)
{
    QThreadPool *pool = QThreadPool::globalInstance();
    const int count = pool->maxThreadCount();
    QSemaphore held;
    for (int call = 0; call < 2; ++call) {
        SCOPED_TRACE(call);
        for (int i = 0; i < count; ++i) // every thread busy with a task of the test's
            pool->start([&held] { held.acquire(); });
        EXPECT_FALSE(occupyEveryPoolThread(50)) << "every thread was busy";
        held.release(count);
        ASSERT_TRUE(pool->waitForDone(60'000));
    }
}
