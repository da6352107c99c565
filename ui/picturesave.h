// One press of "Save" seen through from the window's side. The picture is saved on a thread of
// its own (BackgroundSave) while the window keeps answering. A save that takes longer than
// ProgressDelay shows its progress in a dialog over the window, whose Cancel (or Escape, or
// closing the dialog) asks the save to stop; so does closing the window, which then closes once
// the save has ended. At the end the user is told what became of the picture, unless it was
// saved as asked or cancelled in time.
#pragma once

#include "bitmapfile/backgroundsave.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class QLabel;
class QProgressDialog;
class QWidget;

class PictureSave : public QObject
{
    Q_OBJECT
public:
    static constexpr int ProgressDelay = 500; // ms

    // Starts saving `picture` to `path`; the dialog and the messages belong to `window`.
    PictureSave(const QImage &picture, const QString &path, QWidget *window);
    // Stops the save, if it is still running, and waits for its thread.
    ~PictureSave() override;

signals:
    // The save has ended and the user has been told; the window may take strokes again.
    void ended();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cancel();
    void showProgress();
    void end();
    // What the user is told at the end: nothing when the picture was saved as asked, or the save
    // was cancelled in time.
    QString message(const SaveOutcome &outcome) const;
    static QString failureMessage(const SaveFailure &failure);
    static QString fileLine(const char *sentence, const char *throughLink, const QString &file,
                            const QString &link);

    QWidget *m_window;
    BackgroundSave m_save;
    QString m_file; // the file written, where the path's links lead
    QString m_link; // the path, when it is a link that leads to m_file
    QPointer<QProgressDialog> m_dialog; // the window's child, so that it shows over it
    QLabel *m_label; // the dialog's
    QTimer m_ticks; // brings the dialog up to date with the save
    bool m_cancelAsked = false;
    bool m_closeWhenEnded = false; // the window was closed during the save
};
