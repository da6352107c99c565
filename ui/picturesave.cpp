#include "ui/picturesave.h"

#include "ui/errorreport.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressDialog>

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

// A message's first line, about the file: the file written, and the link that leads to it when
// the path given to Save was one.
QString PictureSave::fileLine(const char *sentence, const char *throughLink, const QString &file,
                              const QString &link)
{
    return link.isEmpty() ? tr(sentence).arg(shown(file))
                          : tr(throughLink).arg(shown(file), shown(link));
}

QString PictureSave::failureMessage(const SaveFailure &failure)
{
    using Cause = SaveFailure::Cause;
    QString why = failure.reason;
    switch (failure.cause) {
    case Cause::FolderNotWritable:
        return tr("The picture could not be saved in the folder %1.\nNo new file can be made in "
                  "that folder: %2")
                .arg(shown(failure.path), failure.reason);
    case Cause::FolderAppendOnly:
        return tr("The picture could not be saved in the folder %1.\nThat folder does not let a "
                  "file in it be replaced.")
                .arg(shown(failure.path));
    case Cause::NotARegularFile:
        why = tr("That path is not a regular file, so it is left as it is.");
        break;
    case Cause::ReadOnlyFile:
        why = tr("The file is read-only.");
        break;
    case Cause::ImmutableFile:
        why = tr("The file is marked immutable, so it cannot be replaced.");
        break;
    case Cause::AppendOnlyFile:
        why = tr("The file is marked append-only: it can be added to, but not replaced.");
        break;
    case Cause::FileNotWritable:
        why = tr("This account may not write to the file.");
        break;
    case Cause::System:
        break;
    }
    return fileLine(QT_TR_NOOP("The picture could not be saved to %1."),
                    QT_TR_NOOP("The picture could not be saved to %1, where the link %2 leads."),
                    failure.path, failure.link)
            + QLatin1Char('\n') + why;
}

QString PictureSave::message(const SaveOutcome &outcome) const
{
    const auto saved = [this] {
        return fileLine(QT_TR_NOOP("The picture was saved to %1."),
                        QT_TR_NOOP("The picture was saved to %1, where the link %2 leads."), m_file,
                        m_link)
                + QLatin1Char('\n');
    };
    switch (outcome.end) {
    case SaveOutcome::End::Saved:
        if (!m_cancelAsked)
            return QString();
        return saved()
                + tr("Cancel came too late: the new file had already replaced the earlier one.");
    case SaveOutcome::End::Unconfirmed:
        return saved()
                + tr("The system could not confirm that it is stored on the disk: %1")
                          .arg(outcome.failure.reason);
    case SaveOutcome::End::Failed:
        return failureMessage(outcome.failure);
    case SaveOutcome::End::Cancelled:
        break;
    }
    return QString();
}

PictureSave::PictureSave(const QImage &picture, const QString &path, QWidget *window)
    : QObject(window)
    , m_window(window)
    , m_save(picture, path, this)
    , m_file(linkEnd(path).value_or(path))
    , m_link(QFileInfo(path).isSymLink() ? path : QString())
{
    // Not modal: Qt drops a close of a window that a modal dialog blocks, and closing the window
    // must stop the save. The window takes no strokes and its buttons do nothing meanwhile, which
    // is what a modal dialog would have seen to.
    m_dialog = new QProgressDialog(window);
    m_dialog->setObjectName(QStringLiteral("saveProgress"));
    m_dialog->setWindowTitle(tr("Saving"));
    // A path or the system's words are shown as they are, never read as rich text.
    m_label = new QLabel(tr("Saving the picture to %1...").arg(shown(m_file)));
    m_label->setTextFormat(Qt::PlainText);
    m_dialog->setLabel(m_label);
    m_dialog->setCancelButtonText(tr("Cancel"));
    m_dialog->setRange(0, int(m_save.size()));
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setMinimumDuration(ProgressDelay);
    // Cancel (the button, Escape or closing the dialog) asks the save to stop; the dialog stays
    // until the save has answered, rather than hiding at once as it would by itself.
    QObject::disconnect(m_dialog, SIGNAL(canceled()), m_dialog, SLOT(cancel()));
    connect(m_dialog, &QProgressDialog::canceled, this,
            [this] { guarded(m_window, [this] { cancel(); }); });
    // Its own timer shows it once ProgressDelay has passed since this first value; a value given
    // before then would have it guess the save's length and show early, also for saves that end
    // soon.
    m_dialog->setValue(0);

    m_ticks.setInterval(50);
    connect(&m_ticks, &QTimer::timeout, this,
            [this] { guarded(m_window, [this] { showProgress(); }); });
    connect(&m_save, &BackgroundSave::finished, this,
            [this] { guarded(m_window, [this] { end(); }); });
    window->installEventFilter(this);
    m_ticks.start();
    m_save.start();
}

PictureSave::~PictureSave()
{
    delete m_dialog;
}

bool PictureSave::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window || event->type() != QEvent::Close)
        return QObject::eventFilter(watched, event);
    m_closeWhenEnded = true;
    cancel();
    event->ignore();
    return true;
}

void PictureSave::cancel()
{
    if (m_cancelAsked)
        return;
    m_cancelAsked = true;
    m_save.cancel();
    m_ticks.stop(); // the dialog no longer follows the save
    if (m_dialog) {
        m_label->setText(tr("Stopping the save..."));
        m_dialog->setCancelButton(nullptr);
    }
}

void PictureSave::showProgress()
{
    if (!m_dialog)
        return;
    const SaveProgress &progress = m_save.progress();
    if (progress.stage == SaveProgress::Stage::Syncing) {
        if (m_dialog->maximum() != 0) {
            m_label->setText(tr("Waiting for the disk to store %1...").arg(shown(m_file)));
            m_dialog->setRange(0, 0); // no measure of how far a sync has got
        }
        return;
    }
    if (m_dialog->isVisible())
        m_dialog->setValue(int(progress.written));
}

void PictureSave::end()
{
    m_ticks.stop();
    m_window->removeEventFilter(this);
    if (m_dialog)
        m_dialog->hide();
    // The user who closed the window is not kept: the earlier file or the whole new one is
    // there either way.
    if (!m_closeWhenEnded) {
        if (const QString told = message(m_save.outcome()); !told.isEmpty())
            reportError(m_window, told);
    }
    emit ended();
    if (m_closeWhenEnded)
        m_window->close();
}
