// The canvas's size for the grid, and writing the canvas to the bitmap file.
#pragma once

#include <grid.h>

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

// SizeX * P by SizeY * P pixels.
QSize canvasSizeFor(const Settings &settings);

// The home folder: $HOME when it is set and not empty, else the account's home from the user
// database (`accountHome`), else nothing (an empty string).
QString homeFolder(const QString &homeVariable, const QString &accountHome);

// Where "Save" writes: c:\test.bmp on Windows, test.bmp in the home folder elsewhere. Empty when
// there is no home folder.
QString defaultBitmapPath();

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
