#include "vault/OwnerOnlyFileWriter.h"

#include <QFile>
#include <QObject>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

OwnerOnlyFileWriter::OwnerOnlyFileWriter(const QString& filePath) : _filePath(filePath), _file(filePath)
{
    // Writing in place would bring back the half-written file this class exists to avoid.
    _file.setDirectWriteFallback(false);
}

OwnerOnlyFileWriter::~OwnerOnlyFileWriter()
{
    if (_file.isOpen())
        _file.cancelWriting();
}

bool OwnerOnlyFileWriter::_fail(const QString& errorMessage)
{
    _errorMessage = errorMessage;
    _isFailed = true;
    if (_file.isOpen())
        _file.cancelWriting();
    return false;
}

bool OwnerOnlyFileWriter::open(bool isReplacingAllowed)
{
    _errorMessage.clear();
    _isFailed = false;
    _isRefusedAsExisting = false;

    // QSaveFile follows a symbolic link and would write a FIFO or device in place: checked first.
    struct stat status;
    if (::lstat(QFile::encodeName(_filePath).constData(), &status) == 0)
    {
        if (S_ISLNK(status.st_mode))
            return _fail(QObject::tr("it is a symbolic link, which is never written through"));
        if (S_ISDIR(status.st_mode))
            return _fail(QObject::tr("it is a folder"));
        if (!S_ISREG(status.st_mode))
            return _fail(QObject::tr("it is not a regular file (a pipe or a device)"));
        if (!isReplacingAllowed)
        {
            _isRefusedAsExisting = true;
            return _fail(QObject::tr("the file already exists"));
        }
    }
    else if (errno != ENOENT)
    {
        return _fail(QString::fromLocal8Bit(std::strerror(errno)));
    }

    // The temporary file is created under this mask so that it is owner-only from its first byte;
    // QSaveFile would otherwise create a new file 0666 minus the umask.
    const mode_t previousMask = ::umask(S_IRWXG | S_IRWXO);
    // Unbuffered: QSaveFile::commit() does not notice a failure of the final flush of its own buffer, so
    // every write goes to the file at once and is checked here.
    const bool isOpened = _file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    ::umask(previousMask);
    if (!isOpened)
        return _fail(
            QObject::tr("cannot create a temporary file in its folder (%1)").arg(_file.errorString()));
    // QSaveFile gives the temporary file the permissions of the file it replaces.
    if (!_file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return _fail(
            QObject::tr("cannot make the file readable by its owner only (%1)").arg(_file.errorString()));
    return true;
}

bool OwnerOnlyFileWriter::write(const char* data, qint64 size)
{
    if (_isFailed || !_file.isOpen())
        return false;
    if (_file.write(data, size) != size)
        return _fail(
            QObject::tr("writing failed (%1); the previous file is left untouched").arg(_file.errorString()));
    return true;
}

bool OwnerOnlyFileWriter::write(const QByteArray& bytes)
{
    return write(bytes.constData(), bytes.size());
}

bool OwnerOnlyFileWriter::commit()
{
    if (_isFailed || !_file.isOpen())
        return false;
    // The sync and the rename happen here.
    if (!_file.flush() || !_file.commit())
    {
        _errorMessage =
            QObject::tr("writing failed (%1); the previous file is left untouched").arg(_file.errorString());
        _isFailed = true;
        return false;
    }
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
