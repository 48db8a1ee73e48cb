#include "common/OwnerOnlyAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

void restrictFileToOwner(const QString& filePath)
{
    const QFileInfo fileInfo(filePath);
    if (!fileInfo.isAbsolute())
        return;
    QDir().mkpath(fileInfo.path());
    const QByteArray encodedPath = QFile::encodeName(filePath);
    const int descriptor = ::open(encodedPath.constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (descriptor >= 0)
    {
        ::fchmod(descriptor, S_IRUSR | S_IWUSR);
        ::close(descriptor);
    }
}

bool isFolderOwnedAndWritableByUserAlone(const QString& folderPath)
{
    struct stat status;
    if (::stat(QFile::encodeName(folderPath).constData(), &status) != 0)
        return false;
    return S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() &&
           (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}
