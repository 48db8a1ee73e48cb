#include "csv/CsvExport.h"

#include "vault/SecureMemory.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace
{
// One record as one line of the own layout: five quoted fields, inner quotes doubled, a line feed at the end.
QByteArray _buildRecordLine_helper(const PasswordRecord& password)
{
    qsizetype length = 16;
    for (int field = 0; field < PasswordRecord::FIELD_COUNT; field++)
        length += password.field(field).size() * 2;

    QString line;
    line.reserve(length);
    for (int field = 0; field < PasswordRecord::FIELD_COUNT; field++)
    {
        line.append(u'"');
        for (QChar character : password.field(field))
        {
            if (character == u'"')
                line.append(u'"');
            line.append(character);
        }
        line.append(u'"');
        if (field < PasswordRecord::FIELD_COUNT - 1)
            line.append(u',');
    }
    line.append(u'\n');

    QByteArray bytes = line.toUtf8();
    secureClearString(line);
    return bytes;
}

#ifdef Q_OS_UNIX
// Opens the file for writing so that nobody but its owner can read what is written: a new file is created
// with mode 0600, an existing regular file is switched to 0600 before it is emptied (so a failure leaves it
// as it was). Devices such as /dev/full are written as they are. Returns -1 with errorMessage set on failure.
int _openOwnerOnlyFile_helper(const QString& fileName, QFile& file, QString& errorMessage)
{
    const QByteArray encodedFileName = QFile::encodeName(fileName);
    const int descriptor =
        ::open(encodedFileName.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (descriptor < 0)
    {
        errorMessage = qt_error_string(errno);
        return -1;
    }

    struct stat status;
    if (::fstat(descriptor, &status) != 0 ||
        (S_ISREG(status.st_mode) &&
         (::fchmod(descriptor, S_IRUSR | S_IWUSR) != 0 || ::ftruncate(descriptor, 0) != 0)))
    {
        errorMessage = qt_error_string(errno);
        ::close(descriptor);
        return -1;
    }

    if (!file.open(descriptor, QIODevice::WriteOnly | QIODevice::Text, QFileDevice::AutoCloseHandle))
    {
        errorMessage = file.errorString();
        ::close(descriptor);
        return -1;
    }
    return 0;
}
#else
int _openOwnerOnlyFile_helper(const QString& fileName, QFile& file, QString& errorMessage)
{
    file.setFileName(fileName);
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text, ownerOnly) || !file.setPermissions(ownerOnly))
    {
        errorMessage = file.errorString();
        file.close();
        return -1;
    }
    return 0;
}
#endif
} // namespace

QByteArray exportCSVText(const QList<PasswordRecord>& passwords)
{
    QByteArray text;
    for (const PasswordRecord& password : passwords)
    {
        QByteArray line = _buildRecordLine_helper(password);
        text.append(line);
        secureClearByteArray(line);
    }
    return text;
}

int exportCSVFile(const QString& fileName, const QList<PasswordRecord>& passwords, QString& errorMessage)
{
    QFile file;
    if (_openOwnerOnlyFile_helper(fileName, file, errorMessage) != 0)
        return -1;

    // The line feeds go through the text-mode device, which writes the platform's line end.
    for (const PasswordRecord& password : passwords)
    {
        QByteArray line = _buildRecordLine_helper(password);
        const qint64 writtenSize = file.write(line);
        const bool isWritten = writtenSize == line.size();
        secureClearByteArray(line);
        if (!isWritten)
        {
            errorMessage = file.errorString();
            file.close();
            return -1;
        }
    }

    // Buffered data reach the disk only here: a full disk shows up now, not in write().
    const bool isFlushed = file.flush();
    if (!isFlushed)
    {
        errorMessage = file.errorString();
        file.close();
        return -1;
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
    {
        errorMessage = file.errorString();
        return -1;
    }

    errorMessage.clear();
    return 0;
}
