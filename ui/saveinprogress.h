// One press of "Save" followed from the window's side: the task (writeBitmapFile) watched through
// a QFutureWatcher, a progress dialog that follows it once the save is expected to take longer
// than half a second, Cancel and the window's close as stop requests, and at the end the message.
#pragma once

#include "bitmapfile/bitmapfile.h"

#include <QFutureWatcher>
#include <QObject>

class QProgressDialog;
class QWidget;

class SaveInProgress : public QObject
{
    Q_OBJECT
public:
    // Starts saving `picture` to `target`; the dialog and the messages belong to `window`.
    SaveInProgress(const QImage &picture, const SaveTarget &target, QWidget *window);
    // Asks the task to stop and does not wait: the task holds its own share of what it uses.
    ~SaveInProgress() override;

    // What the user is told at the end: nothing when saved as asked, or stopped in time.
    static QString message(const SaveOutcome &outcome, const SaveTarget &target, bool stopAsked);

signals:
    // The save has ended and the user has been told; the window may take strokes again.
    void ended();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void stop();
    void end();
    SaveOutcome outcome() const;

    QWidget *m_window;
    const SaveTarget m_target;
    std::stop_source m_stop;
    QFutureWatcher<SaveOutcome> m_watcher;
    QProgressDialog *m_dialog; // the window's child, made (and so deleted) after this one
    bool m_closeWhenEnded = false; // the window was closed during the save
};
