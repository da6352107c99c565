// One save run on a thread of its own, so that the window keeps answering while the file is
// written and synced; its outcome is handed back on the thread that started it.
#pragma once

#include "bitmapfile/savepicture.h"
#include "bitmapfile/saveprogress.h"

#include <QObject>

#include <memory>

class QThread;

class BackgroundSave : public QObject
{
    Q_OBJECT
public:
    // The picture is kept as it is now (QImage shares its pixels until one side changes them).
    BackgroundSave(const QImage &picture, const QString &path, QObject *parent = nullptr);
    // Cancels the save and waits for its thread: nothing the save uses outlives it, and the
    // earlier file stays as it was unless the rename had already begun.
    ~BackgroundSave() override;

    // Starts the save. When the system cannot start a thread, the save runs here and now, as
    // it would without this class; finished() comes all the same, from the event loop.
    void start();
    // Asks the save to stop at its next check (between blocks, around the sync, just before the
    // rename); finished() follows, with Cancelled as the outcome unless it was too late.
    void cancel();

    const QString &path() const;
    const SaveProgress &progress() const;
    // The size of the file being written: what progress().written grows to.
    qint64 size() const;
    // What became of the save, once finished() has come.
    const SaveOutcome &outcome() const;

signals:
    void finished();

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
    QThread *m_thread = nullptr;
};
