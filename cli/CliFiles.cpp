#include "cli/CliFiles.h"

#include "vault/MemoryImage.h"
#include "vault/OwnerOnlyFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
QString _systemErrorText_helper(int errorNumber)
{
    return QString::fromLocal8Bit(strerror(errorNumber));
}

bool _writeAll_helper(int descriptor, const uint8_t* data, qint64 size, int& errorNumber)
{
    while (size > 0)
    {
        const ssize_t written = ::write(descriptor, data, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
        {
            errorNumber = written < 0 ? errno : EIO;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

} // namespace

bool writeOwnerOnlyFile(const QString& filePath, const uint8_t* data, qint64 size, bool isReplacingAllowed,
                        QString& errorMessage)
{
    OwnerOnlyFileWriter writer(filePath);
    if (writer.open(isReplacingAllowed) && writer.write(reinterpret_cast<const char*>(data), size) &&
        writer.commit())
        return true;
    errorMessage = describeFileWriteFailure(filePath, writer.errorMessage(), writer.isRefusedAsExisting());
    return false;
}

QString describeFileWriteFailure(const QString& filePath, const QString& reason, bool isRefusedAsExisting)
{
    if (isRefusedAsExisting)
        return QStringLiteral("'%1' already exists (use --force to replace it)").arg(filePath);
    return QStringLiteral("cannot write '%1': %2").arg(filePath, reason);
}

bool readMemoryImageFile(const QString& filePath, uint8_t* image, QString& errorMessage)
{
    const int descriptor = ::open(QFile::encodeName(filePath).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
    {
        errorMessage = QStringLiteral("cannot open '%1': %2").arg(filePath, _systemErrorText_helper(errno));
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
            errorMessage =
                QStringLiteral("cannot read '%1': %2").arg(filePath, _systemErrorText_helper(errno));
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
                                     ? QStringLiteral("more than %1").arg(MEMORY_IMAGE_SIZE)
                                     : QString::number(total);
        errorMessage = QStringLiteral("'%1' is not a memory image: it holds %2 bytes instead of %3")
                           .arg(filePath, sizeText, QString::number(MEMORY_IMAGE_SIZE));
        return false;
    }
    return true;
}

bool writeStandardOutput(const char* data, qint64 size, QString& errorMessage)
{
    int errorNumber = 0;
    if (!_writeAll_helper(STDOUT_FILENO, reinterpret_cast<const uint8_t*>(data), size, errorNumber))
    {
        errorMessage =
            QStringLiteral("cannot write to standard output: %1").arg(_systemErrorText_helper(errorNumber));
        return false;
    }
    return true;
}

bool pathExists(const QString& filePath)
{
    struct stat status;
    return ::lstat(QFile::encodeName(filePath).constData(), &status) == 0;
}
