// Where "Save" writes, and the task that writes the canvas there whole or not at all.
#pragma once

#include <QImage>
#include <QPromise>
#include <QString>

#include <stop_token>

class QThreadPool;

// Where "Save" writes: test.bmp in the home folder ($HOME when it is set and not empty, else the
// account's home from the user database); empty when there is no home folder.
QString defaultBitmapPath();

// The file a save replaces, settled when Save is pressed: the end of the path's links in its real
// folder. The checks, the rename and the messages are about it, wherever the links lead later.
struct SaveTarget
{
    QString file; // the path itself when its links lead nowhere (in a circle, or too deep)
    QString folder; // the real folder that holds `file`, or its path when that folder is missing
    QString link; // the path given, when it is a link that leads to `file`; empty otherwise
};
SaveTarget saveTargetFor(const QString &path);

// What became of a save. The window words the message.
struct SaveOutcome
{
    enum class End {
        Saved, // the new file is in place and stored
        Cancelled, // stopped when asked, before the new file replaced the earlier one
        Failed, // the earlier file is as it was: `cause` says why
        Unconfirmed, // the new file is in place, but the folder's sync failed: `reason` says why
    };
    enum class Cause {
        NotARegularFile, // a folder, device, pipe or link at the target
        ReadOnlyFile, // the file is marked read-only
        ImmutableFile, // chattr +i: it cannot change at all
        AppendOnlyFile, // chattr +a: it can be added to, not replaced
        FileNotWritable, // this account may not write to the file
        FolderNotWritable, // no new file can be made in the folder; `reason` says why
        FolderKeepsItsFiles, // append-only or immutable: no name in it can be removed or replaced
        System, // a step the system refused (writing, syncing, renaming...); `reason` says why
    };
    End end = End::Saved;
    Cause cause = Cause::System;
    QString reason; // the system's words, where it gave any
};

// The save, run by QtConcurrent::run on saveThreadPool(): the picture as a 24-bit Windows bitmap
// into a new file beside the target, synced, the target judged again, the new file renamed over it
// and the folder synced. Until the rename a failure or a stop (heeded between blocks, after the
// last, just before the rename) leaves the earlier file byte for byte and no new file. A target
// that is not a regular file, or is marked read-only, immutable or append-only, is never opened nor
// replaced. The new file keeps the earlier one's mode, owner and group as far as this account may.
// Progress: the bytes written, then no range during the sync; the result: the end.
void writeBitmapFile(QPromise<SaveOutcome> &promise, std::stop_token stop, const QImage &picture,
                     const SaveTarget &target);

// One thread with a stack of SaveStackSize; started for good with the painting threads.
QThreadPool &saveThreadPool();

// What a save needs beside the canvas: its thread's stack and the block the rows are gathered in.
inline constexpr qsizetype SaveStackSize = qsizetype(1) << 20;
inline constexpr qsizetype SaveBlockSize = qsizetype(1) << 20;

// The size of the file writeBitmapFile writes for a picture of this size.
qint64 bitmapFileSize(QSize picture);
