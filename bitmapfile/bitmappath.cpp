#include "bitmapfile/bitmappath.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

QString homeFolder(const QString &homeVariable, const QString &accountHome)
{
    return homeVariable.isEmpty() ? accountHome : homeVariable;
}

QString defaultBitmapPath()
{
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\test.bmp");
#else
    // QDir::homePath() falls back to the root folder when HOME is unset or empty.
    QString account;
    if (const passwd *entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        account = QFile::decodeName(entry->pw_dir);
    const QString home = homeFolder(qEnvironmentVariable("HOME"), account);
    return home.isEmpty() ? QString() : QDir(home).filePath(QStringLiteral("test.bmp"));
#endif
}
