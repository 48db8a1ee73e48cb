#include "cli/CliFiles.h"

#include "vault/MemoryImage.h"
#include "vault/OwnerOnlyFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
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
    // A symbolic link counts even when it leads nowhere.
    const QFileInfo fileInfo(filePath);
    return fileInfo.exists() || fileInfo.isSymLink();
}
