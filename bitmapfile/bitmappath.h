// Where "Save" writes the bitmap file.
#pragma once

#include <QString>

// The home folder: $HOME when it is set and not empty, else the account's home from the user
// database (`accountHome`), else nothing (an empty string).
QString homeFolder(const QString &homeVariable, const QString &accountHome);

// Where "Save" writes: c:\test.bmp on Windows, test.bmp in the home folder elsewhere. Empty when
// there is no home folder.
QString defaultBitmapPath();
