#include "cli/CliFiles.h"

#include "vault/MemoryImage.h"

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

// Writes, syncs and closes an open descriptor; the descriptor is closed in every case.
bool _writeSyncClose_helper(int descriptor, const uint8_t* data, qint64 size, int& errorNumber)
{
    bool isWritten = _writeAll_helper(descriptor, data, size, errorNumber);
    if (isWritten && ::fchmod(descriptor, S_IRUSR | S_IWUSR) != 0)
    {
        errorNumber = errno;
        isWritten = false;
    }
    if (isWritten && ::fsync(descriptor) != 0)
    {
        errorNumber = errno;
        isWritten = false;
    }
    if (::close(descriptor) != 0 && isWritten)
    {
        errorNumber = errno;
        isWritten = false;
    }
    return isWritten;
}

// Makes the rename itself durable; a failure here loses nothing already written, so it is not reported.
void _syncDirectory_helper(const QString& directoryPath)
{
    const int descriptor =
        ::open(QFile::encodeName(directoryPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
}

bool _writeNewFile_helper(const QString& filePath, const uint8_t* data, qint64 size, QString& errorMessage)
{
    const QByteArray encodedPath = QFile::encodeName(filePath);
    const int descriptor = ::open(encodedPath.constData(),
                                  O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR);
    if (descriptor < 0)
    {
        errorMessage =
            errno == EEXIST
                ? QStringLiteral("'%1' already exists (use --force to replace it)").arg(filePath)
                : QStringLiteral("cannot create '%1': %2").arg(filePath, _systemErrorText_helper(errno));
        return false;
    }
    int errorNumber = 0;
    if (!_writeSyncClose_helper(descriptor, data, size, errorNumber))
    {
        ::unlink(encodedPath.constData());
        errorMessage =
            QStringLiteral("cannot write '%1': %2").arg(filePath, _systemErrorText_helper(errorNumber));
        return false;
    }
    _syncDirectory_helper(QFileInfo(filePath).absolutePath());
    return true;
}

bool _replaceFile_helper(const QString& filePath, const uint8_t* data, qint64 size, QString& errorMessage)
{
    const QFileInfo fileInfo(filePath);
    if (fileInfo.isDir())
    {
        errorMessage = QStringLiteral("cannot replace '%1': it is a directory").arg(filePath);
        return false;
    }
    const QString directoryPath = fileInfo.absolutePath();
    QByteArray temporaryPath = QFile::encodeName(
        QDir(directoryPath).filePath(QStringLiteral(".%1.XXXXXX").arg(fileInfo.fileName())));
    // mkostemp creates the file exclusively with mode 0600.
    const int descriptor = ::mkostemp(temporaryPath.data(), O_CLOEXEC);
    if (descriptor < 0)
    {
        errorMessage = QStringLiteral("cannot create a temporary file in '%1': %2")
                           .arg(directoryPath, _systemErrorText_helper(errno));
        return false;
    }
    int errorNumber = 0;
    if (!_writeSyncClose_helper(descriptor, data, size, errorNumber))
    {
        ::unlink(temporaryPath.constData());
        errorMessage = QStringLiteral("cannot write '%1': %2")
                           .arg(QFile::decodeName(temporaryPath), _systemErrorText_helper(errorNumber));
        return false;
    }
    if (::rename(temporaryPath.constData(), QFile::encodeName(filePath).constData()) != 0)
    {
        errorNumber = errno;
        ::unlink(temporaryPath.constData());
        errorMessage =
            QStringLiteral("cannot replace '%1': %2").arg(filePath, _systemErrorText_helper(errorNumber));
        return false;
    }
    _syncDirectory_helper(directoryPath);
    return true;
}
} // namespace

bool writeOwnerOnlyFile(const QString& filePath, const uint8_t* data, qint64 size, bool isReplacingAllowed,
                        QString& errorMessage)
{
    if (isReplacingAllowed)
        return _replaceFile_helper(filePath, data, size, errorMessage);
    return _writeNewFile_helper(filePath, data, size, errorMessage);
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
                           .arg(filePath, sizeText)
                           .arg(MEMORY_IMAGE_SIZE);
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
