#include "vault/OwnerOnlyFileWriter.h"

#include "common/SystemRandom.h"

#include <QFile>
#include <QFileInfo>
#include <QObject>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
std::function<void(const QString&)> afterCheckHookForTesting;

QString _systemError_helper(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

// ".<name>.<16 hex digits>": hidden, and unguessable so that nobody prepares it in a shared folder.
QByteArray _temporaryFileName_helper(const QByteArray& fileName)
{
    quint64 suffix = 0;
    if (fillSystemRandomBytes(&suffix, sizeof(suffix)) != 0)
        return QByteArray();
    return '.' + fileName + '.' + QByteArray::number(suffix, 16).rightJustified(16, '0');
}
} // namespace

void OwnerOnlyFileWriter::setAfterCheckHookForTesting(std::function<void(const QString&)> hook)
{
    afterCheckHookForTesting = std::move(hook);
}

OwnerOnlyFileWriter::OwnerOnlyFileWriter(const QString& filePath) : filePath(filePath) {}

OwnerOnlyFileWriter::~OwnerOnlyFileWriter()
{
    discardTemporaryFile();
    if (directoryDescriptor >= 0)
        ::close(directoryDescriptor);
}

void OwnerOnlyFileWriter::discardTemporaryFile()
{
    if (fileDescriptor < 0)
        return;
    ::close(fileDescriptor);
    fileDescriptor = -1;
    ::unlinkat(directoryDescriptor, temporaryFileName.constData(), 0);
}

bool OwnerOnlyFileWriter::fail(const QString& errorMessage)
{
    _errorMessage = errorMessage;
    isFailed = true;
    discardTemporaryFile();
    return false;
}

bool OwnerOnlyFileWriter::open(bool isReplacingAllowed)
{
    _errorMessage.clear();
    isFailed = false;
    _isRefusedAsExisting = false;
    this->isReplacingAllowed = isReplacingAllowed;
    discardTemporaryFile();

    const QFileInfo fileInfo(filePath);
    encodedFileName = QFile::encodeName(fileInfo.fileName());
    if (directoryDescriptor >= 0)
        ::close(directoryDescriptor);
    directoryDescriptor =
        ::open(QFile::encodeName(fileInfo.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directoryDescriptor < 0 || encodedFileName.isEmpty())
        return fail(QObject::tr("cannot create a temporary file in its folder (%1)")
                        .arg(_systemError_helper(directoryDescriptor < 0 ? errno : EISDIR)));

    // Checked for the messages; the rename in commit() is what guarantees that no link is followed.
    struct stat status;
    if (::fstatat(directoryDescriptor, encodedFileName.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0)
    {
        if (S_ISLNK(status.st_mode))
            return fail(QObject::tr("it is a symbolic link, which is never written through"));
        if (S_ISDIR(status.st_mode))
            return fail(QObject::tr("it is a folder"));
        if (!S_ISREG(status.st_mode))
            return fail(QObject::tr("it is not a regular file (a pipe or a device)"));
        if (!isReplacingAllowed)
        {
            _isRefusedAsExisting = true;
            return fail(QObject::tr("the file already exists"));
        }
    }
    else if (errno != ENOENT)
    {
        return fail(_systemError_helper(errno));
    }
    if (afterCheckHookForTesting)
        afterCheckHookForTesting(filePath);

    temporaryFileName = _temporaryFileName_helper(encodedFileName);
    // Owner-only from its creation, whatever the umask; O_EXCL|O_NOFOLLOW: never an existing file or link.
    fileDescriptor = temporaryFileName.isEmpty()
                         ? -1
                         : ::openat(directoryDescriptor, temporaryFileName.constData(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fileDescriptor < 0)
        return fail(
            QObject::tr("cannot create a temporary file in its folder (%1)").arg(_systemError_helper(errno)));
    return true;
}

bool OwnerOnlyFileWriter::write(const char* data, qint64 size)
{
    if (isFailed || fileDescriptor < 0)
        return false;
    qint64 written = 0;
    while (written < size)
    {
        const ssize_t result = ::write(fileDescriptor, data + written, static_cast<size_t>(size - written));
        if (result < 0 && errno == EINTR)
            continue;
        if (result <= 0)
            return fail(QObject::tr("writing failed (%1); the previous file is left untouched")
                            .arg(_systemError_helper(result < 0 ? errno : ENOSPC)));
        written += result;
    }
    return true;
}

bool OwnerOnlyFileWriter::write(const QByteArray& bytes)
{
    return write(bytes.constData(), bytes.size());
}

bool OwnerOnlyFileWriter::commit()
{
    if (isFailed || fileDescriptor < 0)
        return false;
    if (::fsync(fileDescriptor) != 0)
        return fail(QObject::tr("writing failed (%1); the previous file is left untouched")
                        .arg(_systemError_helper(errno)));
    ::close(fileDescriptor);
    fileDescriptor = -1;
    const char* temporaryName = temporaryFileName.constData();
    const char* finalName = encodedFileName.constData();
    if (isReplacingAllowed)
    {
        // A rename replaces the name itself: whatever was put there meanwhile, even a link, is not followed.
        if (::renameat(directoryDescriptor, temporaryName, directoryDescriptor, finalName) != 0)
        {
            const int errorNumber = errno;
            ::unlinkat(directoryDescriptor, temporaryName, 0);
            return fail(QObject::tr("writing failed (%1); the previous file is left untouched")
                            .arg(_systemError_helper(errorNumber)));
        }
    }
    else
    {
        // A hard link never replaces anything: a file or link that appeared since open() is kept.
        const int linkResult =
            ::linkat(directoryDescriptor, temporaryName, directoryDescriptor, finalName, 0);
        const int errorNumber = errno;
        ::unlinkat(directoryDescriptor, temporaryName, 0);
        if (linkResult != 0)
        {
            _isRefusedAsExisting = errorNumber == EEXIST;
            return fail(errorNumber == EEXIST ? QObject::tr("the file already exists")
                                              : QObject::tr("writing failed (%1); the previous file is left "
                                                            "untouched")
                                                    .arg(_systemError_helper(errorNumber)));
        }
    }
    // The new name must outlive a crash too.
    ::fsync(directoryDescriptor);
    return true;
}

QString OwnerOnlyFileWriter::errorMessage() const
{
    return _errorMessage;
}

bool OwnerOnlyFileWriter::isRefusedAsExisting() const
{
    return _isRefusedAsExisting;
}
