#include "csv/CsvImport.h"

#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>

using Records = QList<PasswordRecord>;

char* toString(const PasswordRecord& record)
{
    return QTest::toString(QStringLiteral("{%1|%2|%3|%4|%5}")
                               .arg(record.name, record.login, record.password, record.url, record.note));
}

namespace
{
PasswordRecord _record(const QString& name, const QString& login, const QString& password, const QString& url,
                       const QString& note)
{
    return PasswordRecord{name, login, password, url, note};
}

// The messages of the column detection, captured while a test runs.
QStringList capturedLogLines;

void _captureMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    capturedLogLines.append(message);
}
} // namespace

class TestCsvImport : public QObject
{
    Q_OBJECT

public:
    // Writes the bytes to a file and imports it; the result code is returned, records and message by
    // reference.
    int importBytes(const QByteArray& bytes, QChar separator, bool isColumnsOrderFixed, Records& records,
                    QString& errorMessage)
    {
        const QString fileName = m_directory.filePath(QStringLiteral("import.csv"));
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the fixture");
        file.close();
        errorMessage.clear();
        return importCSVFile(fileName, separator, isColumnsOrderFixed, records, errorMessage);
    }

    // Imports and expects success.
    Records imported(const QByteArray& bytes, QChar separator = u',', bool isColumnsOrderFixed = false)
    {
        Records records;
        QString errorMessage;
        const int result = importBytes(bytes, separator, isColumnsOrderFixed, records, errorMessage);
        if (result != 0)
            qWarning() << "import failed with" << result << errorMessage;
        return result == 0 ? records : Records{_record("import failed", {}, {}, {}, errorMessage)};
    }

private slots:
    void fixedColumnsOrder_data();
    void fixedColumnsOrder();
    void keePassLayout();
    void roboFormLayouts();
    void titledHeaders();
    void lineEnds();
    void quotedFields();
    void recordsAreCutByFieldCount();
    void emptyRecordsAreDropped();
    void naming();
    void fileProblems();
    void byteOrderMark();
    void unterminatedQuotedField();
    void columnDetectionLog();

private:
    QTemporaryDir m_directory;
};

void TestCsvImport::fixedColumnsOrder_data()
{
    QTest::addColumn<QChar>("separator");
    QTest::newRow("comma") << QChar(u',');
    QTest::newRow("semicolon") << QChar(u';');
    QTest::newRow("tab") << QChar(u'\t');
    QTest::newRow("space") << QChar(u' ');
}

void TestCsvImport::fixedColumnsOrder()
{
    QFETCH(QChar, separator);
    const QByteArray s = QString(separator).toUtf8();

    // The first line is data, even when it looks like a header.
    const QByteArray bytes = "Name" + s + "Login" + s + "Password" + s + "Url" + s + "Note\n" + "\"Mail" + s +
                             "box\"" + s + "me@example.org" + s + "\"p\"\"w\"" + s +
                             "https://mail.example.org" + s + "\"line 1\nline 2\"\n" + "Bank" + s + "12345" +
                             s + "secret" + s + s + "\n";
    const Records expected = {_record("Name", "Login", "Password", "Url", "Note"),
                              _record("Mail" + QString(separator) + "box", "me@example.org", "p\"w",
                                      "https://mail.example.org", "line 1\nline 2"),
                              _record("Bank", "12345", "secret", "", "")};
    QCOMPARE(imported(bytes, separator, true), expected);

    // With a separator the line does not use, each whole line is a single field.
    if (separator != u',')
    {
        QCOMPARE(imported("a,b,c,d,e\nf,g,h,i,j\n", separator, true),
                 Records({_record("a,b,c,d,e", "f,g,h,i,j", "", "", "")}));
    }
}

void TestCsvImport::keePassLayout()
{
    const QByteArray header = "\"Account\",\"Login Name\",\"Password\",\"Web Site\",\"Comments\"\n";
    const QByteArray data =
        "\"Forum\",\"joe\",\"a\\\"b\\\\c\",\"http://forum.example.org\",\"say \\\"hi\\\"\"\n"
        "\"Share\",\"C:\\\\Users\",\"x\\\\\\\"y\",\"\",\"ends with \\\\\"\n";
    const Records expected = {
        _record("Forum", "joe", "a\"b\\c", "http://forum.example.org", "say \"hi\""),
        _record("Share", "C:\\Users", "x\\\"y", "", "ends with \\"),
    };
    QCOMPARE(imported(header + data), expected);
    QCOMPARE(imported(QByteArray(header + data).replace("\n", "\r\n")), expected);

    // A backslash in last position is copied as it is.
    QCOMPARE(imported(header + "\"a\",\"b\",\"c\",\"d\",\"e\"\nz\\"),
             Records({_record("a", "b", "c", "d", "e"), _record("z\\", "", "", "", "")}));

    // The same titles without the exact KeePass header (no quotes) map the columns but keep backslashes.
    QCOMPARE(imported("Account,Login Name,Password,Web Site,Comments\n\"a\",\"b\",\"c\\\\d\",\"e\",\"f\"\n"),
             Records({_record("a", "b", "c\\\\d", "e", "f")}));
}

void TestCsvImport::roboFormLayouts()
{
    // The data lines carry one more field than there are titles; it belongs to no record field.
    const QByteArray data =
        "Mail,https://mail.example.org,https://mail.example.org/login,joe,pw1,note 1,Work,"
        "fields,extra\n"
        "Bank,https://bank.example.org,,jane,\"pw,2\",,Home,,\n";
    const Records expected = {
        _record("Mail", "joe", "pw1", "https://mail.example.org", "note 1"),
        _record("Bank", "jane", "pw,2", "https://bank.example.org", ""),
    };
    QCOMPARE(imported("Name,Url,MatchUrl,Login,Pwd,Note,Folder,RfFieldsV2\n" + data), expected);
    QCOMPARE(imported("Name,URL,MatchUrl,Login,Password,Note,Folder,RfFieldsV2\n" + data), expected);
    QCOMPARE(
        imported(
            QByteArray("Name,Url,MatchUrl,Login,Pwd,Note,Folder,RfFieldsV2\n" + data).replace("\n", "\r\n")),
        expected);

    // Without the exact header (here a lowercase title) there is no extra column: the records shift.
    const Records shifted = imported("Name,url,MatchUrl,Login,Pwd,Note,Folder,RfFieldsV2\n" + data);
    QCOMPARE(shifted.size(), 2);
    QCOMPARE(shifted.at(1).name, QStringLiteral("extra"));
    QCOMPARE(shifted.at(1).url, QStringLiteral("Bank"));
}

void TestCsvImport::titledHeaders()
{
    // An export of another password manager: eleven titles, four of them known.
    const QByteArray header = "folder,favorite,type,name,notes,fields,reprompt,login_uri,login_username,"
                              "login_password,login_totp\n";
    QCOMPARE(imported(header + "Work,1,login,Mail,\"a\nnote\",,0,https://mail.example.org,joe,pw,otp\n"),
             Records({_record("Mail", "joe", "pw", "https://mail.example.org", "a\nnote")}));

    // Titles are lowercased but not trimmed; an empty title is a column of its own.
    QCOMPARE(imported("PASSWORD,Title,Web Site\npw,T,u\n"), Records({_record("T", "", "pw", "u", "")}));
    QCOMPARE(imported(" password,name\npw,N\n"), Records({_record("N", "", "", "", "")}));
    QCOMPARE(imported("name,,password\nN,x,pw\n"), Records({_record("N", "", "pw", "", "")}));
    QCOMPARE(imported("Account;User;Pwd;URL;Extra\nA;u;p;w;e\n", u';'),
             Records({_record("A", "", "p", "w", "e")}));
    QCOMPARE(imported("title\tusername\tpassword\nT\tjoe\tp w\n", u'\t'),
             Records({_record("T", "joe", "p w", "", "")}));
    QCOMPARE(imported("title login pwd\nT joe \"p w\"\n", u' '),
             Records({_record("T", "joe", "p w", "", "")}));

    // Two columns with the same meaning: the later one wins, even when it is empty.
    QCOMPARE(imported("name,note,comments\nN,first,second\nM,first,\n"),
             Records({_record("N", "", "", "", "second"), _record("M", "", "", "", "")}));
}

void TestCsvImport::lineEnds()
{
    const QByteArray lineFeed = "name,password,notes\nA,1,\"x\ny\"\nB,2,z\n";
    const Records expected = {_record("A", "", "1", "", "x\ny"), _record("B", "", "2", "", "z")};
    QCOMPARE(imported(lineFeed), expected);
    QCOMPARE(imported(QByteArray(lineFeed).replace("\n", "\r\n")), expected);
    QCOMPARE(imported(QByteArray(lineFeed).replace("\n", "\r")), expected);

    // Only the first line break decides: after a line feed, carriage returns are data.
    QCOMPARE(imported("name,password\nA,1\r\nB,2\r\n"),
             Records({_record("A", "", "1\r", "", ""), _record("B", "", "2\r", "", "")}));
    // After a carriage-return-only first break, a CR LF pair becomes two line ends, and the empty line
    // in between is a field of its own.
    QCOMPARE(imported("name,password\rA,1\r\nB,2\r"),
             Records({_record("A", "", "1", "", ""), _record("No name provided 1", "", "B", "", ""),
                      _record("2", "", "", "", "")}));
    // No line break at all: the whole text is one record.
    QCOMPARE(imported("A,B,C,D,E", u',', true), Records({_record("A", "B", "C", "D", "E")}));
}

void TestCsvImport::quotedFields()
{
    // Quoted separators and line feeds belong to the field; doubled quotes are one quote.
    QCOMPARE(imported("\"a,b\",\"\"\"\",\"multi\nline\n\nnote\",\"\",\"x\"\"y\"\n", u',', true),
             Records({_record("a,b", "\"", "multi\nline\n\nnote", "", "x\"y")}));
    // A quote inside a plain field is an ordinary character.
    QCOMPARE(imported("ab\"c,d\"e,f,g,h\n", u',', true), Records({_record("ab\"c", "d\"e", "f", "g", "h")}));
    // Text right after a closing quote starts the next field.
    QCOMPARE(imported("\"ab\"cd,e,f,g\n", u',', true), Records({_record("ab", "cd", "e", "f", "g")}));
    // A closing quote at the very end of the text ends the last field.
    QCOMPARE(imported("a,b,c,d,\"e\"", u',', true), Records({_record("a", "b", "c", "d", "e")}));
    // Non-ASCII text is read as UTF-8.
    QCOMPARE(
        imported(QString::fromUtf8("Café,josé,пароль,https://例え.jp,😀\n").toUtf8(), u',', true),
        Records({_record(QString::fromUtf8("Café"), QString::fromUtf8("josé"), QString::fromUtf8("пароль"),
                         QString::fromUtf8("https://例え.jp"), QString::fromUtf8("😀"))}));
}

void TestCsvImport::recordsAreCutByFieldCount()
{
    // The first data line has three fields: the record takes the next line's fields to reach five.
    QCOMPARE(imported("a,b,c\nd,e\nf,g,h,i,j\nk\n", u',', true),
             Records({_record("a", "b", "c", "d", "e"), _record("f", "g", "h", "i", "j"),
                      _record("k", "", "", "", "")}));
    QCOMPARE(imported("name,password\nA\nB,2\n"),
             Records({_record("A", "", "B", "", ""), _record("2", "", "", "", "")}));
}

void TestCsvImport::emptyRecordsAreDropped()
{
    QCOMPARE(imported("a,b,c,d,e\n\n\n\n", u',', true), Records({_record("a", "b", "c", "d", "e")}));
    QCOMPARE(imported("a,b,c,d,e\n,,,,\n\"\",\"\",\"\",\"\",\"\"\n,,,,\nf,,,,\n", u',', true),
             Records({_record("a", "b", "c", "d", "e"), _record("f", "", "", "", "")}));
    // Only ignored columns filled: nothing to keep.
    QCOMPARE(imported("name,folder\n,Work\nA,Home\n"), Records({_record("A", "", "", "", "")}));
    QCOMPARE(imported("\n\n\n\n", u',', true), Records());
}

void TestCsvImport::naming()
{
    const QByteArray header = "name,url,login\n";
    const Records records = imported(header + ",HTTPS://Secure.example.org/path,a\n"
                                              ",http://plain.example.org,b\n"
                                              ",ftp://files.example.org,c\n"
                                              ",,d\n"
                                              ",www.http://x,e\n"
                                              ",,f\n"
                                              ",hTtP://,g\n");
    QCOMPARE(records,
             Records({_record("Secure.example.org/path", "a", "", "HTTPS://Secure.example.org/path", ""),
                      _record("plain.example.org", "b", "", "http://plain.example.org", ""),
                      _record("ftp://files.example.org", "c", "", "ftp://files.example.org", ""),
                      _record("No name provided 1", "d", "", "", ""),
                      _record("www.http://x", "e", "", "www.http://x", ""),
                      _record("No name provided 2", "f", "", "", ""), _record("", "g", "", "hTtP://", "")}));

    // Each import counts from 1 again.
    QCOMPARE(imported(header + ",,again\n").value(0).name, QStringLiteral("No name provided 1"));
}

void TestCsvImport::fileProblems()
{
    Records records{_record("stale", {}, {}, {}, {})};
    QString errorMessage;
    QCOMPARE(importBytes("a,b", u',', true, records, errorMessage), -1);
    QCOMPARE(errorMessage, QStringLiteral("File size is too small to contain meaningful data."));
    QVERIFY(records.isEmpty());
    QCOMPARE(importBytes("", u',', true, records, errorMessage), -1);
    QCOMPARE(errorMessage, QStringLiteral("File size is too small to contain meaningful data."));
    QCOMPARE(imported("a,bc", u',', true), Records({_record("a", "bc", "", "", "")}));

    errorMessage.clear();
    QCOMPARE(
        importCSVFile(m_directory.filePath(QStringLiteral("missing.csv")), u',', true, records, errorMessage),
        -1);
    // The system's own text ("No such file or directory" on Linux; ENOENT and ERROR_FILE_NOT_FOUND are both
    // 2).
    QCOMPARE(errorMessage, qt_error_string(ENOENT));

    // No header where one is expected: -2 and the message left alone. An empty first line is one
    // untitled column, not a missing header.
    QCOMPARE(importBytes("\n\n\n\n", u',', false, records, errorMessage), 0);
    QVERIFY(records.isEmpty());
    // A quote that never closes on the first line is the parser's reason, not a missing header.
    QCOMPARE(importBytes("\"never closed header", u',', false, records, errorMessage), -1);
    QVERIFY2(errorMessage.contains(QStringLiteral("closing double quote is missing")),
             qPrintable(errorMessage));
    errorMessage = QStringLiteral("kept");
    QCOMPARE(importCSVText(QByteArray(), u',', false, records, errorMessage), -2);
    QCOMPARE(errorMessage, QStringLiteral("kept"));
    // A header alone is a valid file without records.
    QCOMPARE(importBytes("name,password\n", u',', false, records, errorMessage), 0);
    QVERIFY(records.isEmpty());

    // The own headerless layout read with header detection: its first record names no known column, so
    // the data lines give nothing, which is an error and not an empty success.
    QCOMPARE(importBytes("\"Mail\",\"joe\",\"pw\",\"\",\"\"\n\"Bank\",\"jane\",\"pw2\",\"\",\"\"\n", u',',
                         false, records, errorMessage),
             -1);
    QVERIFY2(errorMessage.startsWith(QStringLiteral("No record was recognised: none of the column titles")),
             qPrintable(errorMessage));
    QVERIFY(records.isEmpty());
    QCOMPARE(importBytes("name,folder\n,Work\n", u',', false, records, errorMessage), -1);
    QVERIFY2(errorMessage.contains(QStringLiteral("no value in the recognised columns")),
             qPrintable(errorMessage));

    // Larger than any vault could come from: refused from its size, before anything is read.
    const QString largeFileName = m_directory.filePath(QStringLiteral("large.csv"));
    QFile largeFile(largeFileName);
    QVERIFY(largeFile.open(QIODevice::WriteOnly));
    QVERIFY(largeFile.resize(MAXIMUM_CSV_FILE_SIZE + 1));
    largeFile.close();
    QCOMPARE(importCSVFile(largeFileName, u',', true, records, errorMessage), -1);
    QVERIFY2(errorMessage.startsWith(QStringLiteral("The file is too large (16 MiB)")),
             qPrintable(errorMessage));
    QVERIFY2(errorMessage.contains(QStringLiteral("128 KiB a device holds")), qPrintable(errorMessage));
    QFile::remove(largeFileName);
}

void TestCsvImport::byteOrderMark()
{
    const QByteArray bom = "\xEF\xBB\xBF";
    QCOMPARE(imported(bom + "\"Account\",\"Login Name\",\"Password\",\"Web Site\",\"Comments\"\n"
                            "\"A\",\"l\",\"p\\\"q\",\"u\",\"n\"\n"),
             Records({_record("A", "l", "p\"q", "u", "n")}));
    QCOMPARE(imported(bom + "name,password\nA,1\n"), Records({_record("A", "", "1", "", "")}));
    QCOMPARE(imported(bom + "A,B,C,D,E\n", u',', true), Records({_record("A", "B", "C", "D", "E")}));
    // A file holding the mark and a single byte is not too small, and holds one record.
    QCOMPARE(imported(bom + "x", u',', true), Records({_record("x", "", "", "", "")}));
}

void TestCsvImport::unterminatedQuotedField()
{
    Records records;
    QString errorMessage;
    QCOMPARE(importBytes("a,b,c,d,e\nf,g,\"h,i,j\nk,l,m,n,o\n", u',', true, records, errorMessage), -1);
    QCOMPARE(errorMessage,
             QStringLiteral("The file ends inside a quoted field that starts on line 2: its closing "
                            "double quote is missing."));
    QVERIFY(records.isEmpty());

    QCOMPARE(importBytes("name,password\r\nA,1\r\nB,2\r\nC,\"3\r\n", u',', false, records, errorMessage), -1);
    QVERIFY2(errorMessage.contains(QStringLiteral("line 4")), qPrintable(errorMessage));
    QVERIFY(records.isEmpty());

    // In a KeePass file an escaped quote does not close the field.
    QCOMPARE(importBytes("\"Account\",\"Login Name\",\"Password\",\"Web Site\",\"Comments\"\n\"A\",\"b\\\"\n",
                         u',', false, records, errorMessage),
             -1);
    QVERIFY2(errorMessage.contains(QStringLiteral("line 2")), qPrintable(errorMessage));

    // A header title that never closes leaves no title at all.
    QCOMPARE(importBytes("name,\"password\nA,1\n", u',', false, records, errorMessage), -1);
    QVERIFY2(errorMessage.contains(QStringLiteral("line 1")), qPrintable(errorMessage));
}

void TestCsvImport::columnDetectionLog()
{
    capturedLogLines.clear();
    QLoggingCategory::setFilterRules(QStringLiteral("corvane.csv.import.debug=true"));
    const QtMessageHandler previousHandler = qInstallMessageHandler(_captureMessage);
    const Records records = imported("\"Account\",\"Login Name\",\"Password\",\"Web Site\",\"Comments\"\n"
                                     "\"A\",\"b\\\\\",\"c\\\"\",\"d\",\"e\"\n");
    imported("Name,Url,MatchUrl,Login,Pwd,Note,Folder,RfFieldsV2\n", u';', false);
    imported("a,b,c,d,e\n", u'\t', true);
    imported("\n\n\n\n");
    qInstallMessageHandler(previousHandler);
    QCOMPARE(records.size(), 1);

    QStringList texts;
    const QRegularExpression prefix(QStringLiteral("^\\[_determineColumnsOrder\\(\\):[0-9]+\\] "));
    for (const QString& line : capturedLogLines)
    {
        QVERIFY2(prefix.match(line).hasMatch(), qPrintable(line));
        texts.append(QString(line).remove(prefix));
    }
    const QStringList expected = {
        "Entry. Field separating character : ,, use a fixed columns order : false.",
        "Detected the KeePass 1.x and 2.x file format.",
        "Column 1: password data ID 0.",
        "Column 2: password data ID 1.",
        "Column 3: password data ID 2.",
        "Column 4: password data ID 3.",
        "Column 5: password data ID 4.",
        "Using the KeePass format, fixing the invalid escape sequences.",
        "Fixed a backslash escaping sequence.",
        "Fixed a double quotes escaping sequence.",
        "Found 5 columns.",
        "Entry. Field separating character : ;, use a fixed columns order : false.",
        "Detected the RoboForm file format.",
        "Column 1: password data ID 5.",
        "Using the RoboForm format, adding one more column as the last one does not seem to have a title.",
        "Found 2 columns.",
        "Entry. Field separating character : \t, use a fixed columns order : true.",
        "Using the Corvane format with a fixed columns order.",
        "Entry. Field separating character : ,, use a fixed columns order : false.",
        "Column 1: password data ID 5.",
        "Found 1 columns.",
    };
    QCOMPARE(texts, expected);

    // Every debug line on, a header-less file read as if it had titles: its first line is a record, and no
    // value of it reaches the log.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=true"));
    capturedLogLines.clear();
    qInstallMessageHandler(_captureMessage);
    imported("Mail,alice,S3cret-pw,https://mail.example,\n", u',', false);
    qInstallMessageHandler(previousHandler);
    QLoggingCategory::setFilterRules(QString());
    QVERIFY(!capturedLogLines.isEmpty());
    const QString log = capturedLogLines.join(QLatin1Char('\n'));
    for (const char* value : {"Mail", "alice", "S3cret-pw", "mail.example"})
        QVERIFY2(!log.contains(QLatin1String(value), Qt::CaseInsensitive), qPrintable(log));
}

QTEST_GUILESS_MAIN(TestCsvImport)
#include "test_csv_import.moc"
