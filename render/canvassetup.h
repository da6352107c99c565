// The canvas's size for the grid, and writing the canvas to the bitmap file.
#pragma once

#include <settings.h>

#include <QImage>
#include <QSize>
#include <QString>

// SizeX * P by SizeY * P pixels; the products are 16-bit and overflow is an error.
QSize canvasSizeFor(const Settings &settings);

// Where "Save" writes: c:\test.bmp on Windows, test.bmp in the home directory elsewhere.
QString defaultBitmapPath();

// Writes the picture as a 24-bit Windows bitmap. The file is written next to the target and
// renamed over it only when complete, so a failure leaves any earlier file as it was. A
// read-only file is not replaced. Raises a FileWrite error naming the path and the reason.
void SavePicture(const QImage &picture, const QString &path);
