#include "bitmapfile/backgroundsave.h"

#include <QThread>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#endif

namespace {

// Qt's image writer and the file need little stack. A small one leaves the address space to
// the canvas under a memory limit (RetainedImage::WorkingMemory counts the save's needs).
constexpr uint SaveStackSize = 1 << 20;

// The save is background work: where it competes for a core with the window's thread, the
// window goes first. On Linux this sets the niceness of the calling thread alone.
void lowerThisThreadsPriority()
{
#ifdef Q_OS_LINUX
    (void)::setpriority(PRIO_PROCESS, 0, 10);
#endif
}

} // namespace

// What the save's thread touches; it holds a share of it, so nothing it uses can go before it.
struct BackgroundSave::Shared
{
    Shared(const QImage &image, const QString &file)
        : picture(image)
        , path(file)
    { }

    const QImage picture;
    const QString path;
    SaveProgress progress;
    SaveOutcome outcome;

    void run() { outcome = SavePicture(picture, path, &progress); }
};

BackgroundSave::BackgroundSave(const QImage &picture, const QString &path, QObject *parent)
    : QObject(parent)
    , m_shared(std::make_shared<Shared>(picture, path))
{ }

BackgroundSave::~BackgroundSave()
{
    if (m_thread) {
        cancel();
        m_thread->wait();
    }
}

void BackgroundSave::start()
{
    m_thread = QThread::create([shared = m_shared] {
        lowerThisThreadsPriority();
        shared->run();
    });
    m_thread->setParent(this);
    m_thread->setObjectName(QStringLiteral("save"));
    m_thread->setStackSize(SaveStackSize);
    // Emitted on the save's thread as it ends, received here through the event loop.
    connect(m_thread, &QThread::finished, this, &BackgroundSave::finished);
    m_thread->start();
    // A thread that started is running or has already finished; one that could not start is
    // neither (QThread only warns).
    if (m_thread->isRunning() || m_thread->isFinished())
        return;
    delete m_thread;
    m_thread = nullptr;
    m_shared->run();
    QMetaObject::invokeMethod(this, &BackgroundSave::finished, Qt::QueuedConnection);
}

void BackgroundSave::cancel()
{
    m_shared->progress.cancelled = true;
}

const QString &BackgroundSave::path() const
{
    return m_shared->path;
}

const SaveProgress &BackgroundSave::progress() const
{
    return m_shared->progress;
}

qint64 BackgroundSave::size() const
{
    return bitmapFileSize(m_shared->picture.size());
}

const SaveOutcome &BackgroundSave::outcome() const
{
    return m_shared->outcome;
}
