#include "common/OwnerOnlyAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <vector>

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

namespace
{
std::wstring _nativePath_helper(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// The security identifier of the user this process runs as, in a buffer of its own (empty on failure).
std::vector<unsigned char> _currentUser_helper()
{
    std::vector<unsigned char> buffer;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return buffer;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    buffer.resize(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, buffer.data(), size, &size))
        buffer.clear();
    CloseHandle(token);
    return buffer;
}

PSID _userSid_helper(std::vector<unsigned char>& tokenUser)
{
    return tokenUser.empty() ? nullptr : reinterpret_cast<TOKEN_USER*>(tokenUser.data())->User.Sid;
}

bool _isWellKnownSid_helper(PSID sid, WELL_KNOWN_SID_TYPE type)
{
    return IsWellKnownSid(sid, type) != 0;
}

// Whether an access list lets someone other than the user, the system or the administrators have any of
// the given rights. No list at all grants everybody everything.
bool _grantsOthers_helper(const ACL* accessControlList, PSID userSid, ACCESS_MASK rights)
{
    if (!accessControlList)
        return true;
    for (DWORD index = 0; index < accessControlList->AceCount; index++)
    {
        void* entry = nullptr;
        if (!GetAce(const_cast<ACL*>(accessControlList), index, &entry))
            return true;
        const auto* header = static_cast<const ACE_HEADER*>(entry);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE) != 0 ||
            (reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header)->Mask & rights) == 0)
            continue;
        PSID sid = const_cast<DWORD*>(&reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header)->SidStart);
        if (!EqualSid(sid, userSid) && !_isWellKnownSid_helper(sid, WinLocalSystemSid) &&
            !_isWellKnownSid_helper(sid, WinBuiltinAdministratorsSid) &&
            !_isWellKnownSid_helper(sid, WinCreatorOwnerSid) &&
            !_isWellKnownSid_helper(sid, WinCreatorOwnerRightsSid))
            return true;
    }
    return false;
}

// Whether the file or folder is owned by the user and nobody else has any of the rights.
bool _isOwnedAndKeptFromOthers_helper(const std::wstring& nativePath, ACCESS_MASK rights)
{
    std::vector<unsigned char> tokenUser = _currentUser_helper();
    PSID userSid = _userSid_helper(tokenUser);
    if (!userSid)
        return false;
    PSID ownerSid = nullptr;
    PACL accessControlList = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(nativePath.c_str(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &ownerSid, nullptr,
                              &accessControlList, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    const bool isKept =
        ownerSid && EqualSid(ownerSid, userSid) && !_grantsOthers_helper(accessControlList, userSid, rights);
    LocalFree(descriptor);
    return isKept;
}

// A new file holding the bytes, with the owner-only access list from its creation. False when it could not
// be written whole (nothing is then left).
bool _createOwnerOnlyFile_helper(const std::wstring& nativePath, const QByteArray& bytes)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const std::wstring accessList = ownerOnlyAccessList();
    if (accessList.empty() || !ConvertStringSecurityDescriptorToSecurityDescriptorW(
                                  accessList.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    SECURITY_ATTRIBUTES security;
    ZeroMemory(&security, sizeof(security));
    security.nLength = sizeof(security);
    security.lpSecurityDescriptor = descriptor;
    const HANDLE handle = CreateFileW(nativePath.c_str(), GENERIC_WRITE, 0, &security, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    LocalFree(descriptor);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool isWritten =
        bytes.isEmpty() ||
        (WriteFile(handle, bytes.constData(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == static_cast<DWORD>(bytes.size()) && FlushFileBuffers(handle));
    CloseHandle(handle);
    if (!isWritten)
        DeleteFileW(nativePath.c_str());
    return isWritten;
}
} // namespace

std::wstring ownerOnlyAccessList()
{
    // The user's own SID rather than the OWNER RIGHTS one, which Wine does not map to the file's owner (the
    // file then counts as read-only there and cannot be deleted).
    std::vector<unsigned char> tokenUser = _currentUser_helper();
    PSID userSid = _userSid_helper(tokenUser);
    LPWSTR sidText = nullptr;
    if (!userSid || !ConvertSidToStringSidW(userSid, &sidText))
        return std::wstring();
    const std::wstring accessList = std::wstring(L"D:P(A;;FA;;;") + sidText + L")";
    LocalFree(sidText);
    return accessList;
}

void restrictFileToOwner(const QString& filePath)
{
    // The registry path of native settings is no file.
    const QFileInfo fileInfo(filePath);
    if (!fileInfo.isAbsolute())
        return;
    QDir().mkpath(fileInfo.path());
    const std::wstring nativePath = _nativePath_helper(filePath);
    const DWORD attributes = GetFileAttributesW(nativePath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
    {
        _createOwnerOnlyFile_helper(nativePath, QByteArray());
        return;
    }
    if ((attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
        _isOwnedAndKeptFromOthers_helper(nativePath, ~ACCESS_MASK(SYNCHRONIZE)))
        return;
    // A copy made owner-only from its creation replaces the file: changing the access list in place is
    // mapped to other permissions by Wine, which leaves the file readable by everybody there.
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray content = file.readAll();
    file.close();
    const QString temporaryPath = fileInfo.absoluteDir().filePath(
        QStringLiteral(".%1.%2.tmp")
            .arg(fileInfo.fileName())
            .arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0')));
    const std::wstring nativeTemporaryPath = _nativePath_helper(temporaryPath);
    if (_createOwnerOnlyFile_helper(nativeTemporaryPath, content) &&
        !MoveFileExW(nativeTemporaryPath.c_str(), nativePath.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        DeleteFileW(nativeTemporaryPath.c_str());
}

bool isFolderOwnedAndWritableByUserAlone(const QString& folderPath)
{
    if (folderPath.isEmpty())
        return false;
    const std::wstring nativePath = _nativePath_helper(folderPath);
    const DWORD attributes = GetFileAttributesW(nativePath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return false;
    // Rights to add, remove or rename files there, or to change who may.
    return _isOwnedAndKeptFromOthers_helper(nativePath, FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY |
                                                            FILE_DELETE_CHILD | DELETE | WRITE_DAC |
                                                            WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL);
}
