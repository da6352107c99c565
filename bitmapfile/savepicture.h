// Writing the canvas to the bitmap file, whole or not at all, and what became of it.
#pragma once

#include "bitmapfile/saveprogress.h"

#include <QImage>
#include <QString>

#include <optional>

// Why a save did not replace the file, or could not confirm it. The window words the message.
struct SaveFailure
{
    enum class Cause {
        NotARegularFile, // not a file at the path (a folder, device, pipe, a link in a circle)
        ReadOnlyFile, // the file is marked read-only
        ImmutableFile, // the file is marked immutable (chattr +i): it cannot change at all
        AppendOnlyFile, // the file is marked append-only (chattr +a): it cannot be replaced
        FileNotWritable, // this account may not write to the file
        FolderNotWritable, // no new file can be made in the folder; `reason` says why
        FolderAppendOnly, // the folder lets files be added but never replaced
        System, // a step the system refused (writing, syncing, renaming...); `reason` says why
    };
    Cause cause;
    // The file that could not be written (where the links lead), or for the folder causes the
    // folder.
    QString path;
    // The path the save was given, when it is a link that leads to `path`; empty otherwise.
    QString link;
    QString reason; // the system's words, where it gave any
};

struct SaveOutcome
{
    enum class End {
        Saved, // the new file is in place and stored
        Cancelled, // stopped when asked, before the new file replaced the earlier one
        Failed, // the earlier file is as it was: `failure` says why
        Unconfirmed, // the new file is in place, but the folder's sync failed: `failure.reason`
    };
    End end = End::Saved;
    SaveFailure failure {};

    bool replaced() const { return end == End::Saved || end == End::Unconfirmed; }
};

// Writes the picture as a 24-bit Windows bitmap, whole or not at all: into a new file beside the
// target, every write and the sync checked, then renamed over the target and the folder synced.
// On any failure, or a cancel before the rename, the earlier file stays byte for byte and no
// new file is left. A target that is not a regular file (after following links), or is marked
// read-only, immutable or append-only, is never replaced, and a special file is never opened;
// these are checked again just before the rename. The new file keeps the earlier one's mode,
// and its owner and group as far as this account may give them.
// May run on any thread. With a SaveProgress it reports how far it got, and stops when told
// until the rename.
SaveOutcome SavePicture(const QImage &picture, const QString &path,
                        SaveProgress *progress = nullptr);

// Where a save to `path` writes: the end of its links, or nothing when they lead nowhere (in a
// circle, or deeper than the system follows them).
std::optional<QString> linkEnd(const QString &path);

// The size of the file SavePicture writes for the picture.
qint64 bitmapFileSize(QSize picture);
