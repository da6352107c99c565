// "Save" under faults. The save itself, called directly, against one table: where it fails, what
// the user is told, what is on the disk. Faults are real where the system can make them (a
// file-size limit, missing and locked folders, special files, chattr marks, a read-only mount)
// and injected at the system calls where it cannot (a failing sync, naming or rename, a stop
// request or a change of the target at a given step). Then what only the window does: it keeps
// answering on a stalled disk, shows the progress, takes Cancel and a close, and tells.
#include "tests/uitest.h"

#include "bitmapfile/bitmapfile.h"
#include "tests/support/savenow.h"
#include "ui/errorreport.h"
#include "ui/saveinprogress.h"

#include <QDirIterator>
#include <QLabel>
#include <QPointer>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QSemaphore>
#include <QThreadPool>
#include <qpa/qwindowsysteminterface.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

// Interposed for the whole test executable: the save's code (and Qt's) call these.
namespace faults {
enum Step { Write, Sync, Name, Rename, FolderSync, Steps };
// Run once where a save reaches the step, on the thread that runs it: the `writeCall`-th write to
// a regular file from now, the file's sync, its naming, the rename, the folder's sync.
std::function<void()> hook[Steps];
int error[Steps] = {}; // an errno value the step fails with, until cleared
std::atomic<int> writeCall { 0 };
bool noNamelessFiles = false; // as on a file system without O_TMPFILE
std::atomic<bool> refuseLargeAllocations = false; // off the window's thread, as memory pressure
bool noAccountHome = false;
bool renamed = false;
bool folderSyncedAfterRename = false;
} // namespace faults

namespace {

// Runs the step's hook, then says with what errno the step fails (0: it goes on).
int reach(faults::Step step)
{
    if (auto hook = std::exchange(faults::hook[step], nullptr))
        hook();
    errno = faults::error[step];
    return faults::error[step];
}

template<typename Function>
Function real(const char *name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

bool isRegular(int fd)
{
    struct stat status
    {
    };
    return fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace

extern "C" ssize_t write(int fd, const void *data, size_t size)
{
    if (faults::writeCall > 0 && isRegular(fd) && --faults::writeCall == 0 && reach(faults::Write))
        return -1;
    static const auto write = real<ssize_t (*)(int, const void *, size_t)>("write");
    return write(fd, data, size);
}

extern "C" int fdatasync(int fd)
{
    static const auto fdatasync = real<int (*)(int)>("fdatasync");
    return reach(faults::Sync) ? -1 : fdatasync(fd);
}

extern "C" int linkat(int fromFolder, const char *from, int toFolder, const char *to, int flags)
{
    static const auto linkat = real<int (*)(int, const char *, int, const char *, int)>("linkat");
    return reach(faults::Name) ? -1 : linkat(fromFolder, from, toFolder, to, flags);
}

extern "C" int rename(const char *from, const char *to) noexcept
{
    static const auto rename = real<int (*)(const char *, const char *)>("rename");
    if (reach(faults::Rename))
        return -1;
    const int result = rename(from, to);
    faults::renamed = faults::renamed || result == 0;
    return result;
}

extern "C" int fsync(int fd)
{
    struct stat status
    {
    };
    if (fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        faults::folderSyncedAfterRename = faults::renamed;
        if (reach(faults::FolderSync))
            return -1;
    }
    static const auto fsync = real<int (*)(int)>("fsync");
    return fsync(fd);
}

extern "C" int open(const char *path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode
            = (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    if (faults::noNamelessFiles && (flags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return -1;
    }
    static const auto open = real<int (*)(const char *, int, ...)>("open");
    return open(path, flags, mode);
}

extern "C" passwd *getpwuid(uid_t user)
{
    static const auto getpwuid = real<passwd *(*)(uid_t)>("getpwuid");
    return faults::noAccountHome ? nullptr : getpwuid(user);
}

void *operator new(std::size_t size)
{
    if (faults::refuseLargeAllocations && size >= 64 * 1024 && gettid() != getpid())
        throw std::bad_alloc();
    if (void *memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void *memory) noexcept
{
    std::free(memory);
}

void operator delete(void *memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace {

using Cause = SaveOutcome::Cause;
using End = SaveOutcome::End;

bool runs(const QString &command)
{
    return std::system(command.toLocal8Bit().constData()) == 0;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll()
                                                                      : QByteArray();
}

// Every name under the folder, hidden ones included, and what kind of thing each is.
QStringList everything(const QString &folder)
{
    QStringList names;
    for (QDirIterator it(folder,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        const QFileInfo entry(it.next());
        names << entry.filePath() + (entry.isSymLink() ? " link" : entry.isDir() ? " folder" : "");
    }
    names.sort();
    return names;
}

QImage picture(QSize size, QRgb colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    for (int y = 0; y < size.height(); y += 7)
        image.setPixel(y % size.width(), y, qRgb(y % 256, 0, 0));
    return image;
}

// A save's surroundings: a folder of its own with test.bmp in it, the path Save is given, and
// the stop request the window would make.
struct Bed
{
    Bed() { writeEarlier(path); }
    ~Bed()
    {
        runs(QStringLiteral("umount '%1/disk' 2>/dev/null; chattr -R -ia '%1' 2>/dev/null; "
                            "chmod -R u+rwx '%1'")
                     .arg(dir.path()));
    }
    QString at(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    static void writeEarlier(const QString &file)
    {
        QFile earlier(file);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write("the earlier picture") > 0);
    }
    void limitFileSize(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = bytes;
        std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    }
    void restore()
    {
        if (saved.rlim_max != 0)
            setrlimit(RLIMIT_FSIZE, &saved);
        for (auto &hook : faults::hook)
            hook = nullptr;
        std::fill(std::begin(faults::error), std::end(faults::error), 0);
        faults::writeCall = 0;
        faults::noNamelessFiles = false;
    }

    QTemporaryDir dir;
    QString path = at("test.bmp");
    std::stop_source stop;
    rlimit saved {};
};

// Three blocks' worth: rows of 961 pixels end on 4 bytes with a byte to spare.
const QImage Drawn = picture({ 961, 961 }, qRgb(200, 220, 240));

enum class Account { Any, Root, NotRoot };

struct Case
{
    const char *name;
    std::function<void(Bed &)> arrange; // makes the fault
    End end;
    Cause cause = Cause::System;
    int error = 0; // the system's reason, as its error number
    Account account = Account::Any;
    std::function<void(Bed &)> check = {}; // what else must hold afterwards
};

void makeLink(const QString &to, const QString &at)
{
    ASSERT_EQ(symlink(QFile::encodeName(to).constData(), QFile::encodeName(at).constData()), 0);
}

void moveIntoPlace(const QString &from, const QString &to)
{
    ASSERT_EQ(::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()), 0);
}

void markWithChattr(const char *flags, const QString &path)
{
    if (!runs(QStringLiteral("chattr %1 '%2' 2>/dev/null").arg(flags, path)))
        GTEST_SKIP() << "chattr needs a file system that has it";
}

const Case Cases[] = {
    { "nothing_goes_wrong", [](Bed &) {}, End::Saved },
    { "no_earlier_file", [](Bed &bed) { QFile::remove(bed.path); }, End::Saved },
    { "a_missing_folder", [](Bed &bed) { bed.path = bed.at("missing/test.bmp"); }, End::Failed,
      Cause::FolderNotWritable, ENOENT },
    { "a_folder_at_the_path",
      [](Bed &bed) {
          QFile::remove(bed.path);
          QDir().mkdir(bed.path);
      },
      End::Failed, Cause::NotARegularFile },
    { "a_read_only_file", [](Bed &bed) { chmod(QFile::encodeName(bed.path), 0444); }, End::Failed,
      Cause::ReadOnlyFile },
    { "a_file_this_account_may_not_write",
      [](Bed &bed) { chmod(QFile::encodeName(bed.path), 0464); }, End::Failed,
      Cause::FileNotWritable, 0, Account::NotRoot },
    { "a_folder_this_account_may_not_write",
      [](Bed &bed) { chmod(QFile::encodeName(bed.dir.path()), 0500); }, End::Failed,
      Cause::FolderNotWritable, EACCES, Account::NotRoot },
    { "an_immutable_file", [](Bed &bed) { markWithChattr("+i", bed.path); }, End::Failed,
      Cause::ImmutableFile, 0, Account::Root },
    { "an_append_only_file", [](Bed &bed) { markWithChattr("+a", bed.path); }, End::Failed,
      Cause::AppendOnlyFile, 0, Account::Root },
    { "an_immutable_folder", [](Bed &bed) { markWithChattr("+i", bed.dir.path()); }, End::Failed,
      Cause::FolderAppendOnly, 0, Account::Root },
    { "an_append_only_folder_through_a_linked_folder",
      [](Bed &bed) {
          QDir().mkdir(bed.at("kept"));
          Bed::writeEarlier(bed.at("kept/real.bmp"));
          makeLink(bed.at("kept"), bed.at("alias"));
          QFile::remove(bed.path);
          makeLink(bed.at("alias/real.bmp"), bed.path);
          markWithChattr("+a", bed.at("kept"));
      },
      End::Failed, Cause::FolderAppendOnly, 0, Account::Root },
    { "a_pipe_through_a_link",
      [](Bed &bed) {
          ASSERT_EQ(mkfifo(QFile::encodeName(bed.at("pipe")), 0644), 0);
          QFile::remove(bed.path);
          makeLink(bed.at("pipe"), bed.path);
      },
      End::Failed, Cause::NotARegularFile },
    { "a_device",
      [](Bed &bed) {
          QFile::remove(bed.path);
          ASSERT_EQ(mknod(QFile::encodeName(bed.path), S_IFCHR | 0666, makedev(1, 3)), 0);
      },
      End::Failed, Cause::NotARegularFile, 0, Account::Root },
    { "a_link_to_itself",
      [](Bed &bed) {
          QFile::remove(bed.path);
          makeLink("test.bmp", bed.path);
      },
      End::Failed, Cause::NotARegularFile },
    { "a_link_into_a_missing_folder",
      [](Bed &bed) {
          QFile::remove(bed.path);
          makeLink(bed.at("missing/real.bmp"), bed.path);
      },
      End::Failed, Cause::FolderNotWritable, ENOENT },
    { "a_link_to_a_file_replaces_that_file_and_keeps_its_mode",
      [](Bed &bed) {
          Bed::writeEarlier(bed.at("real.bmp"));
          chmod(QFile::encodeName(bed.at("real.bmp")), 0604);
          QFile::remove(bed.path);
          makeLink(bed.at("real.bmp"), bed.path);
      },
      End::Saved, Cause::System, 0, Account::Any,
      [](Bed &bed) {
          EXPECT_TRUE(QFileInfo(bed.path).isSymLink());
          struct stat status
          {
          };
          ASSERT_EQ(stat(QFile::encodeName(bed.at("real.bmp")), &status), 0);
          EXPECT_EQ(status.st_mode & 07777, 0604u);
      } },
    { "the_owner_group_and_mode_kept_and_another_hard_link_keeps_the_earlier_picture",
      [](Bed &bed) {
          const passwd *nobody = getpwnam("nobody");
          ASSERT_NE(nobody, nullptr);
          ASSERT_EQ(chown(QFile::encodeName(bed.path), nobody->pw_uid, nobody->pw_gid), 0);
          ASSERT_EQ(chmod(QFile::encodeName(bed.path), 03750), 0); // chown clears set-group
          ASSERT_EQ(::link(QFile::encodeName(bed.path), QFile::encodeName(bed.at("other"))), 0);
      },
      End::Saved, Cause::System, 0, Account::Root,
      [](Bed &bed) {
          struct stat status
          {
          };
          ASSERT_EQ(stat(QFile::encodeName(bed.path), &status), 0);
          EXPECT_EQ(status.st_uid, getpwnam("nobody")->pw_uid);
          EXPECT_EQ(status.st_mode & 07777, 03750u);
          EXPECT_EQ(contents(bed.at("other")), "the earlier picture");
      } },
    { "a_read_only_file_system",
      [](Bed &bed) {
          QDir().mkdir(bed.at("disk"));
          if (!runs(QStringLiteral("mount -t tmpfs -o size=8m passages '%1' 2>/dev/null")
                            .arg(bed.at("disk"))))
              GTEST_SKIP() << "no file system can be mounted here";
          bed.path = bed.at("disk/test.bmp");
          Bed::writeEarlier(bed.path);
          ASSERT_TRUE(runs(QStringLiteral("mount -o remount,ro '%1'").arg(bed.at("disk"))));
      },
      End::Failed, Cause::System, EROFS, Account::Root },
    { "the_disk_full_half_way",
      [](Bed &bed) { bed.limitFileSize(rlim_t(bitmapFileSize(Drawn.size()) / 2)); }, End::Failed,
      Cause::System, EFBIG },
    { "the_disk_full_at_the_last_byte",
      [](Bed &bed) { bed.limitFileSize(rlim_t(bitmapFileSize(Drawn.size()) - 1)); }, End::Failed,
      Cause::System, EFBIG },
    { "the_sync_fails", [](Bed &) { faults::error[faults::Sync] = EIO; }, End::Failed,
      Cause::System, EIO },
    { "naming_the_new_file_fails", [](Bed &) { faults::error[faults::Name] = ENOSPC; }, End::Failed,
      Cause::System, ENOSPC },
    { "the_rename_fails", [](Bed &) { faults::error[faults::Rename] = EPERM; }, End::Failed,
      Cause::System, EPERM },
    { "the_rename_fails_with_a_hidden_name_from_the_start",
      [](Bed &) { faults::noNamelessFiles = true, faults::error[faults::Rename] = EPERM; },
      End::Failed, Cause::System, EPERM },
    { "the_folders_sync_fails", [](Bed &) { faults::error[faults::FolderSync] = EIO; },
      End::Unconfirmed, Cause::System, EIO },
    { "stopped_between_blocks",
      [](Bed &bed) {
          faults::writeCall = 2;
          faults::hook[faults::Write] = [&bed] { bed.stop.request_stop(); };
      },
      End::Cancelled },
    { "stopped_during_the_sync_with_a_hidden_name_from_the_start",
      [](Bed &bed) {
          faults::noNamelessFiles = true;
          faults::hook[faults::Sync] = [&bed] { bed.stop.request_stop(); };
      },
      End::Cancelled },
    { "stopped_after_the_rename",
      [](Bed &bed) { faults::hook[faults::FolderSync] = [&bed] { bed.stop.request_stop(); }; },
      End::Saved },
    { "made_read_only_during_the_sync",
      [](Bed &bed) {
          faults::hook[faults::Sync] = [&bed] { chmod(QFile::encodeName(bed.path), 0444); };
      },
      End::Failed, Cause::ReadOnlyFile },
    { "marked_append_only_during_the_sync",
      [](Bed &bed) { faults::hook[faults::Sync] = [&bed] { markWithChattr("+a", bed.path); }; },
      End::Failed, Cause::AppendOnlyFile, 0, Account::Root },
    { "a_pipe_moved_into_place_during_the_sync",
      [](Bed &bed) {
          ASSERT_EQ(mkfifo(QFile::encodeName(bed.at("pipe")), 0644), 0);
          faults::hook[faults::Sync] = [&bed] { moveIntoPlace(bed.at("pipe"), bed.path); };
      },
      End::Failed, Cause::NotARegularFile, 0, Account::Any,
      [](Bed &bed) {
          struct stat status
          {
          };
          ASSERT_EQ(lstat(QFile::encodeName(bed.path), &status), 0);
          EXPECT_TRUE(S_ISFIFO(status.st_mode));
          EXPECT_EQ(everything(bed.dir.path()), QStringList { bed.path }) << "a new file left";
      } },
    { "a_link_turned_to_another_file_during_the_sync",
      [](Bed &bed) {
          Bed::writeEarlier(bed.at("real.bmp"));
          QFile::remove(bed.path);
          makeLink(bed.at("real.bmp"), bed.path);
          faults::hook[faults::Sync] = [&bed] {
              makeLink(bed.at("other.bmp"), bed.at("turned"));
              moveIntoPlace(bed.at("turned"), bed.path);
          };
      },
      End::Saved, Cause::System, 0, Account::Any,
      [](Bed &bed) {
          EXPECT_FALSE(QFileInfo::exists(bed.at("other.bmp"))) << "the turned link was followed";
      } },
};

void PrintTo(const Case &row, std::ostream *out)
{
    *out << row.name;
}

class Saving : public ::testing::TestWithParam<Case>
{
};

} // namespace

TEST_P(Saving, TellsWhatBecameOfThePictureAndKeepsTheEarlierFileOrTheWholeNewOne)
{
    const Case &c = GetParam();
    if ((c.account == Account::Root) != (geteuid() == 0) && c.account != Account::Any)
        GTEST_SKIP() << (c.account == Account::Root ? "only root can make this fault"
                                                    : "root is let through where this fails");
    Bed bed;
    const auto restore = qScopeGuard([&] { bed.restore(); });
    c.arrange(bed);
    if (::testing::Test::IsSkipped() || ::testing::Test::HasFatalFailure())
        return;
    const SaveTarget target = saveTargetFor(bed.path);
    const QStringList before = everything(bed.dir.path());
    const QByteArray earlier = contents(target.file);
    faults::renamed = faults::folderSyncedAfterRename = false;

    const SaveOutcome outcome = saveNow(Drawn, target, bed.stop.get_token());
    bed.restore();

    EXPECT_EQ(outcome.end, c.end);
    EXPECT_EQ(outcome.cause, c.cause);
    EXPECT_EQ(outcome.reason, c.error ? QString::fromLocal8Bit(strerror(c.error)) : "");
    const QString told = SaveInProgress::message(outcome, target, bed.stop.stop_requested());
    EXPECT_EQ(told.isEmpty(),
              c.end == End::Cancelled || (c.end == End::Saved && !bed.stop.stop_requested()))
            << told.toStdString();
    // Names the file written and the link that leads to it, or the folder; and why.
    const QString named = c.cause == Cause::FolderNotWritable || c.cause == Cause::FolderAppendOnly
            ? " folder " + target.folder + ".\n"
            : " to " + target.file
                    + (target.link.isEmpty() ? "." : ", where the link " + target.link + " leads.");
    EXPECT_TRUE(told.isEmpty() || told.contains(named)) << told.toStdString();
    EXPECT_TRUE(told.contains(outcome.reason));
    if (c.end == End::Saved || c.end == End::Unconfirmed) {
        EXPECT_EQ(QImage(target.file).convertToFormat(QImage::Format_RGB32), Drawn);
        EXPECT_EQ(faults::folderSyncedAfterRename, true) << "the folder was not synced after it";
        EXPECT_EQ(everything(bed.dir.path()).filter("/."), QStringList()) << "a new file left";
    } else if (!c.check) {
        EXPECT_EQ(contents(target.file), earlier);
        EXPECT_EQ(everything(bed.dir.path()), before) << "something left behind or replaced";
    }
    if (c.check)
        c.check(bed);
}

INSTANTIATE_TEST_SUITE_P(Faults, Saving, ::testing::ValuesIn(Cases),
                         [](const auto &row) { return std::string(row.param.name); });

namespace {

// A disk that stalls at a step: the save's thread waits there until the test lets it go on, or
// a minute has passed, so that a save that does not answer fails the test rather than hangs it.
class Stall
{
public:
    explicit Stall(faults::Step step, int writeCall = 0)
        : m_step(step)
    {
        faults::writeCall = writeCall;
        faults::hook[step] = [gates = m_gates] {
            gates->reached.release();
            (void)gates->go.tryAcquire(1, 60'000);
            gates->passed = true;
        };
    }
    ~Stall()
    {
        faults::hook[m_step] = nullptr;
        release();
    }
    bool waitUntilReached()
    {
        return QTest::qWaitFor([this] { return m_gates->reached.tryAcquire(); }, 60'000);
    }
    void release() { m_gates->go.release(); }
    bool passed() const { return m_gates->passed; }

private:
    struct Gates
    {
        QSemaphore reached;
        QSemaphore go;
        std::atomic<bool> passed = false;
    };
    faults::Step m_step;
    std::shared_ptr<Gates> m_gates = std::make_shared<Gates>();
};

class SavingFromTheWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        editor.setUp(31, 31, 31); // three blocks
        editor.drag({ { 1, 1 }, { 2, 1 } });
        ASSERT_TRUE(editor.save());
        ASSERT_EQ(errorBox(&editor.form), nullptr);
        editor.drag({ { 1, 2 }, { 2, 2 } }); // what the earlier file does not have
        earlier = contents(target);
    }
    QProgressDialog *dialog() const
    {
        return editor.form.findChild<QProgressDialog *>(QStringLiteral("saveProgress"));
    }
    QProgressDialog *shownDialog() const
    {
        return QTest::qWaitFor([this] { return dialog() && dialog()->isVisible(); }, 60'000)
                ? dialog()
                : nullptr;
    }
    bool saveEnds()
    {
        return QTest::qWaitFor([this] { return !editor.form.isSaving(); }, 60'000);
    }
    QStringList leftovers() const
    {
        return QDir(editor.dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    void expectEarlierKept()
    {
        EXPECT_EQ(contents(target), earlier);
        EXPECT_EQ(leftovers(), QStringList { "test.bmp" });
    }
    void expectSavedAsDrawn()
    {
        EXPECT_EQ(QImage(target).convertToFormat(QImage::Format_RGB32), editor.canvas()->Image());
        EXPECT_EQ(leftovers(), QStringList { "test.bmp" });
    }

    EditorDriver editor;
    const QString target = defaultBitmapPath();
    QByteArray earlier;
};

} // namespace

// On a disk whose sync stalls the window keeps handling events (a timer fires, it repaints), the
// progress dialog shows over it, and neither the canvas nor the buttons take anything; the file
// written is the canvas as it was when Save was pressed.
TEST_F(SavingFromTheWindow, TheWindowAnswersWhileTheDiskStalls)
{
    const QImage pressed = editor.canvas()->Image();
    const auto codes = editor.form.grid().SquareData();
    int ticks = 0;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start();

    Stall stall(faults::Sync);
    QTest::mouseClick(editor.button("cmdSave"), Qt::LeftButton);
    EXPECT_FALSE(dialog()->isVisible()) << "shown at once";
    ASSERT_TRUE(stall.waitUntilReached());
    editor.drag({ { 1, 7 }, { 2, 7 }, { 2, 8 } });
    QTest::mouseClick(editor.button("cmdSave"), Qt::LeftButton);
    EXPECT_EQ(editor.form.findChildren<SaveInProgress *>().size(), 1) << "a second save";
    QWidget *settings = nullptr;
    QTimer::singleShot(0, [&] {
        if ((settings = QApplication::activeModalWidget()))
            settings->close();
    });
    QTest::mouseClick(editor.button("Command1"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(settings, nullptr) << "the settings opened during a save";
    EXPECT_EQ(editor.form.grid().SquareData(), codes);
    EXPECT_EQ(editor.canvas()->Image(), pressed);

    const QPointer<QProgressDialog> shown = shownDialog();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->parentWidget(), &editor.form);
    EXPECT_EQ(shown->labelText(), "Waiting for the disk to store " + target + "...");
    const int ticked = ticks;
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= ticked + 10; }, 60'000));
    EXPECT_TRUE(editor.form.isSaving());

    stall.release();
    ASSERT_TRUE(saveEnds());
    EXPECT_EQ(errorBox(&editor.form), nullptr);
    EXPECT_FALSE(shown && shown->isVisible());
    EXPECT_EQ(QImage(target).convertToFormat(QImage::Format_RGB32), pressed);
    editor.drag({ { 1, 7 }, { 2, 7 } }); // strokes are taken again
    EXPECT_EQ(editor.code(7 * 31 + 1), "0010");
}

// The dialog counts the bytes gone to the disk, of all the file will have, and names the file
// written, which a link in the path leads to, as it is: markup in a path is no formatting.
// Cancel (Escape) between blocks leaves it saying that the save is stopping until it has; then
// nothing is said and the earlier file is as it was.
TEST_F(SavingFromTheWindow, TheProgressCountsTheBytesAndCancelKeepsTheEarlierFile)
{
    const QString folder = editor.dir.filePath("<b>bold &amp; disk");
    ASSERT_TRUE(QDir().mkdir(folder) && QFile::rename(target, folder + "/real.bmp"));
    makeLink(folder + "/real.bmp", target);
    Stall stall(faults::Write, 2);
    QTest::mouseClick(editor.button("cmdSave"), Qt::LeftButton);
    ASSERT_TRUE(stall.waitUntilReached());
    QProgressDialog *shown = shownDialog();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->labelText(), "Saving the picture to " + folder + "/real.bmp...");
    EXPECT_EQ(shown->findChild<QLabel *>()->textFormat(), Qt::PlainText);
    EXPECT_EQ(shown->maximum(), bitmapFileSize(editor.canvas()->size()));
    constexpr int row = 961 * 3 + 1;
    EXPECT_TRUE(QTest::qWaitFor(
            [&] { return shown->value() == 54 + (SaveBlockSize - 54) / row * row; }, 60'000));
    ASSERT_TRUE(QTest::qWaitForWindowActive(shown));
    QTest::keyClick(shown, Qt::Key_Escape);
    EXPECT_TRUE(shown->isVisible()) << "the dialog stays until the save has stopped";
    EXPECT_EQ(shown->labelText(), "Stopping the save...");
    EXPECT_EQ(shown->findChild<QPushButton *>(), nullptr) << "a Cancel that does nothing";
    EXPECT_TRUE(editor.form.isSaving());
    stall.release();
    ASSERT_TRUE(saveEnds());
    EXPECT_EQ(errorBox(&editor.form), nullptr);
    EXPECT_EQ(contents(folder + "/real.bmp"), earlier);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList { "real.bmp" });
}

// A Cancel after the rename, during the folder's sync, comes too late: the user is told that the
// picture was saved.
TEST_F(SavingFromTheWindow, ACancelTooLateIsToldThatThePictureWasSaved)
{
    Stall stall(faults::FolderSync);
    QTest::mouseClick(editor.button("cmdSave"), Qt::LeftButton);
    ASSERT_TRUE(stall.waitUntilReached());
    QTest::mouseClick(shownDialog()->findChild<QPushButton *>(), Qt::LeftButton);
    stall.release();
    ASSERT_TRUE(saveEnds());
    QMessageBox *box = errorBox(&editor.form);
    ASSERT_NE(box, nullptr) << "the picture was saved without a word";
    EXPECT_EQ(box->text(), SaveInProgress::message({}, saveTargetFor(target), true));
    EXPECT_TRUE(box->text().startsWith("The picture was saved to " + target + ".\n"));
    expectSavedAsDrawn();
}

// The window manager's close of the main window during a save, before the progress dialog shows
// or after the rename: the window closes once the save has ended, with the earlier file or the
// whole new one in place, nothing else left and nothing said.
TEST_F(SavingFromTheWindow, ClosingTheWindowLeavesTheEarlierFileOrTheWholeNewOne)
{
    for (const faults::Step step : { faults::Sync, faults::FolderSync }) {
        SCOPED_TRACE(step);
        earlier = contents(target);
        Stall stall(step);
        QTest::mouseClick(editor.button("cmdSave"), Qt::LeftButton);
        ASSERT_TRUE(stall.waitUntilReached());
        QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
                editor.form.windowHandle());
        EXPECT_TRUE(editor.form.isVisible()) << "closed before the save had ended";
        stall.release();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !editor.form.isVisible(); }, 60'000));
        EXPECT_FALSE(editor.form.isSaving());
        EXPECT_EQ(errorBox(&editor.form), nullptr);
        if (step == faults::Sync)
            expectEarlierKept();
        else
            expectSavedAsDrawn();
        editor.form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor.form));
    }
}

// Memory refused on the save's side: the user is told, the earlier file stays and the editor
// goes on; the next save is whole.
TEST_F(SavingFromTheWindow, AnAllocationRefusedOnTheSavesSideIsTold)
{
    faults::refuseLargeAllocations = true;
    const auto allow = qScopeGuard([] { faults::refuseLargeAllocations = false; });
    ASSERT_TRUE(editor.save());
    faults::refuseLargeAllocations = false;
    QMessageBox *box = errorBox(&editor.form);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(),
              "The picture could not be saved to " + target + ".\n" + strerror(ENOMEM));
    EXPECT_EQ(box->textFormat(), Qt::PlainText) << "a path's markup would be formatting";
    box->close();
    expectEarlierKept();
    ASSERT_TRUE(editor.save());
    EXPECT_EQ(errorBox(&editor.form), nullptr);
    expectSavedAsDrawn();
}

// The window destroyed during a save, with no close before it: the save is asked to stop, not
// waited for, and the earlier file stays as it was.
TEST_F(SavingFromTheWindow, DestroyingTheWindowStopsTheSaveWithoutWaiting)
{
    auto window = std::make_unique<Form1>(); // saves to the same home folder
    window->show();
    Stall stall(faults::Sync);
    QTest::mouseClick(window->findChild<QPushButton *>("cmdSave"), Qt::LeftButton);
    ASSERT_TRUE(stall.waitUntilReached());
    window.reset();
    EXPECT_FALSE(stall.passed()) << "the window waited for the save";
    stall.release();
    ASSERT_TRUE(saveThreadPool().waitForDone(60'000));
    expectEarlierKept();
}

// test.bmp in HOME, else in the account's home, else nowhere, which the user is told.
TEST(SavePath, TheHomeFolderComesFromHomeThenTheAccountElseTheUserIsTold)
{
    EditorDriver editor;
    qputenv("HOME", "/tmp/elsewhere");
    EXPECT_EQ(defaultBitmapPath(), "/tmp/elsewhere/test.bmp");
    const QString account
            = QDir(QFile::decodeName(getpwuid(getuid())->pw_dir)).filePath("test.bmp");
    qunsetenv("HOME");
    EXPECT_EQ(defaultBitmapPath(), account) << "HOME unset";
    qputenv("HOME", QByteArray());
    EXPECT_EQ(defaultBitmapPath(), account) << "HOME empty";

    faults::noAccountHome = true;
    const auto restore = qScopeGuard([] { faults::noAccountHome = false; });
    ASSERT_TRUE(editor.save());
    QMessageBox *box = errorBox(&editor.form);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(),
              "The picture could not be saved.\nThis account has no home folder to "
              "save test.bmp in.");
    reportError(&editor.form, QStringLiteral("the next")); // while the box is open
    EXPECT_EQ(errorBox(&editor.form)->text(), "the next");
}
