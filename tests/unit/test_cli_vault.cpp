// corvane-cli export and import: vault images built from CSV files and decrypted back to CSV, from files
// and from simulated devices; the password tools. Passwords reach the program as lines on its standard
// input, as a script would give them.

#include "support/SimulatorProcess.h"
#include "test_cli_support.h"
#include "vault/MemoryImage.h"
#include "vault/MemoryImageEncryption.h"
#include "vault/VaultImage.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// A header line, quoted fields with commas, doubled quotes and line breaks, text beyond ASCII, a record
// named after its web site, and control characters that a vault cannot hold.
const QByteArray SOURCE_CSV =
    "name,login,password,url,notes\n"
    "Zeta,\"user, with comma\",\"p\"\"w\",https://z.example,\"line one\nline two\"\n"
    "\xC3\x89lan,\xC3\xBCn\xC3\xAF,\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E,,\"emoji \xF0\x9F\x94\x91\"\n"
    ",anon,x,HTTPS://Site.example/path,\n"
    "Ctl,lo\x03gin,pw,,no\x04te\n"
    "Alpha,a,b,c,d\n";

// The same records in this application's layout, in the order the application gives imported records.
const QByteArray EXPORTED_CSV =
    "\"Alpha\",\"a\",\"b\",\"c\",\"d\"\n"
    "\"Ctl\",\"login\",\"pw\",\"\",\"note\"\n"
    "\"Site.example/path\",\"anon\",\"x\",\"HTTPS://Site.example/path\",\"\"\n"
    "\"Zeta\",\"user, with comma\",\"p\"\"w\",\"https://z.example\",\"line one\nline two\"\n"
    "\"\xC3\x89lan\",\"\xC3\xBCn\xC3\xAF\",\"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\",\"\","
    "\"emoji \xF0\x9F\x94\x91\"\n";

bool _decryptImage_helper(const QByteArray& storedImage, const QString& password, Vault& vault)
{
    QByteArray image = storedImage;
    if (image.size() != MEMORY_IMAGE_SIZE ||
        decryptMemoryImage(password, 1, reinterpret_cast<uint8_t*>(image.data())) != 0)
        return false;
    vault = parseVault(reinterpret_cast<const uint8_t*>(image.constData()));
    return true;
}

QByteArray _encryptVault_helper(const Vault& vault, const QString& password, quint64 saveCounter = 0)
{
    QByteArray image(MEMORY_IMAGE_SIZE, '\0');
    if (buildVaultImage(vault, password, reinterpret_cast<uint8_t*>(image.data()), nullptr, nullptr,
                        saveCounter) != VAULT_IMAGE_SUCCESS)
        return QByteArray();
    return image;
}

// The stored image with one byte of the vault encoding changed (counter mode: it lands in place).
QByteArray _changedAt_helper(QByteArray image, int plaintextOffset, char mask)
{
    constexpr int STORED_HEADER_SIZE = 92;
    image[STORED_HEADER_SIZE + plaintextOffset] =
        static_cast<char>(image.at(STORED_HEADER_SIZE + plaintextOffset) ^ mask);
    return image;
}

PasswordRecord _record_helper(const QString& name, const QString& password)
{
    PasswordRecord record;
    record.name = name;
    record.login = name.toLower();
    record.password = password;
    return record;
}

QString _csvLine_helper(const PasswordRecord& record)
{
    return QStringLiteral("\"%1\",\"%2\",\"%3\",\"\",\"\"\n").arg(record.name, record.login, record.password);
}
} // namespace

class TestCliVault : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void importThenExportRoundTrip();
    void exportFromDevice();
    void exportSplitsTabs();
    void exportChecksTheSeal();
    void restoreChecksTheSealAndRecordsIt();
    void importRefusals();
    void importLayoutChoices();
    void passwordTools();
    void healthReport();
    void quietWhereTheLocaleIsNotUtf8();
    void outputFilesAreWrittenSafely();
    void summariesKeepPercentSignsAndCount();
    void closedStandardOutputIsAWriteError();

private:
    // The tool remembers the devices it has seen sealed in the settings store: a private one.
    QTemporaryDir configurationDirectory;
};

void TestCliVault::initTestCase()
{
    QVERIFY(configurationDirectory.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configurationDirectory.path()));
}

void TestCliVault::importThenExportRoundTrip()
{
    QTemporaryDir workDirectory;
    const QString csvPath = workDirectory.filePath("my.passwords.csv");
    const QString imagePath = workDirectory.filePath("vault.bin");
    QVERIFY(writeWholeFile(csvPath, SOURCE_CSV));

    const CliRun import = runCli({"import", "--header", "auto", "--output", imagePath, csvPath},
                                 "s3cret \xC3\xA9\ns3cret \xC3\xA9\n");
    QVERIFY2(import.isFinished && import.exitCode == 0, qPrintable(import.describe()));
    QVERIFY2(import.standardError.contains("Removed 2 control characters"), qPrintable(import.describe()));
    QVERIFY(import.standardOutput.isEmpty());
    QCOMPARE(filePermissionBits(imagePath), 0600);

    // The image is one the application opens: format version 1, one tab named after the file.
    Vault vault;
    QVERIFY(_decryptImage_helper(readWholeFile(imagePath), QStringLiteral("s3cret é"), vault));
    QCOMPARE(vault.size(), 1);
    QCOMPARE(vault.first().name, QStringLiteral("my"));
    QCOMPARE(vault.first().passwords.size(), 5);
    QCOMPARE(vault.first().passwords.at(3).note, QStringLiteral("line one\nline two"));
    // Random filler after the vault, as the application saves: two builds never give the same image.
    const CliRun again =
        runCli({"import", "--header", "auto", "--output", workDirectory.filePath("again.bin"), csvPath},
               "s3cret \xC3\xA9\ns3cret \xC3\xA9\n");
    QVERIFY2(again.isFinished && again.exitCode == 0, qPrintable(again.describe()));
    QVERIFY(readWholeFile(workDirectory.filePath("again.bin")) != readWholeFile(imagePath));

    const CliRun toStandardOutput = runCli({"export", "--image", imagePath}, "s3cret \xC3\xA9\n");
    QVERIFY2(toStandardOutput.isFinished && toStandardOutput.exitCode == 0,
             qPrintable(toStandardOutput.describe()));
    QCOMPARE(toStandardOutput.standardOutput, EXPORTED_CSV);

    const QString csvOutputPath = workDirectory.filePath("out.csv");
    const CliRun toFile =
        runCli({"export", "--image", imagePath, "--output", csvOutputPath}, "s3cret \xC3\xA9\n");
    QVERIFY2(toFile.isFinished && toFile.exitCode == 0, qPrintable(toFile.describe()));
    QVERIFY(toFile.standardOutput.isEmpty());
    QCOMPARE(readWholeFile(csvOutputPath), EXPORTED_CSV);
    QCOMPARE(filePermissionBits(csvOutputPath), 0600);

    // The export reads back with the default options (the own layout) and gives every record again.
    const QString reimportedPath = workDirectory.filePath("reimported.bin");
    const CliRun reimport = runCli({"import", "--output", reimportedPath, csvOutputPath}, "other\nother\n");
    QVERIFY2(reimport.isFinished && reimport.exitCode == 0, qPrintable(reimport.describe()));
    const CliRun reexport = runCli({"export", "--image", reimportedPath}, "other\n");
    QVERIFY2(reexport.isFinished && reexport.exitCode == 0, qPrintable(reexport.describe()));
    QCOMPARE(reexport.standardOutput, EXPORTED_CSV);

    const CliRun wrongPassword =
        runCli({"export", "--image", imagePath, "--output", csvOutputPath + "2"}, "s3cret\n");
    QVERIFY2(wrongPassword.isFinished && wrongPassword.exitCode == 1, qPrintable(wrongPassword.describe()));
    QCOMPARE(wrongPassword.standardError,
             QByteArray("corvane-cli: wrong master password: failed to decrypt data\n"));
    QVERIFY(!QFile::exists(csvOutputPath + "2"));

    const CliRun noPassword = runCli({"export", "--image", imagePath});
    QVERIFY2(noPassword.isFinished && noPassword.exitCode == 1, qPrintable(noPassword.describe()));
    QVERIFY2(noPassword.standardError.contains("no password"), qPrintable(noPassword.describe()));
    QVERIFY(noPassword.standardOutput.isEmpty());
}

void TestCliVault::exportFromDevice()
{
    const Vault vault = {
        VaultTab{QStringLiteral("Web"), {_record_helper("Mail", "m41l"), _record_helper("Shop", "sh0p")}}};
    const QByteArray image = _encryptVault_helper(vault, QStringLiteral("device password"));
    QVERIFY(!image.isEmpty());
    const QByteArray expectedCsv =
        (_csvLine_helper(vault[0].passwords[0]) + _csvLine_helper(vault[0].passwords[1])).toUtf8();

    QTemporaryDir deviceDirectory;
    SimulatorProcess equal;
    QVERIFY(equal.writeMemory(0, image) && equal.writeMemory(1, image));
    QVERIFY2(equal.start(deviceDirectory.path(), "TZQVR-0001"), qPrintable(equal.errorString()));
    const CliRun exported =
        runCli({"export", "--device", "TZQVR-0001"}, "device password\n", deviceDirectory.path());
    QVERIFY2(exported.isFinished && exported.exitCode == 0, qPrintable(exported.describe()));
    QCOMPARE(exported.standardOutput, expectedCsv);
    // The device's own serial number (A5 06) names it in this computer's seal records.
    QCOMPARE(equal.requestLog(), QStringList({"A5 08", "A5 01 03", "A5 02 00", "A5 05", "A5 02 01", "A5 05",
                                              "A5 01 01", "A5 06", "A5 01 01"}));

    const CliRun wrongPassword =
        runCli({"export", "--device", "TZQVR-0001"}, "Device password\n", deviceDirectory.path());
    QVERIFY2(wrongPassword.isFinished && wrongPassword.exitCode == 1, qPrintable(wrongPassword.describe()));
    QVERIFY2(wrongPassword.standardError.contains("wrong master password"),
             qPrintable(wrongPassword.describe()));
    QVERIFY(wrongPassword.standardOutput.isEmpty());
    QVERIFY(equal.stop());

    // Main and backup differ: refused unless one is chosen; the backup holds no vault here.
    SimulatorProcess differing;
    QVERIFY(differing.writeMemory(0, image) && differing.writeMemory(1, QByteArray(MEMORY_IMAGE_SIZE, '\0')));
    QVERIFY2(differing.start(deviceDirectory.path(), "TZQVR-0002"), qPrintable(differing.errorString()));
    const CliRun refused =
        runCli({"export", "--device", "TZQVR-0002"}, "device password\n", deviceDirectory.path());
    QVERIFY2(refused.isFinished && refused.exitCode == 1, qPrintable(refused.describe()));
    QVERIFY2(refused.standardError.contains("main and backup memories"), qPrintable(refused.describe()));
    const CliRun main = runCli({"export", "--device", "TZQVR-0002", "--memory", "main"}, "device password\n",
                               deviceDirectory.path());
    QVERIFY2(main.isFinished && main.exitCode == 0, qPrintable(main.describe()));
    QCOMPARE(main.standardOutput, expectedCsv);
    // An erased memory holds no envelope: it fails like a wrong password.
    const CliRun backup = runCli({"export", "--device", "TZQVR-0002", "--memory", "backup"},
                                 "device password\n", deviceDirectory.path());
    QVERIFY2(backup.isFinished && backup.exitCode == 1, qPrintable(backup.describe()));
    QVERIFY2(backup.standardError.contains("wrong master password"), qPrintable(backup.describe()));
}

void TestCliVault::exportSplitsTabs()
{
    const Vault vault = {
        VaultTab{QStringLiteral("Web"), {_record_helper("Mail", "1"), _record_helper("Forum", "2")}},
        VaultTab{QStringLiteral("Bank / Cards"), {_record_helper("Visa", "3")}},
        VaultTab{QString(), {}},
        VaultTab{QStringLiteral("Été"), {_record_helper("Zoo", "4")}},
    };
    QTemporaryDir workDirectory;
    const QString imagePath = workDirectory.filePath("tabs.bin");
    QVERIFY(writeWholeFile(imagePath, _encryptVault_helper(vault, QStringLiteral("pw"))));

    const CliRun split = runCli(
        {"export", "--image", imagePath, "--split", "--output", workDirectory.filePath("vault.CSV")}, "pw\n");
    QVERIFY2(split.isFinished && split.exitCode == 0, qPrintable(split.describe()));
    const QStringList expectedFiles = {"vault-1-Web.CSV", "vault-2-Bank_Cards.CSV", "vault-3.CSV",
                                       "vault-4-Été.CSV"};
    for (int tabIndex = 0; tabIndex < vault.size(); tabIndex++)
    {
        const QString filePath = workDirectory.filePath(expectedFiles.at(tabIndex));
        QString expectedCsv;
        for (const PasswordRecord& record : vault[tabIndex].passwords)
            expectedCsv += _csvLine_helper(record);
        QCOMPARE(QString::fromUtf8(readWholeFile(filePath)), expectedCsv);
        QCOMPARE(filePermissionBits(filePath), 0600);
    }
    QCOMPARE(QDir(workDirectory.path()).entryList(QDir::Files).size(), expectedFiles.size() + 1);

    // Without --split: every record, tab after tab, in each tab's order.
    const CliRun all = runCli({"export", "--image", imagePath}, "pw\n");
    QVERIFY2(all.isFinished && all.exitCode == 0, qPrintable(all.describe()));
    QCOMPARE(QString::fromUtf8(all.standardOutput),
             _csvLine_helper(vault[0].passwords[0]) + _csvLine_helper(vault[0].passwords[1]) +
                 _csvLine_helper(vault[1].passwords[0]) + _csvLine_helper(vault[3].passwords[0]));
}

void TestCliVault::exportChecksTheSeal()
{
    PasswordRecord record = _record_helper("Shop", "sh0p");
    record.url = QStringLiteral("https://shop.example.com");
    const Vault vault = {VaultTab{QStringLiteral("Web"), {record}}};
    QByteArray encoding(MEMORY_IMAGE_SIZE, '\0');
    const int sealOffset =
        VAULT_CAPACITY - serializeVault(vault, reinterpret_cast<uint8_t*>(encoding.data()));
    const int siteOffset = static_cast<int>(encoding.indexOf("https://shop"));
    const QByteArray sealed = _encryptVault_helper(vault, QStringLiteral("pw"));
    QTemporaryDir directory;
    const QString imagePath = directory.filePath(QStringLiteral("image.bin"));

    // "shop" -> "stop": the seal does not match, and only --accept-modified exports it.
    QVERIFY(writeWholeFile(imagePath, _changedAt_helper(sealed, siteOffset + 9, 0x1C)));
    const CliRun refused = runCli({"export", "--image", imagePath}, "pw\n");
    QVERIFY2(refused.isFinished && refused.exitCode == 1, qPrintable(refused.describe()));
    QVERIFY2(refused.standardError.contains("modified outside Corvane Key Manager"),
             qPrintable(refused.describe()));
    QVERIFY(refused.standardOutput.isEmpty());
    const CliRun accepted = runCli({"export", "--image", imagePath, "--accept-modified"}, "pw\n");
    QVERIFY2(accepted.isFinished && accepted.exitCode == 0, qPrintable(accepted.describe()));
    QVERIFY(accepted.standardOutput.contains("https://stop.example.com"));

    // Without any memory of this image: the marker XORed away, or the record cut off by an end marker
    // placed at its web site, is refused all the same.
    QByteArray stripped = sealed;
    for (int index = 0; index < VAULT_SEAL_MARKER_SIZE; index++)
        stripped = _changedAt_helper(stripped, sealOffset + index, 0x5A);
    const QByteArray truncated = _changedAt_helper(sealed, siteOffset, 'h' ^ VAULT_END_MARKER);
    for (const QByteArray& changed : {stripped, truncated})
    {
        QVERIFY(writeWholeFile(imagePath, changed));
        const CliRun caught = runCli({"export", "--image", imagePath}, "pw\n");
        QVERIFY2(caught.isFinished && caught.exitCode == 1, qPrintable(caught.describe()));
        QVERIFY2(caught.standardError.contains("modified outside Corvane Key Manager"),
                 qPrintable(caught.describe()));
        QVERIFY(caught.standardOutput.isEmpty());
    }

    // A vault saved by other software opens with a note, and --require-seal refuses it.
    QByteArray unsealed = encoding;
    QCOMPARE(encryptMemoryImage(QStringLiteral("pw"), 1, reinterpret_cast<uint8_t*>(unsealed.data())), 0);
    QVERIFY(writeWholeFile(imagePath, unsealed));
    const CliRun noted = runCli({"export", "--image", imagePath}, "pw\n");
    QVERIFY2(noted.isFinished && noted.exitCode == 0, qPrintable(noted.describe()));
    QVERIFY2(noted.standardError.contains("Note: this vault has no integrity seal; saving it adds one."),
             qPrintable(noted.describe()));
    QVERIFY(noted.standardOutput.contains("https://shop.example.com"));
    const CliRun required = runCli({"export", "--image", imagePath, "--require-seal"}, "pw\n");
    QVERIFY2(required.isFinished && required.exitCode == 1, qPrintable(required.describe()));
    QVERIFY2(required.standardError.contains("no integrity seal (--require-seal)"),
             qPrintable(required.describe()));
    QVERIFY(required.standardOutput.isEmpty());

    // A device seen sealed, then found with its seal marker destroyed.
    QTemporaryDir deviceDirectory;
    QTemporaryDir stateDirectory;
    SimulatorProcess device;
    device.setStateDirectory(stateDirectory.path());
    QVERIFY(device.writeMemory(0, sealed) && device.writeMemory(1, sealed));
    QVERIFY2(device.start(deviceDirectory.path(), "TZQVR-0007"), qPrintable(device.errorString()));
    const CliRun seen = runCli({"export", "--device", "TZQVR-0007"}, "pw\n", deviceDirectory.path());
    QVERIFY2(seen.isFinished && seen.exitCode == 0, qPrintable(seen.describe()));
    QVERIFY(device.stop());
    const QByteArray unmarked = _changedAt_helper(sealed, sealOffset, 0x20);
    QVERIFY(device.writeMemory(0, unmarked) && device.writeMemory(1, unmarked));
    QVERIFY2(device.start(deviceDirectory.path(), "TZQVR-0007"), qPrintable(device.errorString()));
    const CliRun suspect = runCli({"export", "--device", "TZQVR-0007"}, "pw\n", deviceDirectory.path());
    QVERIFY2(suspect.isFinished && suspect.exitCode == 1, qPrintable(suspect.describe()));
    QVERIFY2(suspect.standardError.contains("--accept-modified"), qPrintable(suspect.describe()));
    QVERIFY(suspect.standardOutput.isEmpty());
    QVERIFY(device.stop());

    // An older sealed vault written back after this computer saw a newer one: refused unless --accept-older.
    const QByteArray newer = _encryptVault_helper(vault, QStringLiteral("pw"), 5);
    const QByteArray older = _encryptVault_helper(vault, QStringLiteral("pw"), 2);
    QVERIFY(device.writeMemory(0, newer) && device.writeMemory(1, newer));
    QVERIFY2(device.start(deviceDirectory.path(), "TZQVR-0007"), qPrintable(device.errorString()));
    const CliRun newest = runCli({"export", "--device", "TZQVR-0007"}, "pw\n", deviceDirectory.path());
    QVERIFY2(newest.isFinished && newest.exitCode == 0, qPrintable(newest.describe()));
    QVERIFY(device.stop());
    QVERIFY(device.writeMemory(0, older) && device.writeMemory(1, older));
    QVERIFY2(device.start(deviceDirectory.path(), "TZQVR-0007"), qPrintable(device.errorString()));
    const CliRun rolledBack = runCli({"export", "--device", "TZQVR-0007"}, "pw\n", deviceDirectory.path());
    QVERIFY2(rolledBack.isFinished && rolledBack.exitCode == 1, qPrintable(rolledBack.describe()));
    QVERIFY2(rolledBack.standardError.contains("older vault than the one saved from this computer on "),
             qPrintable(rolledBack.describe()));
    QVERIFY2(rolledBack.standardError.contains("--accept-older"), qPrintable(rolledBack.describe()));
    QVERIFY(rolledBack.standardOutput.isEmpty());
    const CliRun olderAccepted =
        runCli({"export", "--device", "TZQVR-0007", "--accept-older"}, "pw\n", deviceDirectory.path());
    QVERIFY2(olderAccepted.isFinished && olderAccepted.exitCode == 0, qPrintable(olderAccepted.describe()));
    QVERIFY(olderAccepted.standardOutput.contains("https://shop.example.com"));
}

void TestCliVault::restoreChecksTheSealAndRecordsIt()
{
    PasswordRecord record = _record_helper("Bank", "b4nk");
    record.url = QStringLiteral("https://bank.example.com");
    const Vault vault = {VaultTab{QStringLiteral("Web"), {record}}};
    QByteArray encoding(MEMORY_IMAGE_SIZE, '\0');
    const int sealOffset =
        VAULT_CAPACITY - serializeVault(vault, reinterpret_cast<uint8_t*>(encoding.data()));
    const QByteArray sealed = _encryptVault_helper(vault, QStringLiteral("pw"), 5);
    QByteArray unsealed = encoding;
    QCOMPARE(encryptMemoryImage(QStringLiteral("pw"), 1, reinterpret_cast<uint8_t*>(unsealed.data())), 0);
    QTemporaryDir directory;
    QTemporaryDir deviceDirectory;
    SimulatorProcess device;
    QVERIFY2(device.start(deviceDirectory.path(), "TZQVR-0009"), qPrintable(device.errorString()));
    const auto restore = [&](const QByteArray& image, const QStringList& options)
    {
        const QString imagePath = directory.filePath(QStringLiteral("backup.bin"));
        QFile::remove(imagePath);
        if (!writeWholeFile(imagePath, image))
            return CliRun();
        return runCli(QStringList{"restore", "--yes"} + options + QStringList{imagePath}, "pw\n",
                      deviceDirectory.path());
    };
    const auto exportDevice = [&]() {
        return runCli({"export", "--device", "TZQVR-0009"}, "pw\n", deviceDirectory.path());
    };

    // A backup whose seal was stripped: refused before the device is even opened.
    const CliRun stripped = restore(_changedAt_helper(sealed, sealOffset, 0x20), {});
    QVERIFY2(stripped.isFinished && stripped.exitCode == 1, qPrintable(stripped.describe()));
    QVERIFY2(stripped.standardError.contains("modified outside Corvane Key Manager"),
             qPrintable(stripped.describe()));
    QVERIFY2(stripped.standardError.contains("nothing was written"), qPrintable(stripped.describe()));
    QVERIFY(device.requestLog().isEmpty());
    const CliRun wrongPassword =
        runCli({"restore", "--yes", directory.filePath(QStringLiteral("backup.bin"))}, "other\n",
               deviceDirectory.path());
    QVERIFY2(wrongPassword.isFinished && wrongPassword.exitCode == 1, qPrintable(wrongPassword.describe()));
    QVERIFY(device.requestLog().isEmpty());

    // A sealed backup, then one saved by other software: each export afterwards takes the device as it is.
    for (const QByteArray& image : {sealed, unsealed})
    {
        const CliRun restored = restore(image, {});
        QVERIFY2(restored.isFinished && restored.exitCode == 0, qPrintable(restored.describe()));
        QCOMPARE(device.memory(0), image);
        const CliRun exported = exportDevice();
        QVERIFY2(exported.isFinished && exported.exitCode == 0, qPrintable(exported.describe()));
        QVERIFY(exported.standardOutput.contains("https://bank.example.com"));
    }

    // A sealed backup older than what was written last: refused unless --accept-older, and after that the
    // device holds what was written, no rollback question.
    QVERIFY(restore(_encryptVault_helper(vault, QStringLiteral("pw"), 8), {}).exitCode == 0);
    const QByteArray older = _encryptVault_helper(vault, QStringLiteral("pw"), 3);
    const CliRun refused = restore(older, {});
    QVERIFY2(refused.isFinished && refused.exitCode == 1, qPrintable(refused.describe()));
    QVERIFY2(refused.standardError.contains("--accept-older"), qPrintable(refused.describe()));
    QVERIFY(device.memory(0) != older);
    const CliRun accepted = restore(older, {"--accept-older"});
    QVERIFY2(accepted.isFinished && accepted.exitCode == 0, qPrintable(accepted.describe()));
    QCOMPARE(device.memory(0), older);
    const CliRun exported = exportDevice();
    QVERIFY2(exported.isFinished && exported.exitCode == 0, qPrintable(exported.describe()));
}

void TestCliVault::importRefusals()
{
    QTemporaryDir workDirectory;
    const QString csvPath = workDirectory.filePath("source.csv");
    const QString imagePath = workDirectory.filePath("vault.bin");
    QVERIFY(writeWholeFile(csvPath, SOURCE_CSV));

    struct PasswordCase
    {
        QByteArray input;
        QByteArray message;
    };
    const QList<PasswordCase> passwordCases = {{"one\ntwo\n", "the two master passwords differ"},
                                               {"\n\n", "the master password must not be empty"},
                                               {"only one\n", "no password"},
                                               {"", "no password"}};
    for (const PasswordCase& passwordCase : passwordCases)
    {
        const CliRun run =
            runCli({"import", "--header", "auto", "--output", imagePath, csvPath}, passwordCase.input);
        QVERIFY2(run.isFinished && run.exitCode == 1, qPrintable(run.describe()));
        QVERIFY2(run.standardError.contains(passwordCase.message), qPrintable(run.describe()));
        QVERIFY(!QFile::exists(imagePath));
    }

    // An existing image is refused before any password is read, and kept.
    QVERIFY(writeWholeFile(imagePath, "keep me"));
    const CliRun existing = runCli({"import", "--output", imagePath, csvPath}, "pw\npw\n");
    QVERIFY2(existing.isFinished && existing.exitCode == 1, qPrintable(existing.describe()));
    QVERIFY2(existing.standardError.contains("already exists"), qPrintable(existing.describe()));
    QCOMPARE(readWholeFile(imagePath), QByteArray("keep me"));
    const CliRun forced = runCli({"import", "--force", "--output", imagePath, csvPath}, "pw\npw\n");
    QVERIFY2(forced.isFinished && forced.exitCode == 0, qPrintable(forced.describe()));
    QCOMPARE(readWholeFile(imagePath).size(), MEMORY_IMAGE_SIZE);
    QCOMPARE(filePermissionBits(imagePath), 0600);

    // A vault that would not fit into a device memory: the application's message, no file.
    QByteArray largeCsv = "name,notes\n";
    for (int index = 0; index < 1300; index++)
        largeCsv += "record " + QByteArray::number(index) + "," + QByteArray(100, 'n') + "\n";
    const QString largeCsvPath = workDirectory.filePath("large.csv");
    QVERIFY(writeWholeFile(largeCsvPath, largeCsv));
    const QString largeImagePath = workDirectory.filePath("large.bin");
    const CliRun tooLarge =
        runCli({"import", "--header", "auto", "--output", largeImagePath, largeCsvPath}, "pw\npw\n");
    QVERIFY2(tooLarge.isFinished && tooLarge.exitCode == 1, qPrintable(tooLarge.describe()));
    QCOMPARE(tooLarge.standardError,
             QByteArray("corvane-cli: There is not enough room in device memory. Please remove "
                        "some passwords.\n"));
    QVERIFY(!QFile::exists(largeImagePath));

    const QList<QPair<QByteArray, QByteArray>> badFiles = {
        {"a,b", "File size is too small to contain meaningful data."},
        {"\"an unterminated title\n", "closing double quote is missing"},
        {"\"Mail\",\"joe\",\"pw\",\"\",\"\"\n\"Bank\",\"jane\",\"pw2\",\"\",\"\"\n",
         "No record was recognised: none of the column titles"}};
    for (const auto& [content, message] : badFiles)
    {
        const QString badPath = workDirectory.filePath("bad.csv");
        QVERIFY(writeWholeFile(badPath, content));
        const CliRun bad =
            runCli({"import", "--header", "auto", "--output", workDirectory.filePath("bad.bin"), badPath},
                   "pw\npw\n");
        QVERIFY2(bad.isFinished && bad.exitCode == 1, qPrintable(bad.describe()));
        QVERIFY2(bad.standardError.contains("could not import the CSV file") &&
                     bad.standardError.contains(message),
                 qPrintable(bad.describe()));
        QVERIFY(!QFile::exists(workDirectory.filePath("bad.bin")));
    }
}

void TestCliVault::importLayoutChoices()
{
    QTemporaryDir workDirectory;
    const QString csvPath = workDirectory.filePath("plain.csv");
    // No header, semicolons, the fixed column order; the first line is data.
    QVERIFY(writeWholeFile(csvPath, "Home;me;pw;http://home;first\r\nWork;boss;pw2;;\r\n"));
    const QString imagePath = workDirectory.filePath("vault.bin");
    const CliRun run = runCli({"import", "--separator", ";", "--header", "none", "--tab", "Personal",
                               "--output", imagePath, csvPath},
                              "pw\npw\n");
    QVERIFY2(run.isFinished && run.exitCode == 0, qPrintable(run.describe()));
    Vault vault;
    QVERIFY(_decryptImage_helper(readWholeFile(imagePath), QStringLiteral("pw"), vault));
    QCOMPARE(vault.size(), 1);
    QCOMPARE(vault.first().name, QStringLiteral("Personal"));
    QCOMPARE(vault.first().passwords.size(), 2);
    QCOMPARE(vault.first().passwords.at(0).url, QStringLiteral("http://home"));
    QCOMPARE(vault.first().passwords.at(1).login, QStringLiteral("boss"));

    // A tab-separated file with a header: the titles choose the columns.
    const QString tabCsvPath = workDirectory.filePath("tabbed.txt");
    QVERIFY(writeWholeFile(tabCsvPath, "password\ttitle\nsecret\tEntry\n"));
    const QString tabImagePath = workDirectory.filePath("tabbed.bin");
    const CliRun tabbed =
        runCli({"import", "--separator", "tab", "--header", "auto", "--output", tabImagePath, tabCsvPath},
               "pw\npw\n");
    QVERIFY2(tabbed.isFinished && tabbed.exitCode == 0, qPrintable(tabbed.describe()));
    QVERIFY(_decryptImage_helper(readWholeFile(tabImagePath), QStringLiteral("pw"), vault));
    QCOMPARE(vault.first().name, QStringLiteral("tabbed"));
    QCOMPARE(vault.first().passwords.size(), 1);
    QCOMPARE(vault.first().passwords.first().name, QStringLiteral("Entry"));
    QCOMPARE(vault.first().passwords.first().password, QStringLiteral("secret"));

    // Every debug message on, a header-less file read as if it had titles: its first line is a record, and
    // none of its values may reach the log.
    const QString headerlessPath = workDirectory.filePath("headerless.csv");
    QVERIFY(
        writeWholeFile(headerlessPath, "Bank,jane.doe,Xq7-sesame-Vk2,https://bank.example.com,pin 4411\n"));
    qputenv("QT_LOGGING_RULES", "*.debug=true");
    const CliRun logged = runCli(
        {"import", "--header", "auto", "--output", workDirectory.filePath("logged.bin"), headerlessPath},
        "pw\npw\n");
    qunsetenv("QT_LOGGING_RULES");
    QVERIFY2(logged.isFinished, qPrintable(logged.describe()));
    QVERIFY2(logged.standardError.contains("Column 1: password data ID"), qPrintable(logged.describe()));
    for (const QByteArray& value : {QByteArrayLiteral("jane.doe"), QByteArrayLiteral("Xq7-sesame-Vk2"),
                                    QByteArrayLiteral("bank.example.com"), QByteArrayLiteral("4411")})
        QVERIFY2(!logged.standardError.toLower().contains(value.toLower()), qPrintable(logged.describe()));
}

void TestCliVault::passwordTools()
{
    const QRegularExpression autoPattern(
        QStringLiteral("^(?=.*[a-z])(?=.*[A-Z])(?=.*[0-9])(?=.*[^a-zA-Z0-9]).{20,30}\n$"));
    for (const QStringList& arguments : {QStringList{"generate"}, QStringList{"generate", "--auto"}})
    {
        const CliRun run = runCli(arguments);
        QVERIFY2(run.isFinished && run.exitCode == 0, qPrintable(run.describe()));
        QVERIFY2(autoPattern.match(QString::fromUtf8(run.standardOutput)).hasMatch(),
                 run.standardOutput.constData());
    }
    const CliRun digitsOnly =
        runCli({"generate", "--length", "12", "--no-lower", "--no-upper", "--no-symbols"});
    QVERIFY2(digitsOnly.isFinished && digitsOnly.exitCode == 0, qPrintable(digitsOnly.describe()));
    QVERIFY2(QRegularExpression(QStringLiteral("^[0-9]{12}\n$"))
                 .match(QString::fromUtf8(digitsOnly.standardOutput))
                 .hasMatch(),
             digitsOnly.standardOutput.constData());
    const CliRun longest = runCli({"generate", "--length", "1024", "--no-symbols"});
    QVERIFY2(longest.isFinished && longest.exitCode == 0, qPrintable(longest.describe()));
    QCOMPARE(longest.standardOutput.size(), 1025);
    QVERIFY(QRegularExpression(QStringLiteral("^[a-zA-Z0-9]+\n$"))
                .match(QString::fromUtf8(longest.standardOutput))
                .hasMatch());

    const CliRun argument = runCli({"estimate", "abc"});
    QVERIFY2(argument.isFinished && argument.exitCode == 0, qPrintable(argument.describe()));
    QCOMPARE(argument.standardOutput, QByteArray("0 very weak\n"));
    const QList<QPair<QByteArray, QByteArray>> estimates = {{"aaaaaaaaaaaaaaaa\n", "3 good\n"},
                                                            {"aaaaaaaaaaaaaaa\n", "2 average\n"},
                                                            {"abcdEF12\n", "1 weak\n"},
                                                            {"abcdEFGH1234!?xy\n", "4 excellent\n"},
                                                            {"\n", "0 very weak\n"}};
    for (const auto& [input, expected] : estimates)
    {
        const CliRun run = runCli({"estimate"}, input);
        QVERIFY2(run.isFinished && run.exitCode == 0, qPrintable(run.describe()));
        QCOMPARE(run.standardOutput, expected);
    }
    // --detailed adds the health report's rating of the same password.
    const CliRun detailed = runCli({"estimate", "--detailed"}, "Password1!\n");
    QVERIFY2(detailed.isFinished && detailed.exitCode == 0, qPrintable(detailed.describe()));
    QCOMPARE(detailed.standardOutput, QByteArray("2 average\nzxcvbn score: 1\nguesses (log10): 4.30\n"
                                                 "patterns: common word + digits + symbols\n"));
    const CliRun detailedStrong = runCli({"estimate", "--detailed", "x9$kLq!2vZ#8mP"});
    QVERIFY2(detailedStrong.isFinished && detailedStrong.exitCode == 0,
             qPrintable(detailedStrong.describe()));
    QCOMPARE(detailedStrong.standardOutput, QByteArray("3 good\nzxcvbn score: 4\nguesses (log10): 14.00\n"
                                                       "patterns: too few random characters\n"));

    const CliRun noInput = runCli({"estimate"});
    QVERIFY2(noInput.isFinished && noInput.exitCode == 1, qPrintable(noInput.describe()));
    QVERIFY(noInput.standardOutput.isEmpty());
}

void TestCliVault::healthReport()
{
    const QString masterPassword = QStringLiteral("Plum-Harbor-42-Quietly");
    const auto record = [](const QString& name, const QString& login, const QString& password)
    {
        PasswordRecord result;
        result.name = name;
        result.login = login;
        result.password = password;
        return result;
    };
    // Names with quotes, a line feed, a backslash and tabs; a note without login or web site is no finding.
    const Vault vault = {
        VaultTab{QStringLiteral("Web"),
                 {record("Mail \"home\"", "me", masterPassword), record("Line\nbreak", "x", "shared-Pass-7!"),
                  record("Forum", "nick", "Password1!"), record("Empty", "z", QString()),
                  record("Back\\slash", "y", "shared-Pass-7!"), record("Note only", QString(), QString())}},
        VaultTab{QStringLiteral("Other\tTab"),
                 {record("Shop\tonline", "me", "x9$kLq!2vZ#8mP"), record("Bank\r", "me", "letmein")}}};
    const QByteArray image = _encryptVault_helper(vault, masterPassword);
    QVERIFY(!image.isEmpty());
    QTemporaryDir directory;
    const QString imagePath = directory.filePath("vault.img");
    QVERIFY(writeWholeFile(imagePath, image));
    const QByteArray expected =
        "master\tWeb\tMail \"home\"\ta leak of this account exposes the whole vault\n"
        "reused\tWeb\tBack\\\\slash\treused in 2 records: Line\\nbreak\n"
        "reused\tWeb\tLine\\nbreak\treused in 2 records: Back\\\\slash\n"
        "empty\tWeb\tEmpty\tno password is stored\n"
        "weak\tWeb\tForum\tcommon word + digits + symbols, guessed in about 2 seconds\n"
        "weak\tOther\\tTab\tBank\\r\tcommon word, guessed in less than a second\n";

    const CliRun run = runCli({"health", "--image", imagePath}, masterPassword.toUtf8() + "\n");
    QVERIFY2(run.isFinished && run.exitCode == 0, qPrintable(run.describe()));
    QCOMPARE(run.standardOutput, expected);
    QVERIFY(!run.standardOutput.contains(masterPassword.toUtf8()));
    QVERIFY(!run.standardOutput.contains("shared-Pass-7!"));

    // The same report from a device; no finding is no failure.
    QTemporaryDir deviceDirectory;
    SimulatorProcess device;
    QVERIFY(device.writeMemory(0, image) && device.writeMemory(1, image));
    QVERIFY2(device.start(deviceDirectory.path(), "TZQVR-0001"), qPrintable(device.errorString()));
    const CliRun fromDevice =
        runCli({"health", "--device", "TZQVR-0001"}, masterPassword.toUtf8() + "\n", deviceDirectory.path());
    QVERIFY2(fromDevice.isFinished && fromDevice.exitCode == 0, qPrintable(fromDevice.describe()));
    QCOMPARE(fromDevice.standardOutput, expected);
    QVERIFY(device.stop());
    const QString cleanPath = directory.filePath("clean.img");
    QVERIFY(writeWholeFile(
        cleanPath,
        _encryptVault_helper({VaultTab{"A", {record("Shop", "me", "x9$kLq!2vZ#8mP")}}}, masterPassword)));
    const CliRun clean = runCli({"health", "--image", cleanPath}, masterPassword.toUtf8() + "\n");
    QVERIFY2(clean.isFinished && clean.exitCode == 0, qPrintable(clean.describe()));
    QVERIFY(clean.standardOutput.isEmpty());

    // Failures: 1 with the reason; command-line errors: 2.
    const CliRun wrongPassword = runCli({"health", "--image", imagePath}, "not the password\n");
    QVERIFY2(wrongPassword.isFinished && wrongPassword.exitCode == 1, qPrintable(wrongPassword.describe()));
    QVERIFY(wrongPassword.standardError.contains("wrong master password"));
    QVERIFY(wrongPassword.standardOutput.isEmpty());
    const CliRun missingFile = runCli({"health", "--image", directory.filePath("none.img")}, "x\n");
    QVERIFY2(missingFile.isFinished && missingFile.exitCode == 1, qPrintable(missingFile.describe()));
    const CliRun neither = runCli({"health"});
    QVERIFY2(neither.isFinished && neither.exitCode == 2, qPrintable(neither.describe()));
    QVERIFY(neither.standardError.contains("give either --device or --image"));
}

void TestCliVault::quietWhereTheLocaleIsNotUtf8()
{
    // Standard error holds the tool's own messages only, whatever locale a script or cron job runs it in.
    for (const char* language : {"C", "", "xx_XX.UTF-8"})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"LC_ALL", "LC_CTYPE", "LC_MESSAGES", "LANGUAGE"})
            environment.remove(QString::fromLatin1(variable));
        environment.insert(QStringLiteral("LANG"), QString::fromLatin1(language));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(cliProgramPath(), {QStringLiteral("estimate")});
        QVERIFY2(process.waitForStarted(30000), language);
        process.write("abc\n");
        process.closeWriteChannel();
        QVERIFY2(process.waitForFinished(60000) && process.exitCode() == 0, language);
        QCOMPARE(process.readAllStandardError(), QByteArray());
        QCOMPARE(process.readAllStandardOutput(), QByteArray("0 very weak\n"));
    }
}

void TestCliVault::outputFilesAreWrittenSafely()
{
    QTemporaryDir workDirectory;
    const Vault vault = {VaultTab{QStringLiteral("Web"), {_record_helper("Mail", "m41l")}}};
    const QString imagePath = workDirectory.filePath("vault.bin");
    QVERIFY(writeWholeFile(imagePath, _encryptVault_helper(vault, QStringLiteral("pw"))));

    // An existing CSV file needs --force, like every other output; refused before the password.
    const QString csvPath = workDirectory.filePath("vault.csv");
    QVERIFY(writeWholeFile(csvPath, "previous\n"));
    const CliRun existing = runCli({"export", "--image", imagePath, "--output", csvPath}, "pw\n");
    QVERIFY2(existing.isFinished && existing.exitCode == 1, qPrintable(existing.describe()));
    QCOMPARE(existing.standardError, QByteArray("corvane-cli: '" + csvPath.toUtf8() +
                                                "' already exists (use --force to replace it)\n"));
    QCOMPARE(readWholeFile(csvPath), QByteArray("previous\n"));

    // A full disk (a file size limit, inherited by the child) keeps the previous file, leaves no partial
    // file, and says what failed.
    struct rlimit previousLimit;
    ::getrlimit(RLIMIT_FSIZE, &previousLimit);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit smallLimit = previousLimit;
    smallLimit.rlim_cur = 8;
    ::setrlimit(RLIMIT_FSIZE, &smallLimit);
    const CliRun full = runCli({"export", "--image", imagePath, "--output", csvPath, "--force"}, "pw\n");
    const QString importedImagePath = workDirectory.filePath("imported.bin");
    const CliRun fullImport = runCli({"import", "--output", importedImagePath, csvPath}, "pw\npw\n");
    ::setrlimit(RLIMIT_FSIZE, &previousLimit);
    std::signal(SIGXFSZ, previousHandler);
    QVERIFY2(full.isFinished && full.exitCode == 1, qPrintable(full.describe()));
    QVERIFY2(full.standardError.contains("the previous file is left untouched"), qPrintable(full.describe()));
    QCOMPARE(readWholeFile(csvPath), QByteArray("previous\n"));
    QVERIFY2(fullImport.isFinished && fullImport.exitCode == 1, qPrintable(fullImport.describe()));
    QCOMPARE(QDir(workDirectory.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({"vault.bin", "vault.csv"}));

    // A symbolic link is never followed: its target keeps its content and its mode, even with --force.
    const QString targetPath = workDirectory.filePath("target.txt");
    QVERIFY(writeWholeFile(targetPath, "target\n"));
    QVERIFY(QFile::setPermissions(targetPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ReadOther));
    const QString linkPath = workDirectory.filePath("link.csv");
    QVERIFY(QFile::link(targetPath, linkPath));
    const CliRun throughLink =
        runCli({"export", "--image", imagePath, "--output", linkPath, "--force"}, "pw\n");
    QVERIFY2(throughLink.isFinished && throughLink.exitCode == 1, qPrintable(throughLink.describe()));
    QVERIFY2(throughLink.standardError.contains("symbolic link"), qPrintable(throughLink.describe()));
    QCOMPARE(readWholeFile(targetPath), QByteArray("target\n"));
    QCOMPARE(filePermissionBits(targetPath), 0644);

    // Nor a FIFO, whose reader would get the passwords.
    const QString fifoPath = workDirectory.filePath("fifo.csv");
    QVERIFY(::mkfifo(QFile::encodeName(fifoPath).constData(), 0644) == 0);
    const CliRun intoFifo = runCli({"export", "--image", imagePath, "--output", fifoPath, "--force"}, "pw\n");
    QVERIFY2(intoFifo.isFinished && intoFifo.exitCode == 1, qPrintable(intoFifo.describe()));
    QVERIFY2(intoFifo.standardError.contains("not a regular file"), qPrintable(intoFifo.describe()));

    const CliRun forced = runCli({"export", "--image", imagePath, "--output", csvPath, "--force"}, "pw\n");
    QVERIFY2(forced.isFinished && forced.exitCode == 0, qPrintable(forced.describe()));
    QCOMPARE(readWholeFile(csvPath), _csvLine_helper(vault[0].passwords[0]).toUtf8());
    QCOMPARE(filePermissionBits(csvPath), 0600);

    // An oversized CSV file is refused from its size.
    const QString largePath = workDirectory.filePath("large.csv");
    QFile large(largePath);
    QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(qint64(16) * 1024 * 1024 + 1));
    large.close();
    const CliRun tooLarge = runCli({"import", "--output", importedImagePath, largePath}, "pw\npw\n");
    QVERIFY2(tooLarge.isFinished && tooLarge.exitCode == 1, qPrintable(tooLarge.describe()));
    QVERIFY2(tooLarge.standardError.contains("The file is too large"), qPrintable(tooLarge.describe()));
    QVERIFY(!QFile::exists(importedImagePath));
}

void TestCliVault::summariesKeepPercentSignsAndCount()
{
    QTemporaryDir workDirectory;
    const Vault vault = {VaultTab{QStringLiteral("100%1 %2"), {_record_helper("Mail", "m41l")}}};
    const QString imagePath = workDirectory.filePath("a%1b.bin");
    QVERIFY(writeWholeFile(imagePath, _encryptVault_helper(vault, QStringLiteral("pw"))));

    const QString csvPath = workDirectory.filePath("out%1.csv");
    const CliRun all = runCli({"export", "--image", imagePath, "--output", csvPath}, "pw\n");
    QVERIFY2(all.isFinished && all.exitCode == 0, qPrintable(all.describe()));
    QCOMPARE(QString::fromUtf8(all.standardError),
             QStringLiteral("1 record of 1 tab written to '%1'.\n").arg(csvPath));

    const CliRun split = runCli(
        {"export", "--image", imagePath, "--split", "--output", workDirectory.filePath("s%2.csv")}, "pw\n");
    QVERIFY2(split.isFinished && split.exitCode == 0, qPrintable(split.describe()));
    QCOMPARE(QString::fromUtf8(split.standardError),
             "Tab '100%1 %2': 1 record written to '" + workDirectory.filePath("s%2-1-100_1_2.csv") + "'.\n");

    const CliRun import = runCli(
        {"import", "--tab", "%3 tab", "--output", workDirectory.filePath("i%1.bin"), csvPath}, "pw\npw\n");
    QVERIFY2(import.isFinished && import.exitCode == 0, qPrintable(import.describe()));
    QVERIFY2(import.standardError.startsWith("1 record imported into the tab '%3 tab' of '" +
                                             workDirectory.filePath("i%1.bin").toUtf8() + "'"),
             qPrintable(import.describe()));
}

void TestCliVault::closedStandardOutputIsAWriteError()
{
    QTemporaryDir workDirectory;
    const Vault vault = {VaultTab{QStringLiteral("Web"), {_record_helper("Mail", "m41l")}}};
    const QString imagePath = workDirectory.filePath("vault.bin");
    QVERIFY(writeWholeFile(imagePath, _encryptVault_helper(vault, QStringLiteral("pw"))));

    // Standard output is a pipe whose reading end is already closed, as after "| head -c0"; the default
    // SIGPIPE disposition is restored in the child so that only the tool's own handling can save it.
    int pipeDescriptors[2];
    QVERIFY(::pipe(pipeDescriptors) == 0);
    ::close(pipeDescriptors[0]);
    const int writingEnd = pipeDescriptors[1];
    QProcess process;
    process.setChildProcessModifier(
        [writingEnd]()
        {
            ::dup2(writingEnd, STDOUT_FILENO);
            std::signal(SIGPIPE, SIG_DFL);
        });
    process.start(cliProgramPath(), {"export", "--image", imagePath});
    QVERIFY(process.waitForStarted());
    ::close(writingEnd);
    process.write("pw\n");
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(process.readAllStandardError().contains("cannot write to standard output"));
}

QTEST_GUILESS_MAIN(TestCliVault)
#include "test_cli_vault.moc"
