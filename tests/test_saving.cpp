// "Save" under faults: the task called directly against one table (where it fails, what the user
// is told, what is on the disk), faults real where the system can make them and injected at its
// calls where it cannot; then what only the window does: a stalled disk, Cancel, a close.
#include "tests/uitest.h"

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
std::atomic<bool> refuseEveryAllocation = false;
bool noAccountHome = false;
bool renamed = false, folderSyncedAfterRename = false; // a rename, then the folder's sync
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
    struct stat status = {};
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
    struct stat status = {};
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
    if (faults::noNamelessFiles && (flags & O_TMPFILE) == O_TMPFILE)
        return errno = EOPNOTSUPP, -1;
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
    if (faults::refuseEveryAllocation
        || (faults::refuseLargeAllocations && size >= 64 * 1024 && gettid() != getpid()))
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
    return std::system(qPrintable(command)) == 0;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : "";
}

void writeEarlier(const QString &file)
{
    QFile earlier(file);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write("the earlier picture") > 0);
}

void makeLink(const QString &to, const QString &at)
{
    ASSERT_EQ(symlink(QFile::encodeName(to), QFile::encodeName(at)), 0);
}

mode_t modeOf(const QString &path)
{
    struct stat status = {};
    return lstat(QFile::encodeName(path), &status) == 0 ? status.st_mode : 0;
}

// Every name under the folder, hidden ones included, links and folders marked.
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

// A save's surroundings: a folder of its own with an earlier test.bmp in it, the path Save is
// given, and the stop request the window would make.
struct Bed
{
    Bed() { writeEarlier(path); }
    ~Bed()
    {
        if (saved.rlim_max != 0)
            setrlimit(RLIMIT_FSIZE, &saved);
        std::fill(std::begin(faults::hook), std::end(faults::hook), nullptr);
        std::fill(std::begin(faults::error), std::end(faults::error), 0);
        faults::writeCall = 0, faults::noNamelessFiles = false;
        runs(QStringLiteral("umount '%1/disk' 2>/dev/null; chattr -R -ia '%1' 2>/dev/null; "
                            "chmod -R u+rwx '%1'")
                     .arg(dir.path()));
    }
    QString at(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    void linkPathTo(const QString &file) { QFile::remove(path), makeLink(file, path); }
    void chmod(const QString &file, mode_t mode) { ::chmod(QFile::encodeName(file), mode); }
    void chattr(const char *flags, const QString &file)
    {
        if (!runs(QStringLiteral("chattr %1 '%2' 2>/dev/null").arg(flags, file)))
            GTEST_SKIP() << "chattr needs a file system that has it";
    }
    void pipe(const QString &at) { ASSERT_EQ(mkfifo(QFile::encodeName(at), 0644), 0); }
    void limitFileSize(qint64 bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = rlim_t(bytes);
        std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    }

    QTemporaryDir dir;
    QString path = at("test.bmp");
    std::stop_source stop;
    rlimit saved {};
};

// The tiles, three blocks' worth: rows of 961 pixels end on 4 bytes with a byte to spare.
QImage drawn()
{
    return QImage(":/tiles/tileset0.bmp").scaled(961, 961).convertToFormat(QImage::Format_RGB32);
}

enum class Account { Any, Root, NotRoot };

struct Case
{
    const char *name;
    std::function<void(Bed &)> arrange; // makes the fault
    End end;
    Cause cause = Cause::System;
    int error = 0; // the system's reason, as its error number
    Account account = Account::Any;
    std::function<void(Bed &)> check = {}; // what else must hold; replaces the earlier file's
    friend void PrintTo(const Case &row, std::ostream *out) { *out << row.name; }
};

// clang-format off
using enum End; using enum Cause; using enum Account;
const Case Cases[] = {
    { "nothing_goes_wrong", [](Bed &) {}, Saved },
    { "missing_folder", [](Bed &b) { b.path = b.at("missing/test.bmp"); },
      Failed, FolderNotWritable, ENOENT },
    { "a_folder_at_the_path", [](Bed &b) { QFile::remove(b.path), QDir().mkdir(b.path); },
      Failed, NotARegularFile },
    { "a_read_only_file", [](Bed &b) { b.chmod(b.path, 0444); }, Failed, ReadOnlyFile },
    { "file_not_ours_to_write", [](Bed &b) { b.chmod(b.path, 0464); },
      Failed, FileNotWritable, 0, NotRoot },
    { "folder_not_ours_to_write", [](Bed &b) { b.chmod(b.dir.path(), 0500); },
      Failed, FolderNotWritable, EACCES, NotRoot },
    { "an_immutable_file", [](Bed &b) { b.chattr("+i", b.path); }, Failed, ImmutableFile, 0, Root },
    { "an_append_only_file", [](Bed &b) { b.chattr("+a", b.path); },
      Failed, AppendOnlyFile, 0, Root },
    { "append_only_folder_and_no_earlier_file",
      [](Bed &b) { QFile::remove(b.path), b.chattr("+a", b.dir.path()); },
      Failed, FolderKeepsItsFiles, 0, Root },
    { "immutable_folder_via_linked_folder", [](Bed &b) {
          QDir().mkdir(b.at("kept")), writeEarlier(b.at("kept/real.bmp"));
          makeLink(b.at("kept"), b.at("alias")), b.linkPathTo(b.at("alias/real.bmp"));
          b.chattr("+i", b.at("kept"));
      }, Failed, FolderKeepsItsFiles, 0, Root },
    { "pipe_via_link", [](Bed &b) { b.pipe(b.at("pipe")), b.linkPathTo(b.at("pipe")); },
      Failed, NotARegularFile },
    { "a_link_to_itself", [](Bed &b) { b.linkPathTo("test.bmp"); }, Failed, NotARegularFile },
    { "link_into_missing_folder", [](Bed &b) { b.linkPathTo(b.at("missing/real.bmp")); },
      Failed, FolderNotWritable, ENOENT },
    { "link_to_a_file_replaces_it_keeping_its_mode", [](Bed &b) {
          writeEarlier(b.at("real.bmp")), b.chmod(b.at("real.bmp"), 0604);
          b.linkPathTo(b.at("real.bmp"));
      }, Saved, System, 0, Any, [](Bed &b) {
          EXPECT_TRUE(QFileInfo(b.path).isSymLink());
          EXPECT_EQ(modeOf(b.at("real.bmp")) & 07777, 0604u);
      } },
    { "owner_group_mode_kept_and_hard_link_keeps_earlier", [](Bed &b) {
          const passwd *nobody = getpwnam("nobody");
          ASSERT_EQ(chown(QFile::encodeName(b.path), nobody->pw_uid, nobody->pw_gid), 0);
          b.chmod(b.path, 03750); // with set-group, which a change of owner clears
          ASSERT_EQ(link(QFile::encodeName(b.path), QFile::encodeName(b.at("other"))), 0);
      }, Saved, System, 0, Root, [](Bed &b) {
          EXPECT_EQ(QFileInfo(b.path).ownerId(), getpwnam("nobody")->pw_uid);
          EXPECT_EQ(QFileInfo(b.path).groupId(), getpwnam("nobody")->pw_gid);
          EXPECT_EQ(modeOf(b.path) & 07777, 03750u);
          EXPECT_EQ(contents(b.at("other")), "the earlier picture");
      } },
    { "read_only_file_system", [](Bed &b) {
          QDir().mkdir(b.at("disk"));
          const QString mount = "mount -t tmpfs -o size=8m passages '%1' 2>/dev/null";
          if (!runs(mount.arg(b.at("disk"))))
              GTEST_SKIP() << "no file system can be mounted here";
          b.path = b.at("disk/test.bmp");
          writeEarlier(b.path);
          ASSERT_TRUE(runs(QStringLiteral("mount -o remount,ro '%1'").arg(b.at("disk"))));
      }, Failed, System, EROFS, Root },
    { "disk_full_at_the_last_byte",
      [](Bed &b) { b.limitFileSize(bitmapFileSize(drawn().size()) - 1); },
      Failed, System, EFBIG },
    { "sync_fails", [](Bed &) { faults::error[faults::Sync] = EIO; }, Failed, System, EIO },
    { "naming_fails", [](Bed &) { faults::error[faults::Name] = ENOSPC; }, Failed, System, ENOSPC },
    { "rename_fails_hidden_name",
      [](Bed &) { faults::noNamelessFiles = true, faults::error[faults::Rename] = EPERM; },
      Failed, System, EPERM },
    { "folder_sync_fails", [](Bed &) { faults::error[faults::FolderSync] = EIO; },
      Unconfirmed, System, EIO },
    { "stopped_between_blocks", [](Bed &b) {
          faults::writeCall = 2;
          faults::hook[faults::Write] = [&b] {
              b.stop.request_stop(), faults::writeCall = 1; // and no block after this one:
              faults::hook[faults::Write] = [] { ADD_FAILURE() << "written after the stop"; };
          };
      }, Cancelled },
    { "stopped_in_sync_hidden_name", [](Bed &b) {
          faults::noNamelessFiles = true;
          faults::hook[faults::Sync] = [&b] { b.stop.request_stop(); };
      }, Cancelled },
    { "stopped_after_the_rename",
      [](Bed &b) { faults::hook[faults::FolderSync] = [&b] { b.stop.request_stop(); }; }, Saved },
    { "made_read_only_in_sync",
      [](Bed &b) { faults::hook[faults::Sync] = [&b] { b.chmod(b.path, 0444); }; },
      Failed, ReadOnlyFile },
    { "marked_append_only_in_sync",
      [](Bed &b) { faults::hook[faults::Sync] = [&b] { b.chattr("+a", b.path); }; },
      Failed, AppendOnlyFile, 0, Root },
    { "pipe_moved_in_during_sync", [](Bed &b) {
          b.pipe(b.at("pipe"));
          faults::hook[faults::Sync] = [&b] {
              ::rename(QFile::encodeName(b.at("pipe")), QFile::encodeName(b.path));
          };
      }, Failed, NotARegularFile, 0, Any, [](Bed &b) {
          EXPECT_TRUE(S_ISFIFO(modeOf(b.path)));
          EXPECT_EQ(everything(b.dir.path()), QStringList { b.path }) << "a new file left";
      } },
    { "link_turned_to_a_pipe_during_sync", [](Bed &b) {
          writeEarlier(b.at("real.bmp")), b.linkPathTo(b.at("real.bmp")), b.pipe(b.at("pipe"));
          faults::hook[faults::Sync] = [&b] { b.linkPathTo(b.at("pipe")); };
      }, Saved, System, 0, Any, [](Bed &b) { EXPECT_TRUE(S_ISFIFO(modeOf(b.at("pipe")))); } },
};
// clang-format on

using Saving = ::testing::TestWithParam<Case>;

} // namespace

TEST_P(Saving, TellsWhatBecameOfThePictureAndKeepsTheEarlierFileOrTheWholeNewOne)
{
    const Case &c = GetParam();
    if ((c.account == Account::Root) != (geteuid() == 0) && c.account != Account::Any)
        GTEST_SKIP() << (geteuid() ? "only root can make this fault" : "root is let through");
    Bed bed;
    c.arrange(bed);
    if (::testing::Test::IsSkipped() || ::testing::Test::HasFatalFailure())
        return;
    const SaveTarget target = saveTargetFor(bed.path);
    const QStringList before = everything(bed.dir.path());
    const QByteArray earlier = contents(target.file);
    faults::renamed = faults::folderSyncedAfterRename = false;

    const SaveOutcome outcome = saveNow(drawn(), target, bed.stop.get_token());

    EXPECT_EQ(outcome.end, c.end);
    EXPECT_EQ(outcome.cause, c.cause);
    EXPECT_EQ(outcome.reason, c.error ? QString::fromLocal8Bit(strerror(c.error)) : "");
    const QString told = SaveInProgress::message(outcome, target, bed.stop.stop_requested());
    EXPECT_EQ(told.isEmpty(),
              c.end == End::Cancelled || (c.end == End::Saved && !bed.stop.stop_requested()))
            << told.toStdString();
    // Names the file written and the link that leads to it, or the folder; and why.
    const QString named
            = c.cause == Cause::FolderNotWritable || c.cause == Cause::FolderKeepsItsFiles
            ? " folder " + target.folder + ".\n"
            : " to " + target.file
                    + (target.link.isEmpty() ? "." : ", where the link " + target.link + " leads.");
    EXPECT_TRUE(told.isEmpty() || (told.contains(named) && told.contains(outcome.reason)))
            << told.toStdString();
    if (c.end == End::Saved || c.end == End::Unconfirmed) {
        EXPECT_EQ(QImage(target.file).convertToFormat(QImage::Format_RGB32), drawn());
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

// A disk that stalls at a step: the save's thread waits there until the test lets it go on, or a
// minute has passed, so that a save that does not answer fails the test rather than hangs it.
QSemaphore stallReached, letGo;
std::atomic<bool> stallPassed = false;

void stallAt(faults::Step step, int writeCall = 0)
{
    stallPassed = false;
    faults::writeCall = writeCall;
    faults::hook[step] = [] {
        stallReached.release();
        (void)letGo.tryAcquire(1, 60'000);
        stallPassed = true;
    };
}

bool stallIsReached()
{
    return QTest::qWaitFor([] { return stallReached.tryAcquire(); }, 60'000);
}

// The editor with an earlier test.bmp saved, and a stroke drawn since.
class SavingFromTheWindow : public ::testing::Test
{
protected:
    void TearDown() override
    {
        std::fill(std::begin(faults::hook), std::end(faults::hook), nullptr);
        letGo.release(); // a stall the test did not reach or end
        ASSERT_TRUE(saveThreadPool().waitForDone(60'000));
        (void)letGo.tryAcquire(letGo.available());
    }
    void SetUp() override
    {
        editor.setUp(31, 31, 31); // three blocks
        editor.drag({ { 1, 1 }, { 2, 1 } });
        ASSERT_TRUE(editor.save() && !errorBox(&editor.form));
        editor.drag({ { 1, 2 }, { 2, 2 } });
        earlier = contents(target);
    }
    QProgressDialog *dialog() const { return editor.form.findChild<QProgressDialog *>(); }
    QProgressDialog *shownDialog() const
    {
        const bool shown = QTest::qWaitFor([this] { return dialog()->isVisible(); }, 60'000);
        return shown ? dialog() : nullptr;
    }
    bool saveEnds()
    {
        return QTest::qWaitFor([this] { return !editor.form.isSaving(); }, 60'000);
    }
    void expectOnDisk(bool saved)
    {
        if (saved)
            EXPECT_EQ(QImage(target).convertToFormat(QImage::Format_RGB32),
                      editor.canvas()->Image());
        else
            EXPECT_EQ(contents(target), earlier);
        EXPECT_EQ(everything(editor.dir.path()), QStringList { target }) << "a file left";
    }

    EditorDriver editor;
    const QString target = defaultBitmapPath();
    QByteArray earlier;
};

} // namespace

// On a disk whose sync stalls the window answers, the progress dialog shows over it, the canvas
// takes no strokes, and the file written is the canvas as it was when Save was pressed.
TEST_F(SavingFromTheWindow, TheWindowAnswersWhileTheDiskStalls)
{
    const QImage pressed = editor.canvas()->Image();
    const auto codes = editor.form.grid().SquareData();
    stallAt(faults::Sync);
    QTest::mouseClick(editor.button("cmdSave"), Qt::LeftButton);
    EXPECT_FALSE(dialog()->isVisible()) << "shown at once";
    ASSERT_TRUE(stallIsReached());
    editor.drag({ { 1, 7 }, { 2, 7 }, { 2, 8 } });
    EXPECT_EQ(editor.form.grid().SquareData(), codes);
    EXPECT_EQ(editor.canvas()->Image(), pressed);

    const QPointer<QProgressDialog> shown = shownDialog(); // shown by its timer, so events run
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->parentWidget(), &editor.form);
    EXPECT_EQ(shown->labelText(), "Waiting for the disk to store " + target + "...");
    letGo.release();
    ASSERT_TRUE(saveEnds());
    EXPECT_EQ(errorBox(&editor.form), nullptr);
    EXPECT_TRUE(!shown || !shown->isVisible());
    EXPECT_EQ(QImage(target).convertToFormat(QImage::Format_RGB32), pressed);
    editor.drag({ { 1, 7 }, { 2, 7 } }); // strokes are taken again
    EXPECT_EQ(editor.code(7 * 31 + 1), "0010");
}

// The dialog counts the bytes written of the file's size and names the file a link leads to, as
// plain text. Cancel (Escape, or the button) says "stopping" until the save has stopped: between
// blocks the earlier file stays and nothing is said; after the rename, that it came too late.
TEST_F(SavingFromTheWindow, TheProgressCountsTheBytesAndCancelKeepsTheEarlierFileOrSaysItIsLate)
{
    const QString file = editor.dir.filePath("<b>bold &amp; real.bmp");
    ASSERT_TRUE(QFile::rename(target, file));
    makeLink(file, target);
    for (const bool late : { false, true }) {
        late ? stallAt(faults::FolderSync) : stallAt(faults::Write, 2);
        QTest::mouseClick(editor.button("cmdSave"), Qt::LeftButton);
        ASSERT_TRUE(stallIsReached());
        QProgressDialog *shown = shownDialog();
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->findChild<QLabel *>()->textFormat(), Qt::PlainText);
        constexpr int row = 961 * 3 + 1, firstBlock = 54 + (SaveBlockSize - 54) / row * row;
        if (!late) {
            EXPECT_EQ(shown->labelText(), "Saving the picture to " + file + "...");
            EXPECT_EQ(shown->maximum(), bitmapFileSize(editor.canvas()->size()));
            EXPECT_TRUE(QTest::qWaitFor([&] { return shown->value() == firstBlock; }, 60'000));
            ASSERT_TRUE(QTest::qWaitForWindowActive(shown));
            QTest::keyClick(shown, Qt::Key_Escape);
        } else {
            QTest::mouseClick(shown->findChild<QPushButton *>(), Qt::LeftButton);
        }
        EXPECT_TRUE(shown->isVisible()) << "the dialog stays until the save has stopped";
        EXPECT_EQ(shown->labelText(), "Stopping the save...");
        EXPECT_EQ(shown->findChild<QPushButton *>(), nullptr) << "a Cancel that does nothing";
        letGo.release();
        ASSERT_TRUE(saveEnds());
        const QMessageBox *box = errorBox(&editor.form);
        EXPECT_EQ(box ? box->text() : "",
                  late ? "The picture was saved to " + file + ", where the link " + target
                                 + " leads.\nCancel came too late: the new file had already "
                                   "replaced the earlier one."
                       : "");
        if (late)
            EXPECT_EQ(QImage(file).convertToFormat(QImage::Format_RGB32), editor.canvas()->Image());
        else
            EXPECT_EQ(contents(file), earlier);
        EXPECT_EQ(everything(editor.dir.path()), QStringList({ file, target + " link" }));
    }
}

// The window manager's close during a save, before the dialog shows or after the rename: the window
// closes once the save has ended, with the earlier file or the whole new one, and nothing said;
// a folder's sync that fails after the close is told, and the window stays open to tell it.
TEST_F(SavingFromTheWindow, ClosingTheWindowLeavesTheEarlierFileOrTheWholeNewOne)
{
    for (const auto &[step, error] : { std::pair { faults::Sync, 0 }, { faults::FolderSync, 0 },
                                       { faults::FolderSync, EIO } }) {
        SCOPED_TRACE(testing::Message() << step << " " << error);
        earlier = contents(target);
        stallAt(step);
        faults::error[step] = error;
        const auto clear = qScopeGuard([step] { faults::error[step] = 0; });
        QTest::mouseClick(editor.button("cmdSave"), Qt::LeftButton);
        ASSERT_TRUE(stallIsReached());
        QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
                editor.form.windowHandle());
        EXPECT_TRUE(editor.form.isVisible()) << "closed before the save had ended";
        letGo.release();
        if (error) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return errorBox(&editor.form) != nullptr; }, 60'000));
            EXPECT_TRUE(editor.form.isVisible());
            EXPECT_TRUE(errorBox(&editor.form)->text().contains(strerror(EIO)));
            errorBox(&editor.form)->close();
            expectOnDisk(true);
            continue;
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return !editor.form.isVisible(); }, 60'000));
        EXPECT_EQ(errorBox(&editor.form), nullptr);
        expectOnDisk(step == faults::FolderSync);
        editor.form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor.form));
    }
}

// Memory refused on the save's side is told; the earlier file stays, and the next save is whole.
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
    expectOnDisk(false);
    ASSERT_TRUE(editor.save());
    EXPECT_EQ(errorBox(&editor.form), nullptr);
    expectOnDisk(true);
}

// No memory left even for the message box: the error ends in its handler (guarded and
// reportError are noexcept, so an escape would end the program) and the window goes on.
TEST_F(SavingFromTheWindow, AnErrorWithNoMemoryForItsBoxEndsInItsHandler)
{
    guarded(&editor.form, [] {
        faults::refuseEveryAllocation = true;
        throw std::bad_alloc();
    });
    faults::refuseEveryAllocation = false;
    EXPECT_EQ(errorBox(&editor.form), nullptr);
    ASSERT_TRUE(editor.save());
    expectOnDisk(true);
}

// The window destroyed during a save: the save is asked to stop, not waited for.
TEST_F(SavingFromTheWindow, DestroyingTheWindowStopsTheSaveWithoutWaiting)
{
    auto window = std::make_unique<Form1>(); // saves to the same home folder
    window->show();
    stallAt(faults::Sync);
    QTest::mouseClick(window->findChild<QPushButton *>("cmdSave"), Qt::LeftButton);
    ASSERT_TRUE(stallIsReached());
    window.reset();
    EXPECT_FALSE(stallPassed) << "the window waited for the save";
    letGo.release();
    ASSERT_TRUE(saveThreadPool().waitForDone(60'000));
    expectOnDisk(false);
}

// test.bmp in HOME, else in the account's home, else nowhere, which the user is told.
TEST(SavePath, TheHomeFolderComesFromHomeThenTheAccountElseTheUserIsTold)
{
    EditorDriver editor;
    qputenv("HOME", "/tmp/elsewhere");
    EXPECT_EQ(defaultBitmapPath(), "/tmp/elsewhere/test.bmp");
    const QString own = QDir(QFile::decodeName(getpwuid(getuid())->pw_dir)).filePath("test.bmp");
    qunsetenv("HOME");
    EXPECT_EQ(defaultBitmapPath(), own) << "HOME unset";
    qputenv("HOME", QByteArray());
    EXPECT_EQ(defaultBitmapPath(), own) << "HOME empty";
    faults::noAccountHome = true;
    const auto restore = qScopeGuard([] { faults::noAccountHome = false; });
    ASSERT_TRUE(editor.save());
    ASSERT_NE(errorBox(&editor.form), nullptr);
    EXPECT_TRUE(errorBox(&editor.form)->text().endsWith("no home folder to save test.bmp in."));
}
