#include "vault/MemoryImageFile.h"

#include "vault/MemoryImage.h"

#include <QFile>
#include <QObject>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Windows opens files as text unless told otherwise; elsewhere the flags may not exist.
#ifndef O_BINARY
#define O_BINARY 0
#endif
#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif

bool readMemoryImageFile(const QString& filePath, uint8_t* image, QString& errorMessage)
{
    const int descriptor = ::open(QFile::encodeName(filePath).constData(), O_RDONLY | O_BINARY | O_CLOEXEC);
    if (descriptor < 0)
    {
        errorMessage =
            QObject::tr("cannot open '%1': %2").arg(filePath, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // One byte more than an image tells a longer file from an exact one, whatever kind of file it is.
    qint64 total = 0;
    uint8_t extraByte = 0;
    bool isReadFailed = false;
    while (total <= MEMORY_IMAGE_SIZE)
    {
        uint8_t* target = total < MEMORY_IMAGE_SIZE ? image + total : &extraByte;
        const qint64 wanted = total < MEMORY_IMAGE_SIZE ? MEMORY_IMAGE_SIZE - total : 1;
        const ssize_t count = ::read(descriptor, target, static_cast<size_t>(wanted));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
        {
            errorMessage = QObject::tr("cannot read '%1': %2")
                               .arg(filePath, QString::fromLocal8Bit(std::strerror(errno)));
            isReadFailed = true;
            break;
        }
        if (count == 0)
            break;
        total += count;
    }
    struct stat status;
    const bool isStatusKnown = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    ::close(descriptor);
    if (isReadFailed)
        return false;
    if (total != MEMORY_IMAGE_SIZE)
    {
        const QString sizeText = isStatusKnown ? QString::number(status.st_size)
                                 : total > MEMORY_IMAGE_SIZE
                                     ? QObject::tr("more than %1").arg(MEMORY_IMAGE_SIZE)
                                     : QString::number(total);
        errorMessage = QObject::tr("'%1' is not a memory image: it holds %2 bytes instead of %3")
                           .arg(filePath, sizeText, QString::number(MEMORY_IMAGE_SIZE));
        return false;
    }
    return true;
}
