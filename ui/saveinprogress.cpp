#include "ui/saveinprogress.h"

#include "render/retainedimage.h"
#include "ui/errorreport.h"

#include <QEvent>
#include <QException>
#include <QLabel>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QtConcurrent/QtConcurrentRun>

#include <cerrno>
#include <cstring>

// The save's part of what a canvas needs beside it; the rest is Qt's image writer, tiles, a box.
static_assert(SaveStackSize + SaveBlockSize <= RetainedImage::WorkingMemory / 4);

SaveInProgress::SaveInProgress(const QImage &picture, const SaveTarget &target, QWidget *window)
    : QObject(window)
    , m_window(window)
    , m_target(target)
{
    // Not modal: Qt drops a close of a window that a modal dialog blocks. The window itself takes
    // no strokes and its buttons do nothing meanwhile.
    m_dialog = new QProgressDialog(QString(), tr("Cancel"), 0, 0, window);
    auto noSave = qScopeGuard([this] { delete m_dialog; }); // until the task has started
    m_dialog->setObjectName(QStringLiteral("saveProgress"));
    m_dialog->setWindowTitle(tr("Saving"));
    // A path or the system's words are shown as they are, never read as rich text.
    auto *label = new QLabel;
    label->setTextFormat(Qt::PlainText);
    m_dialog->setLabel(label);
    m_dialog->setLabelText(tr("Saving the picture to %1...").arg(target.file));
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setMinimumDuration(500); // ms
    // Its timer shows it that long after this first value, or sooner if the progress says so.
    m_dialog->setValue(0);

    // The task gives the bytes it will write as its range, then no range while the disk syncs
    // (a watcher also tells the range there is when it starts watching: none yet).
    connect(&m_watcher, &QFutureWatcherBase::progressRangeChanged, m_dialog,
            [this](int minimum, int maximum) {
                guarded(m_window, [&] {
                    if (maximum == 0 && m_dialog->maximum() != 0)
                        m_dialog->setLabelText(
                                tr("Waiting for the disk to store %1...").arg(m_target.file));
                    m_dialog->setRange(minimum, maximum);
                });
            });
    connect(&m_watcher, &QFutureWatcherBase::progressValueChanged, m_dialog,
            &QProgressDialog::setValue);
    // The dialog hides itself on Cancel; it comes back saying that the save is stopping, and
    // stays until the task has answered.
    connect(m_dialog, &QProgressDialog::canceled, this, [this] {
        guarded(m_window, [this] {
            stop();
            m_dialog->show();
        });
    });
    connect(&m_watcher, &QFutureWatcherBase::finished, this,
            [this] { guarded(m_window, [this] { end(); }); });
    window->installEventFilter(this);
    m_watcher.setFuture(QtConcurrent::run(&saveThreadPool(), writeBitmapFile, m_stop.get_token(),
                                          picture, target));
    noSave.dismiss();
}

SaveInProgress::~SaveInProgress()
{
    m_stop.request_stop();
    delete m_dialog;
}

bool SaveInProgress::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window || event->type() != QEvent::Close)
        return QObject::eventFilter(watched, event);
    m_closeWhenEnded = true;
    guarded(m_window, [this] { stop(); });
    event->ignore();
    return true;
}

void SaveInProgress::stop()
{
    if (!m_stop.request_stop())
        return; // asked already
    m_watcher.disconnect(m_dialog); // the dialog no longer follows the task
    m_dialog->setLabelText(tr("Stopping the save..."));
    m_dialog->setCancelButton(nullptr);
    m_dialog->setRange(0, 0);
}

// What the task threw, carried home by the future, is a failed save like any other.
SaveOutcome SaveInProgress::outcome() const
{
    SaveOutcome failed { SaveOutcome::End::Failed, SaveOutcome::Cause::System, {} };
    try {
        try {
            return m_watcher.result();
        } catch (const QUnhandledException &carried) { // how a std::exception comes home
            if (carried.exception())
                std::rethrow_exception(carried.exception());
            throw;
        }
    } catch (const std::bad_alloc &) {
        failed.reason = QString::fromLocal8Bit(std::strerror(ENOMEM));
    } catch (const std::exception &error) {
        failed.reason = QString::fromLocal8Bit(error.what());
    } catch (...) {
        failed.reason = tr("The save stopped on an unknown error.");
    }
    return failed;
}

void SaveInProgress::end()
{
    m_window->removeEventFilter(this);
    m_dialog->hide();
    // Who closed the window is not kept once the earlier file or the whole, stored new one is
    // there; a failure is told instead, and the window stays for it to be read.
    const SaveOutcome result = outcome();
    const bool closing = m_closeWhenEnded && result.end != SaveOutcome::End::Failed
            && result.end != SaveOutcome::End::Unconfirmed;
    const QString told = closing ? QString() : message(result, m_target, m_stop.stop_requested());
    if (!told.isEmpty())
        reportError(m_window, told);
    emit ended();
    if (closing)
        m_window->close();
}

QString SaveInProgress::message(const SaveOutcome &outcome, const SaveTarget &target,
                                bool stopAsked)
{
    using End = SaveOutcome::End;
    using Cause = SaveOutcome::Cause;
    if (outcome.end == End::Cancelled || (outcome.end == End::Saved && !stopAsked))
        return QString();
    if (outcome.end == End::Failed && outcome.cause == Cause::FolderNotWritable)
        return tr("The picture could not be saved in the folder %1.\nNo new file can be made in "
                  "that folder: %2")
                .arg(target.folder, outcome.reason);
    if (outcome.end == End::Failed && outcome.cause == Cause::FolderKeepsItsFiles)
        return tr("The picture could not be saved in the folder %1.\nThat folder does not let a "
                  "file in it be replaced.")
                .arg(target.folder);
    // The first line names the file, and the link that leads to it when the path was one.
    const bool saved = outcome.end != End::Failed;
    const QString file = target.link.isEmpty()
            ? (saved ? tr("The picture was saved to %1.")
                     : tr("The picture could not be saved to %1."))
                      .arg(target.file)
            : (saved ? tr("The picture was saved to %1, where the link %2 leads.")
                     : tr("The picture could not be saved to %1, where the link %2 leads."))
                      .arg(target.file, target.link);
    if (outcome.end == End::Saved)
        return file
                + tr("\nCancel came too late: the new file had already replaced the earlier one.");
    if (outcome.end == End::Unconfirmed)
        return file
                + tr("\nThe system could not confirm that it is stored on the disk: %1")
                          .arg(outcome.reason);
    switch (outcome.cause) {
    case Cause::NotARegularFile:
        return file + tr("\nThat path is not a regular file, so it is left as it is.");
    case Cause::ReadOnlyFile:
        return file + tr("\nThe file is read-only.");
    case Cause::ImmutableFile:
        return file + tr("\nThe file is marked immutable, so it cannot be replaced.");
    case Cause::AppendOnlyFile:
        return file + tr("\nThe file is marked append-only: it can be added to, but not replaced.");
    case Cause::FileNotWritable:
        return file + tr("\nThis account may not write to the file.");
    default:
        return file + QLatin1Char('\n') + outcome.reason;
    }
}
