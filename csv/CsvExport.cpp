#include "csv/CsvExport.h"

#include "common/SecureMemory.h"
#include "common/TextLineEnds.h"

#include "vault/OwnerOnlyFileWriter.h"

namespace
{
// One record as one line of the own layout: five quoted fields, inner quotes doubled, the system's line end
// at the end and in place of every line feed inside a field.
QByteArray _buildRecordLine_helper(const PasswordRecord& password)
{
    const QLatin1String lineEnd = platformTextLineEnd();
    qsizetype length = 16;
    for (int field = 0; field < PasswordRecord::FIELD_COUNT; field++)
        length += password.field(field).size() * 2 * lineEnd.size();

    QString line;
    line.reserve(length);
    for (int field = 0; field < PasswordRecord::FIELD_COUNT; field++)
    {
        line.append(u'"');
        for (QChar character : password.field(field))
        {
            if (character == u'"')
                line.append(u'"');
            if (character == u'\n')
                line.append(lineEnd);
            else
                line.append(character);
        }
        line.append(u'"');
        if (field < PasswordRecord::FIELD_COUNT - 1)
            line.append(u',');
    }
    line.append(lineEnd);

    QByteArray bytes = line.toUtf8();
    secureClearString(line);
    return bytes;
}

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

int exportCSVFile(const QString& fileName, const QList<PasswordRecord>& passwords, bool isReplacingAllowed,
                  QString& errorMessage)
{
    OwnerOnlyFileWriter writer(fileName);
    if (!writer.open(isReplacingAllowed))
    {
        errorMessage = writer.errorMessage();
        return -1;
    }
    for (const PasswordRecord& password : passwords)
    {
        QByteArray line = _buildRecordLine_helper(password);
        const bool isWritten = writer.write(line);
        secureClearByteArray(line);
        if (!isWritten)
        {
            errorMessage = writer.errorMessage();
            return -1;
        }
    }
    if (!writer.commit())
    {
        errorMessage = writer.errorMessage();
        return -1;
    }
    errorMessage.clear();
    return 0;
}
