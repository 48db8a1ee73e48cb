#include "csv/CsvExport.h"
#include "csv/CsvImport.h"

#include <QTemporaryDir>
#include <QtTest>

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
} // namespace

class TestCsvExport : public QObject
{
    Q_OBJECT

private slots:
    void layout();
    void exportThenImportRestoresTheRecords();
    void fileIsReadableByItsOwnerOnly();
    void writeErrorsAreReported();

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
    QCOMPARE(exportCSVFile(fileName, records, errorMessage), 0);
    QVERIFY(errorMessage.isEmpty());
    QCOMPARE(_fileContent(fileName), expected);
    QCOMPARE(exportCSVText(records), expected);

    // UTF-8 without a byte order mark.
    QCOMPARE(exportCSVText({PasswordRecord{QString::fromUtf8("Café"), "", "", "", ""}}),
             QByteArray("\"Caf\xC3\xA9\",\"\",\"\",\"\",\"\"\n"));

    // An empty tab gives an empty file, also in place of an existing one.
    QCOMPARE(exportCSVFile(fileName, {}, errorMessage), 0);
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
    QCOMPARE(exportCSVFile(fileName, records, errorMessage), 0);

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
    QCOMPARE(exportCSVFile(newFileName, records, errorMessage), 0);
    QCOMPARE(_permissionBits(newFileName), mode_t(0600));

    // An existing file readable by everybody is restricted before the passwords go in, and emptied first.
    const QString existingFileName = m_directory.filePath(QStringLiteral("existing.csv"));
    QFile existingFile(existingFileName);
    QVERIFY(existingFile.open(QIODevice::WriteOnly));
    existingFile.write(QByteArray(4096, 'x'));
    existingFile.close();
    QVERIFY(::chmod(QFile::encodeName(existingFileName).constData(), 0644) == 0);
    QCOMPARE(exportCSVFile(existingFileName, records, errorMessage), 0);
    QCOMPARE(_permissionBits(existingFileName), mode_t(0600));
    QCOMPARE(_fileContent(existingFileName), exportCSVText(records));

    // Overwriting again keeps the restriction.
    QCOMPARE(exportCSVFile(existingFileName, records, errorMessage), 0);
    QCOMPARE(_permissionBits(existingFileName), mode_t(0600));
    ::umask(previousMask);
}

void TestCsvExport::writeErrorsAreReported()
{
    // A few records and enough to overflow the file's write buffer: the failure shows either in a write or
    // in the final flush, and both must be reported.
    Records manyRecords;
    for (int index = 0; index < 2000; index++)
        manyRecords.append(
            PasswordRecord{QStringLiteral("Record %1").arg(index), "login", "password", "url", "note"});
    const mode_t deviceMode = _permissionBits(QStringLiteral("/dev/full"));
    for (const Records& records : {Records{PasswordRecord{"a", "b", "c", "d", "e"}}, manyRecords})
    {
        QString errorMessage;
        QCOMPARE(exportCSVFile(QStringLiteral("/dev/full"), records, errorMessage), -1);
        QCOMPARE(errorMessage, QStringLiteral("No space left on device"));
    }
    // A device is written as it is: its permissions are not the export's business.
    QCOMPARE(_permissionBits(QStringLiteral("/dev/full")), deviceMode);

    QString errorMessage;
    QCOMPARE(exportCSVFile(m_directory.filePath(QStringLiteral("missing/directory/file.csv")), manyRecords,
                           errorMessage),
             -1);
    QCOMPARE(errorMessage, QStringLiteral("No such file or directory"));

    // Nobody may create files in /proc, not even the administrator.
    QCOMPARE(exportCSVFile(QStringLiteral("/proc/corvane-export.csv"), manyRecords, errorMessage), -1);
    QVERIFY(!errorMessage.isEmpty());
    QVERIFY(!QFile::exists(QStringLiteral("/proc/corvane-export.csv")));

    // A directory without write permission refuses the file (the administrator ignores these bits).
    if (::geteuid() != 0)
    {
        const QString lockedDirectory = m_directory.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkdir(lockedDirectory));
        QVERIFY(::chmod(QFile::encodeName(lockedDirectory).constData(), 0500) == 0);
        QCOMPARE(exportCSVFile(lockedDirectory + QStringLiteral("/file.csv"), manyRecords, errorMessage), -1);
        QCOMPARE(errorMessage, QStringLiteral("Permission denied"));
        ::chmod(QFile::encodeName(lockedDirectory).constData(), 0700);
    }
}

QTEST_GUILESS_MAIN(TestCsvExport)
#include "test_csv_export.moc"
