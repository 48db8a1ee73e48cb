#include "csv/CsvExport.h"
#include "csv/CsvImport.h"
#include "vault/OwnerOnlyFileWriter.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using Records = QList<PasswordRecord>;

char* toString(const PasswordRecord& record)
{
    return QTest::toString(QStringLiteral("{%1|%2|%3|%4|%5}")
                               .arg(record.name, record.login, record.password, record.url, record.note));
}

namespace
{
QByteArray _fileContent(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

mode_t _permissionBits(const QString& fileName)
{
    struct stat status;
    if (::stat(QFile::encodeName(fileName).constData(), &status) != 0)
        return 07777;
    return status.st_mode & 07777;
}

// A file size limit makes writes fail with EFBIG like a full disk, without privileges or a mount.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        ::getrlimit(RLIMIT_FSIZE, &_previousLimit);
        _previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit newLimit = _previousLimit;
        newLimit.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &newLimit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &_previousLimit);
        std::signal(SIGXFSZ, _previousHandler);
    }

private:
    struct rlimit _previousLimit;
    void (*_previousHandler)(int);
};
} // namespace

class TestCsvExport : public QObject
{
    Q_OBJECT

private slots:
    void layout();
    void exportThenImportRestoresTheRecords();
    void fileIsReadableByItsOwnerOnly();
    void writeErrorsAreReported();
    void fullDiskLeavesThePreviousFile();
    void existingFileIsReplacedOnlyWhenAllowed();
    void linksPipesAndDevicesAreNeverWritten();
    void linkPlantedAfterTheCheckIsNeverFollowed();

private:
    QTemporaryDir m_directory;
};

void TestCsvExport::layout()
{
    const Records records = {
        PasswordRecord{"Mail", "joe", "p\"w", "https://mail.example.org", "two\nlines"},
        PasswordRecord{"", "", "", "", ""},
        PasswordRecord{"a,b", "c;d", "e\tf", "g h", "\"\""},
    };
    const QByteArray expected = "\"Mail\",\"joe\",\"p\"\"w\",\"https://mail.example.org\",\"two\nlines\"\n"
                                "\"\",\"\",\"\",\"\",\"\"\n"
                                "\"a,b\",\"c;d\",\"e\tf\",\"g h\",\"\"\"\"\"\"\n";
    const QString fileName = m_directory.filePath(QStringLiteral("layout.csv"));
    QString errorMessage = QStringLiteral("stale");
    QCOMPARE(exportCSVFile(fileName, records, true, errorMessage), 0);
    QVERIFY(errorMessage.isEmpty());
    QCOMPARE(_fileContent(fileName), expected);
    QCOMPARE(exportCSVText(records), expected);

    // UTF-8 without a byte order mark.
    QCOMPARE(exportCSVText({PasswordRecord{QString::fromUtf8("Café"), "", "", "", ""}}),
             QByteArray("\"Caf\xC3\xA9\",\"\",\"\",\"\",\"\"\n"));

    // An empty tab gives an empty file, also in place of an existing one.
    QCOMPARE(exportCSVFile(fileName, {}, true, errorMessage), 0);
    QVERIFY(QFile::exists(fileName));
    QCOMPARE(_fileContent(fileName), QByteArray());
    QVERIFY(exportCSVText({}).isEmpty());
}

void TestCsvExport::exportThenImportRestoresTheRecords()
{
    const Records records = {
        PasswordRecord{"Forum", "joe", "pa,ss;word", "https://forum.example.org",
                       "first line\nsaid \"hello\""},
        PasswordRecord{QString::fromUtf8("Ünïcödé 日本"), QString::fromUtf8("jösé"),
                       QString::fromUtf8("пароль😀"), QString::fromUtf8("https://例え.jp"),
                       QString::fromUtf8("€ and\n\nblank line")},
        PasswordRecord{"Only name", "", "", "", ""},
        PasswordRecord{"Quotes", "\"", "\"\"", "a\"b", "\"start and end\""},
        PasswordRecord{"Spaces", " lead", "trail ", "\t", " "},
    };
    const QString fileName = m_directory.filePath(QStringLiteral("round trip.csv"));
    QString errorMessage;
    QCOMPARE(exportCSVFile(fileName, records, true, errorMessage), 0);

    Records importedRecords;
    QCOMPARE(importCSVFile(fileName, u',', true, importedRecords, errorMessage), 0);
    QCOMPARE(importedRecords, records);
}

void TestCsvExport::fileIsReadableByItsOwnerOnly()
{
    const mode_t previousMask = ::umask(022);
    const Records records = {PasswordRecord{"Bank", "jane", "secret", "", ""}};
    QString errorMessage;

    const QString newFileName = m_directory.filePath(QStringLiteral("new.csv"));
    QCOMPARE(exportCSVFile(newFileName, records, false, errorMessage), 0);
    QCOMPARE(_permissionBits(newFileName), mode_t(0600));

    // An existing file readable by everybody is replaced by an owner-only one.
    const QString existingFileName = m_directory.filePath(QStringLiteral("existing.csv"));
    QFile existingFile(existingFileName);
    QVERIFY(existingFile.open(QIODevice::WriteOnly));
    existingFile.write(QByteArray(4096, 'x'));
    existingFile.close();
    QVERIFY(::chmod(QFile::encodeName(existingFileName).constData(), 0644) == 0);
    QCOMPARE(exportCSVFile(existingFileName, records, true, errorMessage), 0);
    QCOMPARE(_permissionBits(existingFileName), mode_t(0600));
    QCOMPARE(_fileContent(existingFileName), exportCSVText(records));

    // Overwriting again keeps the restriction.
    QCOMPARE(exportCSVFile(existingFileName, records, true, errorMessage), 0);
    QCOMPARE(_permissionBits(existingFileName), mode_t(0600));
    ::umask(previousMask);
}

void TestCsvExport::writeErrorsAreReported()
{
    Records manyRecords;
    for (int index = 0; index < 2000; index++)
        manyRecords.append(
            PasswordRecord{QStringLiteral("Record %1").arg(index), "login", "password", "url", "note"});
    QString errorMessage;
    QCOMPARE(exportCSVFile(m_directory.filePath(QStringLiteral("missing/directory/file.csv")), manyRecords,
                           true, errorMessage),
             -1);
    QVERIFY2(errorMessage.contains(QStringLiteral("temporary file")), qPrintable(errorMessage));

    // Nobody may create files in /proc, not even the administrator.
    QCOMPARE(exportCSVFile(QStringLiteral("/proc/corvane-export.csv"), manyRecords, true, errorMessage), -1);
    QVERIFY(!errorMessage.isEmpty());
    QVERIFY(!QFile::exists(QStringLiteral("/proc/corvane-export.csv")));
}

void TestCsvExport::fullDiskLeavesThePreviousFile()
{
    Records manyRecords;
    for (int index = 0; index < 2000; index++)
        manyRecords.append(
            PasswordRecord{QStringLiteral("Record %1").arg(index), "login", "password", "url", "note"});
    QTemporaryDir directory;
    const QString fileName = directory.filePath(QStringLiteral("vault.csv"));
    QFile previousFile(fileName);
    QVERIFY(previousFile.open(QIODevice::WriteOnly));
    previousFile.write("previous content\n");
    previousFile.close();

    QString errorMessage;
    // Both a failure inside the writes and one at the final flush of a single short record.
    for (const Records& records : {manyRecords, Records{PasswordRecord{"a", "b", "c", "d", "e"}}})
    {
        const FileSizeLimit limit(16);
        QCOMPARE(exportCSVFile(fileName, records, true, errorMessage), -1);
    }
    QVERIFY2(errorMessage.contains(QStringLiteral("previous file is left untouched")),
             qPrintable(errorMessage));
    QCOMPARE(_fileContent(fileName), QByteArray("previous content\n"));
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"vault.csv"});

    // Without a previous file, nothing at all is left.
    const QString newFileName = directory.filePath(QStringLiteral("new.csv"));
    {
        const FileSizeLimit limit(4096);
        QCOMPARE(exportCSVFile(newFileName, manyRecords, false, errorMessage), -1);
    }
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"vault.csv"});
}

void TestCsvExport::existingFileIsReplacedOnlyWhenAllowed()
{
    const Records records = {PasswordRecord{"Bank", "jane", "secret", "", ""}};
    const QString fileName = m_directory.filePath(QStringLiteral("kept.csv"));
    QFile existingFile(fileName);
    QVERIFY(existingFile.open(QIODevice::WriteOnly));
    existingFile.write("kept\n");
    existingFile.close();
    QString errorMessage;
    QCOMPARE(exportCSVFile(fileName, records, false, errorMessage), -1);
    QCOMPARE(errorMessage, QStringLiteral("the file already exists"));
    QCOMPARE(_fileContent(fileName), QByteArray("kept\n"));
    QCOMPARE(exportCSVFile(fileName, records, true, errorMessage), 0);
    QCOMPARE(_fileContent(fileName), exportCSVText(records));
}

void TestCsvExport::linksPipesAndDevicesAreNeverWritten()
{
    const Records records = {PasswordRecord{"Bank", "jane", "secret", "", ""}};
    const QString targetName = m_directory.filePath(QStringLiteral("target.txt"));
    QFile target(targetName);
    QVERIFY(target.open(QIODevice::WriteOnly));
    target.write("target\n");
    target.close();
    QVERIFY(::chmod(QFile::encodeName(targetName).constData(), 0644) == 0);
    const QString linkName = m_directory.filePath(QStringLiteral("link.csv"));
    QVERIFY(QFile::link(targetName, linkName));
    QString errorMessage;
    QCOMPARE(exportCSVFile(linkName, records, true, errorMessage), -1);
    QVERIFY2(errorMessage.contains(QStringLiteral("symbolic link")), qPrintable(errorMessage));
    QCOMPARE(_fileContent(targetName), QByteArray("target\n"));
    QCOMPARE(_permissionBits(targetName), mode_t(0644));
    QVERIFY(QFileInfo(linkName).isSymLink());

    const QString pipeName = m_directory.filePath(QStringLiteral("pipe.csv"));
    QVERIFY(::mkfifo(QFile::encodeName(pipeName).constData(), 0600) == 0);
    QCOMPARE(exportCSVFile(pipeName, records, true, errorMessage), -1);
    QVERIFY2(errorMessage.contains(QStringLiteral("not a regular file")), qPrintable(errorMessage));

    const mode_t deviceMode = _permissionBits(QStringLiteral("/dev/full"));
    QCOMPARE(exportCSVFile(QStringLiteral("/dev/full"), records, true, errorMessage), -1);
    QVERIFY2(errorMessage.contains(QStringLiteral("not a regular file")), qPrintable(errorMessage));
    QCOMPARE(_permissionBits(QStringLiteral("/dev/full")), deviceMode);
}

void TestCsvExport::linkPlantedAfterTheCheckIsNeverFollowed()
{
    // As another user would in a shared sticky folder: the name is free when checked, then a link to the
    // victim's file appears before the file is created.
    const Records records = {PasswordRecord{"Bank", "jane", "secret", "", ""}};
    QTemporaryDir victimDirectory;
    const QString victimName = victimDirectory.filePath(QStringLiteral("precious.txt"));
    QFile victim(victimName);
    QVERIFY(victim.open(QIODevice::WriteOnly));
    victim.write("precious\n");
    victim.close();
    OwnerOnlyFileWriter::setAfterCheckHookForTesting([&victimName](const QString& filePath)
                                                     { QFile::link(victimName, filePath); });
    QString errorMessage;
    const QString exportName = m_directory.filePath(QStringLiteral("race.csv"));
    const int refusedResult = exportCSVFile(exportName, records, false, errorMessage);
    const QString refusedMessage = errorMessage;
    QFile::remove(exportName);
    const int replacedResult = exportCSVFile(exportName, records, true, errorMessage);
    OwnerOnlyFileWriter::setAfterCheckHookForTesting(nullptr);

    QCOMPARE(_fileContent(victimName), QByteArray("precious\n"));
    // Without --force the planted name is kept and reported; with it the link itself is replaced.
    QCOMPARE(refusedResult, -1);
    QCOMPARE(refusedMessage, QStringLiteral("the file already exists"));
    QCOMPARE(replacedResult, 0);
    QVERIFY(!QFileInfo(exportName).isSymLink());
    QCOMPARE(_fileContent(exportName), exportCSVText(records));
    QCOMPARE(_permissionBits(exportName), mode_t(0600));
    QCOMPARE(QDir(m_directory.path()).entryList({QStringLiteral(".race*")}, QDir::Files | QDir::Hidden),
             QStringList());
}

QTEST_GUILESS_MAIN(TestCsvExport)
#include "test_csv_export.moc"
