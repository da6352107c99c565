// Writing the canvas to the bitmap file, whole or not at all, and why it could not be written.
#pragma once

#include "bitmapfile/saveprogress.h"

#include <QImage>
#include <QString>

#include <optional>

// Why a save did not replace the file. The window composes the message from it.
struct SaveFailure
{
    enum class Cause {
        NotARegularFile, // not a file at the path (a folder, device, pipe, a link in a circle)
        ReadOnlyFile, // the file is marked read-only
        ImmutableFile, // the file is marked immutable (chattr +i): it cannot change at all
        AppendOnlyFile, // the file is marked append-only (chattr +a): it cannot be replaced
        FileNotWritable, // this account may not write to the file
        FolderNotWritable, // no new file can be made in the folder
        FolderAppendOnly, // the folder lets files be added but never replaced
        Write, // writing, flushing, syncing or renaming failed; `reason` says which and why
        Cancelled, // the window asked the save to stop; nothing went wrong
    };
    Cause cause;
    // The file that could not be written (where the links lead), or for the folder causes the
    // folder.
    QString path;
    // The path the save was given, when it is a link that leads to `path`; empty otherwise.
    QString link;
    QString reason; // the system's words, where it gave any
};

// Writes the picture as a 24-bit Windows bitmap, whole or not at all: into a temporary file in
// the same folder, every write, the final flush and the sync checked, then renamed over the
// target. On any failure the earlier file stays byte for byte and no temporary file is left.
// A target that is not a regular file (after following links), or is marked read-only,
// immutable or append-only, is never replaced, and a special file is never opened; these are
// checked again just before the rename. The new file keeps the earlier one's permissions, and
// its owner and group as far as this account may give them.
// May run on any thread. With a SaveProgress it reports how far it got, and stops when told,
// leaving everything as a failure would (the cause is then Cancelled).
std::optional<SaveFailure> SavePicture(const QImage &picture, const QString &path,
                                       SaveProgress *progress = nullptr);

// The size of the file SavePicture writes for the picture.
qint64 bitmapFileSize(QSize picture);
