// The contract of each platform seam, checked on whichever system the tests are built for (Linux in
// ctest, Windows under Wine by scripts/test-windows): text line ends of CSV exports, the all-or-nothing
// file writer, owner-only files and folders, the description of Windows COM ports from their device instance
// ids, and what every password rating must recognise (Windows rates with a reduced rating of its own).

#include "common/OwnerOnlyAccess.h"
#include "common/TextLineEnds.h"
#include "csv/CsvExport.h"
#include "device/DeviceEnumeration.h"
#include "device/SystemSerialPorts.h"
#include "passwordtools/PasswordRating.h"
#include "passwordtools/PasswordRatingScope.h"
#include "vault/OwnerOnlyFileWriter.h"

#include <QDir>
#include <QtTest>

#ifdef Q_OS_WIN
#include <vector>

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#else
#include <sys/stat.h>
#endif

namespace
{
QByteArray _fileContent_helper(const QString& filePath)
{
    QFile file(filePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

#ifdef Q_OS_WIN
// Whether the access list of a file or folder grants anything to somebody other than the current user, the
// system or the administrators (who may always read everything; Wine lists the system on every file).
bool _isAccessibleToOthers_helper(const QString& path)
{
    HANDLE token = nullptr;
    DWORD size = 0;
    std::vector<unsigned char> tokenUser;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
    {
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        tokenUser.resize(size);
        GetTokenInformation(token, TokenUser, tokenUser.data(), size, &size);
        CloseHandle(token);
    }
    PACL accessList = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (tokenUser.empty() ||
        GetNamedSecurityInfoW(QDir::toNativeSeparators(path).toStdWString().c_str(), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION, nullptr, nullptr, &accessList, nullptr,
                              &descriptor) != ERROR_SUCCESS)
        return true;
    bool isAccessible = accessList == nullptr;
    for (DWORD index = 0; !isAccessible && index < accessList->AceCount; index++)
    {
        void* entry = nullptr;
        PSID sid =
            GetAce(accessList, index, &entry) ? &static_cast<ACCESS_ALLOWED_ACE*>(entry)->SidStart : nullptr;
        isAccessible = !sid || (!EqualSid(sid, reinterpret_cast<TOKEN_USER*>(tokenUser.data())->User.Sid) &&
                                !IsWellKnownSid(sid, WinLocalSystemSid) &&
                                !IsWellKnownSid(sid, WinBuiltinAdministratorsSid));
    }
    LocalFree(descriptor);
    return isAccessible;
}

// Lets everybody write there, beside the user.
bool _openToEverybody_helper(const QString& path)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const std::wstring accessList = ownerOnlyAccessList() + L"(A;;FA;;;WD)";
    PACL list = nullptr;
    BOOL isPresent = FALSE;
    BOOL isDefaulted = FALSE;
    bool isDone = ConvertStringSecurityDescriptorToSecurityDescriptorW(accessList.c_str(), SDDL_REVISION_1,
                                                                       &descriptor, nullptr) &&
                  GetSecurityDescriptorDacl(descriptor, &isPresent, &list, &isDefaulted);
    std::wstring nativePath = QDir::toNativeSeparators(path).toStdWString();
    isDone = isDone && SetNamedSecurityInfoW(nativePath.data(), SE_FILE_OBJECT,
                                             DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                             nullptr, nullptr, list, nullptr) == ERROR_SUCCESS;
    LocalFree(descriptor);
    return isDone;
}
#else
bool _isAccessibleToOthers_helper(const QString& path)
{
    struct stat status;
    return ::stat(QFile::encodeName(path).constData(), &status) != 0 || (status.st_mode & 077) != 0;
}

bool _openToEverybody_helper(const QString& path)
{
    return QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ReadOther |
                                           QFileDevice::WriteOther | QFileDevice::ReadGroup |
                                           QFileDevice::WriteGroup);
}
#endif

bool _write_helper(const QString& filePath, const QByteArray& content, bool isReplacingAllowed)
{
    OwnerOnlyFileWriter writer(filePath);
    return writer.open(isReplacingAllowed) && writer.write(content) && writer.commit();
}
} // namespace

class TestPlatformSeams : public QObject
{
    Q_OBJECT

private slots:
    void csvLinesEndWithTheSystemsLineEnd();
    void fileWriterReplacesAllOrNothing();
    void fileWriterRefusesFolders();
    void fileWriterKeepsAFileThatAppearedMeanwhile();
    void ownerOnlyFilesAndFolders();
    void windowsPortsAreDescribedFromTheirInstanceIds_data();
    void windowsPortsAreDescribedFromTheirInstanceIds();
    void everyRatingFindsTheCommonestPatterns_data();
    void everyRatingFindsTheCommonestPatterns();

private:
    QTemporaryDir directory;
};

void TestPlatformSeams::csvLinesEndWithTheSystemsLineEnd()
{
#ifdef Q_OS_WIN
    const QByteArray lineEnd = "\r\n";
#else
    const QByteArray lineEnd = "\n";
#endif
    QCOMPARE(QByteArray(platformTextLineEnd().data(), platformTextLineEnd().size()), lineEnd);
    const QList<PasswordRecord> records = {PasswordRecord{"Mail", "joe", "pw", "", "two\nlines"},
                                           PasswordRecord{"Bank", "", "", "", ""}};
    // Line feeds inside a field take the system's line end too, as a text-mode file writes them.
    const QByteArray expected = "\"Mail\",\"joe\",\"pw\",\"\",\"two" + lineEnd + "lines\"" + lineEnd +
                                "\"Bank\",\"\",\"\",\"\",\"\"" + lineEnd;
    QCOMPARE(exportCSVText(records), expected);
    const QString filePath = directory.filePath(QStringLiteral("line ends.csv"));
    QString errorMessage;
    QCOMPARE(exportCSVFile(filePath, records, false, errorMessage), 0);
    QCOMPARE(_fileContent_helper(filePath), expected);
}

void TestPlatformSeams::fileWriterReplacesAllOrNothing()
{
    // A folder of its own: the test counts the files in it.
    const QTemporaryDir folder;
    const QString filePath = folder.filePath(QStringLiteral("image.bin"));
    QVERIFY(_write_helper(filePath, "first", false));
    QCOMPARE(_fileContent_helper(filePath), QByteArray("first"));

    // An existing file is replaced only when allowed.
    OwnerOnlyFileWriter refused(filePath);
    QVERIFY(!refused.open(false));
    QVERIFY(refused.isRefusedAsExisting());
    QCOMPARE(refused.errorMessage(), QStringLiteral("the file already exists"));
    QCOMPARE(_fileContent_helper(filePath), QByteArray("first"));

    // A writer dropped before its commit leaves the previous content and no temporary file.
    {
        OwnerOnlyFileWriter abandoned(filePath);
        QVERIFY(abandoned.open(true));
        QVERIFY(abandoned.write(QByteArray("half")));
    }
    QCOMPARE(_fileContent_helper(filePath), QByteArray("first"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).join(u' '),
             QStringLiteral("image.bin"));

    QVERIFY(_write_helper(filePath, QByteArray(200000, 'x'), true));
    QCOMPARE(_fileContent_helper(filePath), QByteArray(200000, 'x'));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).join(u' '),
             QStringLiteral("image.bin"));
}

void TestPlatformSeams::fileWriterRefusesFolders()
{
    const QString folderPath = directory.filePath(QStringLiteral("folder"));
    QVERIFY(QDir().mkpath(folderPath));
    OwnerOnlyFileWriter writer(folderPath);
    QVERIFY(!writer.open(true));
    QVERIFY(!writer.isRefusedAsExisting());
    QCOMPARE(writer.errorMessage(), QStringLiteral("it is a folder"));
    QVERIFY(QFileInfo(folderPath).isDir());
}

void TestPlatformSeams::fileWriterKeepsAFileThatAppearedMeanwhile()
{
    const QTemporaryDir folder;
    const QString filePath = folder.filePath(QStringLiteral("export.csv"));
    OwnerOnlyFileWriter::setAfterCheckHookForTesting(
        [](const QString& checkedPath)
        {
            QFile planted(checkedPath);
            if (planted.open(QIODevice::WriteOnly))
                planted.write("planted");
        });
    OwnerOnlyFileWriter refused(filePath);
    const bool isOpened = refused.open(false);
    OwnerOnlyFileWriter::setAfterCheckHookForTesting(nullptr);
    QVERIFY(isOpened);
    QVERIFY(refused.write(QByteArray("mine")));
    QVERIFY(!refused.commit());
    QVERIFY(refused.isRefusedAsExisting());
    QCOMPARE(refused.errorMessage(), QStringLiteral("the file already exists"));
    QCOMPARE(_fileContent_helper(filePath), QByteArray("planted"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).join(u' '),
             QStringLiteral("export.csv"));
}

void TestPlatformSeams::ownerOnlyFilesAndFolders()
{
    const QTemporaryDir folder;
    QVERIFY(isFolderOwnedAndWritableByUserAlone(folder.path()));
    QVERIFY(!isFolderOwnedAndWritableByUserAlone(folder.filePath(QStringLiteral("missing"))));
    QVERIFY(!isFolderOwnedAndWritableByUserAlone(QString()));

    // A settings store is made, with its folder, for its owner alone.
    const QString storeFolder = folder.filePath(QStringLiteral("store"));
    const QString filePath = storeFolder + QStringLiteral("/settings.ini");
    restrictFileToOwner(filePath);
    QVERIFY(QFileInfo(filePath).isFile());
    QVERIFY(!_isAccessibleToOthers_helper(filePath));
    QVERIFY(!isFolderOwnedAndWritableByUserAlone(filePath));

    // One that others could read is restricted again, its content kept.
    QFile file(filePath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write("[General]\n"), qint64(10));
    file.close();
    QVERIFY(_openToEverybody_helper(filePath));
    QVERIFY(_isAccessibleToOthers_helper(filePath));
    restrictFileToOwner(filePath);
    QVERIFY(!_isAccessibleToOthers_helper(filePath));
    QCOMPARE(_fileContent_helper(filePath), QByteArray("[General]\n"));

    // A folder others may write to could hold their simulated devices: not trusted.
    QVERIFY(isTrustedDeviceDirectory(storeFolder));
    QVERIFY(_openToEverybody_helper(storeFolder));
    QVERIFY(!isFolderOwnedAndWritableByUserAlone(storeFolder));
    QVERIFY(!isTrustedDeviceDirectory(storeFolder));
}

void TestPlatformSeams::windowsPortsAreDescribedFromTheirInstanceIds_data()
{
    QTest::addColumn<QString>("instanceId");
    QTest::addColumn<QString>("serialNumber");
    QTest::addColumn<int>("vendor");
    QTest::addColumn<int>("product");
    QTest::addColumn<bool>("isCorvane");
    QTest::newRow("system driver") << "USB\\VID_0403&PID_6015\\TZQVR-0001"
                                   << "TZQVR-0001" << 0x0403 << 0x6015 << true;
    QTest::newRow("chip maker's driver") << "FTDIBUS\\VID_0403+PID_6015+TZQVR-0002A\\0000"
                                         << "TZQVR-0002" << 0x0403 << 0x6015 << true;
    QTest::newRow("lower-case hexadecimal") << "usb\\vid_0403&pid_6015\\TZQVR-0003"
                                            << "TZQVR-0003" << 0x0403 << 0x6015 << true;
    QTest::newRow("other product") << "USB\\VID_0403&PID_6001\\TZQVR-0004"
                                   << "TZQVR-0004" << 0x0403 << 0x6001 << false;
    // Windows makes up an id with '&' for a device without a serial number.
    QTest::newRow("no serial number") << "USB\\VID_0403&PID_6015\\5&2C1D7F3&0&2"
                                      << "" << 0x0403 << 0x6015 << false;
    QTest::newRow("motherboard port") << "ACPI\\PNP0501\\1"
                                      << "" << -1 << -1 << false;
}

void TestPlatformSeams::windowsPortsAreDescribedFromTheirInstanceIds()
{
    QFETCH(QString, instanceId);
    QFETCH(QString, serialNumber);
    QFETCH(int, vendor);
    QFETCH(int, product);
    QFETCH(bool, isCorvane);
    const DevicePortInfo port = describeWindowsSerialPort(QStringLiteral("COM7"), instanceId);
    QCOMPARE(port.systemLocation(), QStringLiteral("\\\\.\\COM7"));
    QCOMPARE(port.portName(), QStringLiteral("COM7"));
    QCOMPARE(port.serialNumber(), serialNumber);
    QCOMPARE(port.hasVendorIdentifier(), vendor >= 0);
    QCOMPARE(port.hasProductIdentifier(), product >= 0);
    if (vendor >= 0)
    {
        QCOMPARE(int(port.vendorIdentifier()), vendor);
        QCOMPARE(int(port.productIdentifier()), product);
    }
    QCOMPARE(port.isCorvaneDevice(), isCorvane);
}

void TestPlatformSeams::everyRatingFindsTheCommonestPatterns_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("login");
    QTest::addColumn<bool>("isWeak");
    QTest::newRow("common word") << "Password1!"
                                 << "" << true;
    QTest::newRow("keyboard row") << "qwertyuiop123"
                                  << "" << true;
    QTest::newRow("repeat") << "zzzzzzzzzz"
                            << "" << true;
    QTest::newRow("sequence") << "abcdefgh"
                              << "" << true;
    QTest::newRow("own login") << "alice2024"
                               << "alice" << true;
    QTest::newRow("random") << "x9$kLq!2vZ#8mP"
                            << "" << false;
}

void TestPlatformSeams::everyRatingFindsTheCommonestPatterns()
{
    QFETCH(QString, password);
    QFETCH(QString, login);
    QFETCH(bool, isWeak);
    const PasswordRating rating =
        ratePassword(password, passwordUserInputs(QStringLiteral("Mail"), login, QString()));
    QCOMPARE(rating.isWeak(), isWeak);
    // A weak password says what made it guessable.
    if (isWeak)
        QVERIFY(!rating.patterns.isEmpty());
#ifdef Q_OS_WIN
    QVERIFY(isPasswordRatingReduced());
#else
    QVERIFY(!isPasswordRatingReduced());
#endif
}

QTEST_GUILESS_MAIN(TestPlatformSeams)
#include "test_platform_seams.moc"
