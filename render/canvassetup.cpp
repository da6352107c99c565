#include "canvassetup.h"

#include <numberrules.h>

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

using namespace numberrules;

QSize canvasSizeFor(const Settings &settings)
{
    return QSize(mul16(settings.PixelsPerSquare, settings.SizeX),
                 mul16(settings.SizeY, settings.PixelsPerSquare));
}

QString defaultBitmapPath()
{
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\test.bmp");
#else
    return QDir::home().filePath(QStringLiteral("test.bmp"));
#endif
}

namespace {
[[noreturn]] void fail(const QString &path, const QString &reason)
{
    throw EditorError(ErrorKind::FileWrite,
                      QStringLiteral("The picture could not be saved to %1.\n%2")
                              .arg(QDir::toNativeSeparators(path), reason)
                              .toStdString());
}
} // namespace

void SavePicture(const QImage &picture, const QString &path)
{
    // A file marked read-only is never replaced, even by a user whom the system would let write
    // it (root): the marking is the owner's wish to keep it.
    const QFileInfo existing(path);
    // The mode bits only: the "user" permission already says what this user may do.
    constexpr auto anyWrite
            = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (existing.isFile() && !(existing.permissions() & anyWrite))
        fail(path, QStringLiteral("The file is read-only."));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(path, file.errorString());
    // The writer streams a 32-bit image row by row, so no second full-size copy is made.
    QImageWriter writer(&file, "bmp");
    if (!writer.write(picture)) {
        const QString reason
                = file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
        file.cancelWriting();
        fail(path, reason);
    }
    if (!file.commit())
        fail(path, file.errorString());
}
