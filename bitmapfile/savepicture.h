// Writing the canvas to the bitmap file, whole or not at all, and why it could not be written.
#pragma once

#include <QImage>
#include <QString>

#include <optional>

// Why a save failed. The window composes the message from it.
struct SaveFailure
{
    enum class Cause {
        NotARegularFile, // not a file at the path (a folder, device, pipe, a link in a circle)
        ReadOnlyFile, // the file is marked read-only
        FolderNotWritable, // no new file can be made in the folder
        FolderAppendOnly, // the folder lets files be added but never replaced
        Write, // writing, flushing, syncing or renaming failed; `reason` says which and why
    };
    Cause cause;
    QString path; // the file, or for the folder causes the folder
    QString reason; // the system's words, where it gave any
};

// Writes the picture as a 24-bit Windows bitmap, whole or not at all: into a temporary file in
// the same folder, every write, the final flush and the sync checked, then renamed over the
// target. On any failure the earlier file stays byte for byte and no temporary file is left.
// A target that is not a regular file (after following links), or is marked read-only, is never
// replaced, and a special file is never opened; both are checked again just before the rename.
std::optional<SaveFailure> SavePicture(const QImage &picture, const QString &path);
