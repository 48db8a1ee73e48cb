#include "csv/CsvImport.h"

#include "common/SecureMemory.h"

#include <QFile>
#include <QHash>
#include <QLoggingCategory>
#include <QObject>
#include <QStringView>

#include <algorithm>
#include <utility>

// "corvane.csv.import" (debug, off by default). Lines name what the reader decided, never a value read from
// the file: a header-less file's first line holds a record, password included. Every line starts with
// "[function():line] " so that a log can be matched with the code.
Q_LOGGING_CATEGORY(csvImportLog, "corvane.csv.import", QtWarningMsg)
#define CSV_IMPORT_LOG                                                                                       \
    qCDebug(csvImportLog).noquote().nospace() << "[" << __func__ << "():" << __LINE__ << "] "

namespace
{
// Identifiers of the columns ("password data ID"): 0 to 4 follow the record's field order.
constexpr int PASSWORD_DATA_ID_IGNORED = 5;

enum LineEndingType
{
    LINE_ENDING_TYPE_CARRIAGE_RETURN = 0,
    LINE_ENDING_TYPE_LINE_FEED = 1,
    LINE_ENDING_TYPE_CARRIAGE_RETURN_LINE_FEED = 2,
    LINE_ENDING_TYPE_NONE = 3
};

enum HeaderLayout
{
    HEADER_LAYOUT_OTHER,
    HEADER_LAYOUT_KEEPASS,
    HEADER_LAYOUT_ROBOFORM
};

const QString KEEPASS_HEADER =
    QStringLiteral("\"Account\",\"Login Name\",\"Password\",\"Web Site\",\"Comments\"\n");
const QString ROBOFORM_HEADER_VARIANT_1 =
    QStringLiteral("Name,Url,MatchUrl,Login,Pwd,Note,Folder,RfFieldsV2\n");
const QString ROBOFORM_HEADER_VARIANT_2 =
    QStringLiteral("Name,URL,MatchUrl,Login,Password,Note,Folder,RfFieldsV2\n");

const QByteArray UTF8_BYTE_ORDER_MARK = QByteArrayLiteral("\xEF\xBB\xBF");

const QHash<QString, int>& _keywordTable_helper()
{
    static const QHash<QString, int> table = {
        {QStringLiteral("account"), PasswordRecord::FIELD_NAME},
        {QStringLiteral("name"), PasswordRecord::FIELD_NAME},
        {QStringLiteral("title"), PasswordRecord::FIELD_NAME},
        {QStringLiteral("login"), PasswordRecord::FIELD_LOGIN},
        {QStringLiteral("login name"), PasswordRecord::FIELD_LOGIN},
        {QStringLiteral("login_username"), PasswordRecord::FIELD_LOGIN},
        {QStringLiteral("username"), PasswordRecord::FIELD_LOGIN},
        {QStringLiteral("login_password"), PasswordRecord::FIELD_PASSWORD},
        {QStringLiteral("password"), PasswordRecord::FIELD_PASSWORD},
        {QStringLiteral("pwd"), PasswordRecord::FIELD_PASSWORD},
        {QStringLiteral("login_uri"), PasswordRecord::FIELD_URL},
        {QStringLiteral("url"), PasswordRecord::FIELD_URL},
        {QStringLiteral("web site"), PasswordRecord::FIELD_URL},
        {QStringLiteral("comments"), PasswordRecord::FIELD_NOTE},
        {QStringLiteral("extra"), PasswordRecord::FIELD_NOTE},
        {QStringLiteral("note"), PasswordRecord::FIELD_NOTE},
        {QStringLiteral("notes"), PasswordRecord::FIELD_NOTE},
    };
    return table;
}

// Only the first line break of the file counts: a file mixing line ends keeps the other kinds as data.
int _getLineEndingType(const char* bytes, qint64 size)
{
    for (qint64 index = 0; index < size; index++)
    {
        if (bytes[index] == '\n')
            return LINE_ENDING_TYPE_LINE_FEED;
        if (bytes[index] == '\r')
        {
            if (index + 1 < size && bytes[index + 1] == '\n')
                return LINE_ENDING_TYPE_CARRIAGE_RETURN_LINE_FEED;
            return LINE_ENDING_TYPE_CARRIAGE_RETURN;
        }
    }
    return LINE_ENDING_TYPE_NONE;
}

// Rewrites the text in place so that every record ends with a line feed.
void _normaliseLineEnds_helper(QString& text, int lineEndingType)
{
    if (lineEndingType == LINE_ENDING_TYPE_CARRIAGE_RETURN)
    {
        text.replace(u'\r', u'\n');
    }
    else if (lineEndingType == LINE_ENDING_TYPE_CARRIAGE_RETURN_LINE_FEED)
    {
        QChar* characters = text.data();
        const qsizetype size = text.size();
        qsizetype writeIndex = 0;
        for (qsizetype readIndex = 0; readIndex < size; readIndex++)
        {
            if (characters[readIndex] == u'\r' && readIndex + 1 < size && characters[readIndex + 1] == u'\n')
                continue;
            characters[writeIndex++] = characters[readIndex];
        }
        // The tail held copies of the content: wipe it before the string forgets about it.
        secureZeroMemory(characters + writeIndex,
                         static_cast<std::size_t>(size - writeIndex) * sizeof(QChar));
        text.truncate(writeIndex);
    }
}

// Reads a quoted field that starts at the front of text. Returns the index just past the closing quote,
// or -1 when the text ends before the quote closes.
qsizetype _findQuotedFieldEnd_helper(QStringView text, qsizetype& quotePairCount)
{
    quotePairCount = 0;
    qsizetype position = 1;
    while (true)
    {
        const qsizetype quoteIndex = text.indexOf(u'"', position);
        if (quoteIndex < 0)
            return -1;
        if (quoteIndex + 1 < text.size() && text[quoteIndex + 1] == u'"')
        {
            quotePairCount++;
            position = quoteIndex + 2;
            continue;
        }
        return quoteIndex + 1;
    }
}

// Takes one field and its terminator from the front of text. -1: nothing to read, or a quoted field that
// never closes (text unchanged); 0: the field ended with the separator or the end of the text; 1: the
// field ended with a line feed.
int _readField(QStringView& text, QChar fieldsSeparatorCharacter, QString& field)
{
    field.clear();
    if (text.isEmpty())
        return -1;

    const QChar firstCharacter = text.front();
    if (firstCharacter == fieldsSeparatorCharacter)
    {
        text = text.mid(1);
        return 0;
    }

    if (firstCharacter == u'"')
    {
        qsizetype quotePairCount = 0;
        const qsizetype fieldEnd = _findQuotedFieldEnd_helper(text, quotePairCount);
        if (fieldEnd < 0)
            return -1;

        // Sized once so that no reallocation leaves copies of the value behind.
        field.reserve(fieldEnd - 2 - quotePairCount);
        const QStringView content = text.mid(1, fieldEnd - 2);
        qsizetype chunkStart = 0;
        while (chunkStart < content.size())
        {
            const qsizetype quoteIndex = content.indexOf(u'"', chunkStart);
            if (quoteIndex < 0)
            {
                field.append(content.mid(chunkStart));
                break;
            }
            field.append(content.mid(chunkStart, quoteIndex - chunkStart + 1));
            chunkStart = quoteIndex + 2; // skip the second quote of the pair
        }

        int result = 0;
        qsizetype consumed = fieldEnd;
        if (consumed < text.size())
        {
            if (text[consumed] == fieldsSeparatorCharacter)
            {
                consumed++;
            }
            else if (text[consumed] == u'\n')
            {
                consumed++;
                result = 1;
            }
        }
        text = text.mid(consumed);
        return result;
    }

    qsizetype fieldEnd = 0;
    while (fieldEnd < text.size() && text[fieldEnd] != fieldsSeparatorCharacter && text[fieldEnd] != u'\n')
        fieldEnd++;
    field = text.left(fieldEnd).toString();
    if (fieldEnd == text.size())
    {
        text = QStringView();
        return 0;
    }
    const int result = text[fieldEnd] == fieldsSeparatorCharacter ? 0 : 1;
    text = text.mid(fieldEnd + 1);
    return result;
}

// Finds which record field each column holds and consumes the header line, if any. When the KeePass escapes
// are rewritten, the rewritten remainder lives in rewrittenText and text views it. Returns the number of
// columns, or -1.
int _determineColumnsOrder(QStringView& text, QString& rewrittenText, QChar fieldsSeparatorCharacter,
                           bool isColumnsOrderFixed, QList<int>& columns, QString& errorMessage)
{
    CSV_IMPORT_LOG << "Entry. Field separating character : " << QString(fieldsSeparatorCharacter)
                   << ", use a fixed columns order : " << isColumnsOrderFixed << ".";
    columns.clear();

    if (isColumnsOrderFixed)
    {
        columns = {PasswordRecord::FIELD_NAME, PasswordRecord::FIELD_LOGIN, PasswordRecord::FIELD_PASSWORD,
                   PasswordRecord::FIELD_URL, PasswordRecord::FIELD_NOTE};
        CSV_IMPORT_LOG << "Using the Corvane format with a fixed columns order.";
        return static_cast<int>(columns.size());
    }

    HeaderLayout layout = HEADER_LAYOUT_OTHER;
    if (text.startsWith(KEEPASS_HEADER))
    {
        layout = HEADER_LAYOUT_KEEPASS;
        CSV_IMPORT_LOG << "Detected the KeePass 1.x and 2.x file format.";
    }
    else if (text.startsWith(ROBOFORM_HEADER_VARIANT_1) || text.startsWith(ROBOFORM_HEADER_VARIANT_2))
    {
        layout = HEADER_LAYOUT_ROBOFORM;
        CSV_IMPORT_LOG << "Detected the RoboForm file format.";
    }

    const QHash<QString, int>& keywordTable = _keywordTable_helper();
    QString title;
    while (true)
    {
        const int result = _readField(text, fieldsSeparatorCharacter, title);
        if (result < 0 && !text.isEmpty())
        {
            // The field reader stops before the end only at a quote that never closes.
            errorMessage = QObject::tr("The file ends inside a quoted field that starts on line 1: its "
                                       "closing double quote is missing.");
            columns.clear();
            return -1;
        }
        if (result < 0)
            break;
        const QString lowercaseTitle = title.toLower();
        const int passwordDataId = keywordTable.value(lowercaseTitle, PASSWORD_DATA_ID_IGNORED);
        columns.append(passwordDataId);
        CSV_IMPORT_LOG << "Column " << columns.size() << ": password data ID " << passwordDataId << ".";
        if (result == 1)
            break;
    }

    if (columns.isEmpty())
    {
        CSV_IMPORT_LOG << "No column title was found, is there a header line in the provided file ?";
        return -1;
    }

    if (layout == HEADER_LAYOUT_KEEPASS)
    {
        CSV_IMPORT_LOG << "Using the KeePass format, fixing the invalid escape sequences.";
        // KeePass writes \\ and \" inside quoted fields instead of the CSV convention; they become one
        // backslash and a doubled quote so that the field reader understands them.
        rewrittenText.reserve(text.size()); // the fixes never lengthen the text
        for (qsizetype index = 0; index < text.size(); index++)
        {
            const QChar character = text[index];
            const QChar nextCharacter = index + 1 < text.size() ? text[index + 1] : QChar();
            if (character == u'\\' && nextCharacter == u'\\')
            {
                CSV_IMPORT_LOG << "Fixed a backslash escaping sequence.";
                rewrittenText.append(u'\\');
                index++;
            }
            else if (character == u'\\' && nextCharacter == u'"')
            {
                CSV_IMPORT_LOG << "Fixed a double quotes escaping sequence.";
                rewrittenText.append(u'"');
                rewrittenText.append(u'"');
                index++;
            }
            else
            {
                rewrittenText.append(character);
            }
        }
        text = rewrittenText;
    }
    else if (layout == HEADER_LAYOUT_ROBOFORM)
    {
        CSV_IMPORT_LOG
            << "Using the RoboForm format, adding one more column as the last one does not seem to "
               "have a title.";
        columns.append(PASSWORD_DATA_ID_IGNORED);
    }

    CSV_IMPORT_LOG << "Found " << columns.size() << " columns.";
    return static_cast<int>(columns.size());
}

QString _nameFromWebSite_helper(const QString& url)
{
    const QStringView view(url);
    for (QStringView prefix : {QStringView(u"http://"), QStringView(u"https://")})
    {
        if (view.startsWith(prefix, Qt::CaseInsensitive))
            return view.mid(prefix.size()).toString();
    }
    return url;
}

void _clearRecords_helper(QList<PasswordRecord>& passwords)
{
    for (PasswordRecord& password : passwords)
        password.clear();
    passwords.clear();
}

// Reads the records, each made of exactly one field per column whatever the line ends say. Returns 0, or -1
// with errorMessage set when a quoted field never closes.
int _readRecords_helper(QStringView text, int newlineCountInWholeText, QChar fieldsSeparatorCharacter,
                        const QList<int>& columns, QList<PasswordRecord>& passwords, QString& errorMessage)
{
    int unnamedRecordCount = 0;
    QString field;
    while (!text.isEmpty())
    {
        PasswordRecord record;
        for (int passwordDataId : columns)
        {
            if (_readField(text, fieldsSeparatorCharacter, field) < 0)
            {
                if (text.isEmpty())
                    break;
                // Only an unclosed quote stops the reader before the end; it runs to the end of the file.
                const int line = newlineCountInWholeText - static_cast<int>(text.count(u'\n')) + 1;
                errorMessage = QObject::tr("The file ends inside a quoted field that starts on line %1: its "
                                           "closing double quote is missing.")
                                   .arg(line);
                record.clear();
                return -1;
            }
            if (passwordDataId == PASSWORD_DATA_ID_IGNORED)
            {
                secureClearString(field);
                continue;
            }
            std::swap(record.field(passwordDataId), field);
            secureClearString(field);
        }

        if (record.name.isEmpty() && record.login.isEmpty() && record.password.isEmpty() &&
            record.url.isEmpty() && record.note.isEmpty())
            continue;

        if (record.name.isEmpty())
        {
            if (!record.url.isEmpty())
                record.name = _nameFromWebSite_helper(record.url);
            else
                record.name = QObject::tr("No name provided %1").arg(++unnamedRecordCount);
        }
        passwords.append(std::move(record));
    }
    return 0;
}
} // namespace

namespace
{
// The file's text with normalised line ends; the caller may drop the bytes as soon as it has it.
QString _decodeText_helper(const QByteArray& bytes)
{
    // Editors on some systems start UTF-8 files with a byte order mark; it is not part of the first title.
    qsizetype start = bytes.startsWith(UTF8_BYTE_ORDER_MARK) ? UTF8_BYTE_ORDER_MARK.size() : 0;
    const char* data = bytes.constData() + start;
    const qsizetype size = bytes.size() - start;

    const int lineEndingType = _getLineEndingType(data, size);
    QString text = QString::fromUtf8(data, size);
    _normaliseLineEnds_helper(text, lineEndingType);
    return text;
}

// Parses the decoded text, which it zero-fills and releases.
int _importDecodedText_helper(QString& text, QChar fieldsSeparatorCharacter, bool isColumnsOrderFixed,
                              QList<PasswordRecord>& passwords, QString& errorMessage)
{
    QStringView remainingText(text);
    QString rewrittenText;
    QList<int> columns;
    QString headerErrorMessage;
    if (_determineColumnsOrder(remainingText, rewrittenText, fieldsSeparatorCharacter, isColumnsOrderFixed,
                               columns, headerErrorMessage) < 0)
    {
        secureClearString(rewrittenText);
        secureClearString(text);
        if (headerErrorMessage.isEmpty())
            return -2;
        errorMessage = headerErrorMessage;
        return -1;
    }
    const bool hasDataLines = !remainingText.trimmed().isEmpty();
    const bool isAnyColumnKnown =
        std::any_of(columns.cbegin(), columns.cend(), [](int id) { return id != PASSWORD_DATA_ID_IGNORED; });

    const int result = _readRecords_helper(remainingText, static_cast<int>(text.count(u'\n')),
                                           fieldsSeparatorCharacter, columns, passwords, errorMessage);
    secureClearString(rewrittenText);
    secureClearString(text);
    if (result < 0)
    {
        _clearRecords_helper(passwords);
        return -1;
    }
    // Lines of data that give no record mean the file was read the wrong way, typically a file without
    // header read as if its first record named the columns: an empty result must not pass for success.
    if (passwords.isEmpty() && hasDataLines)
    {
        errorMessage =
            isAnyColumnKnown
                ? QObject::tr("No record was recognised: the lines hold no value in the recognised columns.")
                : QObject::tr("No record was recognised: none of the column titles of the first line is "
                              "known. A file without a header line needs the fixed column order (name, "
                              "login, password, web site, note).");
        return -1;
    }
    return 0;
}
} // namespace

int importCSVText(const QByteArray& bytes, QChar fieldsSeparatorCharacter, bool isColumnsOrderFixed,
                  QList<PasswordRecord>& passwords, QString& errorMessage)
{
    _clearRecords_helper(passwords);
    QString text = _decodeText_helper(bytes);
    return _importDecodedText_helper(text, fieldsSeparatorCharacter, isColumnsOrderFixed, passwords,
                                     errorMessage);
}

int importCSVFile(const QString& fileName, QChar fieldsSeparatorCharacter, bool isColumnsOrderFixed,
                  QList<PasswordRecord>& passwords, QString& errorMessage)
{
    _clearRecords_helper(passwords);

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
    {
        errorMessage = file.errorString();
        return -1;
    }

    const qint64 fileSize = file.size();
    if (fileSize > MAXIMUM_CSV_FILE_SIZE)
    {
        errorMessage =
            QObject::tr("The file is too large (%1 MiB): a CSV file of at most %2 MiB is read, far more "
                        "than the 128 KiB a device holds; reading a larger one would take gigabytes of "
                        "memory.")
                .arg(QString::number(fileSize / (1024 * 1024)),
                     QString::number(MAXIMUM_CSV_FILE_SIZE / (1024 * 1024)));
        file.close();
        return -1;
    }
    if (fileSize <= 3)
    {
        errorMessage = QObject::tr("File size is too small to contain meaningful data.");
        file.close();
        return -1;
    }

    QByteArray bytes = file.read(fileSize);
    if (bytes.size() < fileSize)
    {
        // A file that shrank while being read reports no error of its own.
        errorMessage = file.error() != QFileDevice::NoError
                           ? file.errorString()
                           : QObject::tr("The file changed while it was being read.");
        secureClearByteArray(bytes);
        file.close();
        return -1;
    }
    file.close();

    // The bytes go as soon as they are decoded: the file is held once at a time.
    QString text = _decodeText_helper(bytes);
    secureClearByteArray(bytes);
    bytes = QByteArray();
    return _importDecodedText_helper(text, fieldsSeparatorCharacter, isColumnsOrderFixed, passwords,
                                     errorMessage);
}

bool csvTextStartsWithColumnTitles(const QByteArray& bytes, QChar fieldsSeparatorCharacter)
{
    const qsizetype start = bytes.startsWith(UTF8_BYTE_ORDER_MARK) ? UTF8_BYTE_ORDER_MARK.size() : 0;
    const qsizetype lineEnd = bytes.indexOf('\n', start);
    QString line = QString::fromUtf8(bytes.mid(start, lineEnd < 0 ? -1 : lineEnd - start));
    if (line.endsWith(QLatin1Char('\r')))
        line.chop(1);

    const QHash<QString, int>& keywordTable = _keywordTable_helper();
    QStringView text(line);
    QString title;
    int knownTitleCount = 0;
    while (_readField(text, fieldsSeparatorCharacter, title) >= 0)
    {
        if (keywordTable.contains(title.trimmed().toLower()))
            knownTitleCount++;
    }
    // A record's fields may hold secrets.
    secureClearString(title);
    secureClearString(line);
    return knownTitleCount >= MINIMUM_KNOWN_COLUMN_TITLE_COUNT;
}

bool csvFileStartsWithColumnTitles(const QString& fileName, QChar fieldsSeparatorCharacter)
{
    // A line of titles is short: the start of the file is enough.
    constexpr qint64 READ_SIZE = 4096;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.read(READ_SIZE);
    const bool startsWithTitles = csvTextStartsWithColumnTitles(bytes, fieldsSeparatorCharacter);
    secureClearByteArray(bytes);
    return startsWithTitles;
}
