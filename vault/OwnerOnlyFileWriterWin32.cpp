#include "vault/OwnerOnlyFileWriter.h"

#include "common/OwnerOnlyAccess.h"

#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QRandomGenerator>

#include <algorithm>

#include <windows.h>

#include <sddl.h>

namespace
{
std::function<void(const QString&)> afterCheckHookForTesting;

QString _systemErrorText_helper(DWORD errorCode)
{
    return qt_error_string(static_cast<int>(errorCode));
}

std::wstring _nativePath_helper(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// Deletes the temporary file through its own handle, opened with the right to delete: a new access list of
// the owner alone may not grant a later DeleteFileW what the creating handle holds.
void _discardTemporaryFile_helper(HANDLE handle, const QString& path)
{
    FILE_DISPOSITION_INFO disposition;
    disposition.DeleteFile = TRUE;
    const bool isMarked =
        SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof(disposition)) != 0;
    CloseHandle(handle);
    if (!isMarked)
        DeleteFileW(_nativePath_helper(path).c_str());
}
} // namespace

OwnerOnlyFileWriter::OwnerOnlyFileWriter(const QString& filePath) : _filePath(filePath) {}

OwnerOnlyFileWriter::~OwnerOnlyFileWriter()
{
    if (_temporaryHandle)
        _discardTemporaryFile_helper(static_cast<HANDLE>(_temporaryHandle), _temporaryPath);
}

bool OwnerOnlyFileWriter::_fail(const QString& errorMessage)
{
    _errorMessage = errorMessage;
    _isFailed = true;
    if (_temporaryHandle)
    {
        _discardTemporaryFile_helper(static_cast<HANDLE>(_temporaryHandle), _temporaryPath);
        _temporaryHandle = nullptr;
    }
    return false;
}

void OwnerOnlyFileWriter::setAfterCheckHookForTesting(std::function<void(const QString&)> hook)
{
    afterCheckHookForTesting = std::move(hook);
}

bool OwnerOnlyFileWriter::open(bool isReplacingAllowed)
{
    _errorMessage.clear();
    _isFailed = false;
    _isRefusedAsExisting = false;
    _isReplacingAllowed = isReplacingAllowed;

    const DWORD attributes = GetFileAttributesW(_nativePath_helper(_filePath).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
    {
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return _fail(QObject::tr("it is a symbolic link, which is never written through"));
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return _fail(QObject::tr("it is a folder"));
        if (!isReplacingAllowed)
        {
            _isRefusedAsExisting = true;
            return _fail(QObject::tr("the file already exists"));
        }
    }
    else if (GetLastError() != ERROR_FILE_NOT_FOUND)
    {
        return _fail(_systemErrorText_helper(GetLastError()));
    }
    if (afterCheckHookForTesting)
        afterCheckHookForTesting(_filePath);

    // Owner-only from its first byte: a protected access list with one entry, full access for the user.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const std::wstring accessList = ownerOnlyAccessList();
    if (accessList.empty() || !ConvertStringSecurityDescriptorToSecurityDescriptorW(
                                  accessList.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return _fail(QObject::tr("cannot make the file readable by its owner only (%1)")
                         .arg(_systemErrorText_helper(GetLastError())));
    SECURITY_ATTRIBUTES security;
    ZeroMemory(&security, sizeof(security));
    security.nLength = sizeof(security);
    security.lpSecurityDescriptor = descriptor;

    const QFileInfo fileInfo(_filePath);
    HANDLE handle = INVALID_HANDLE_VALUE;
    DWORD errorCode = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 16 && errorCode == ERROR_FILE_EXISTS; attempt++)
    {
        _temporaryPath = fileInfo.absoluteDir().filePath(
            QStringLiteral(".%1.%2.tmp")
                .arg(fileInfo.fileName())
                .arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0')));
        handle = CreateFileW(_nativePath_helper(_temporaryPath).c_str(), GENERIC_WRITE | DELETE, 0, &security,
                             CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
        errorCode = handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    }
    LocalFree(descriptor);
    if (handle == INVALID_HANDLE_VALUE)
        return _fail(QObject::tr("cannot create a temporary file in its folder (%1)")
                         .arg(_systemErrorText_helper(errorCode)));
    _temporaryHandle = handle;
    return true;
}

bool OwnerOnlyFileWriter::write(const char* data, qint64 size)
{
    if (_isFailed || !_temporaryHandle)
        return false;
    while (size > 0)
    {
        const DWORD chunk = static_cast<DWORD>(std::min<qint64>(size, 1 << 30));
        DWORD written = 0;
        if (!WriteFile(static_cast<HANDLE>(_temporaryHandle), data, chunk, &written, nullptr) || written == 0)
            return _fail(QObject::tr("writing failed (%1); the previous file is left untouched")
                             .arg(_systemErrorText_helper(GetLastError())));
        data += written;
        size -= written;
    }
    return true;
}

bool OwnerOnlyFileWriter::write(const QByteArray& bytes)
{
    return write(bytes.constData(), bytes.size());
}

bool OwnerOnlyFileWriter::commit()
{
    if (_isFailed || !_temporaryHandle)
        return false;
    HANDLE handle = static_cast<HANDLE>(_temporaryHandle);
    const bool isFlushed = FlushFileBuffers(handle) != 0;
    const DWORD flushError = GetLastError();
    CloseHandle(handle);
    _temporaryHandle = nullptr;
    // MoveFileExW rather than ReplaceFileW: the latter would give the new file the access list of the one
    // it replaces, which may let others read it. Without the right to replace, a file that appeared since
    // open() is kept: the move then fails as existing.
    const DWORD moveFlags = MOVEFILE_WRITE_THROUGH | (_isReplacingAllowed ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!isFlushed || !MoveFileExW(_nativePath_helper(_temporaryPath).c_str(),
                                   _nativePath_helper(_filePath).c_str(), moveFlags))
    {
        const DWORD errorCode = isFlushed ? GetLastError() : flushError;
        DeleteFileW(_nativePath_helper(_temporaryPath).c_str());
        _isFailed = true;
        if (errorCode == ERROR_ALREADY_EXISTS || errorCode == ERROR_FILE_EXISTS)
        {
            _isRefusedAsExisting = true;
            _errorMessage = QObject::tr("the file already exists");
            return false;
        }
        _errorMessage = QObject::tr("writing failed (%1); the previous file is left untouched")
                            .arg(_systemErrorText_helper(errorCode));
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
