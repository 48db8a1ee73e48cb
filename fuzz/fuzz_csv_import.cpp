// Feeds arbitrary bytes to the CSV import parser. The first input byte chooses the separator and whether
// the column order is fixed; the rest is the file content.
//
// Invariants: results and messages agree with the documented return codes; no record is entirely empty;
// a record's name is empty only when its web site is a bare "http://" or "https://"; and the records
// survive an export and a re-import with the fixed column order unchanged (unless a field holds a
// carriage return, which the line-end detection of the re-import may legitimately translate).

#include "FuzzSupport.h"

#include "csv/CsvExport.h"
#include "csv/CsvImport.h"

#include <cstddef>
#include <cstdint>

namespace
{
bool _holdsCarriageReturn(const QList<PasswordRecord>& passwords)
{
    for (const PasswordRecord& password : passwords)
    {
        for (int field = 0; field < PasswordRecord::FIELD_COUNT; field++)
        {
            if (password.field(field).contains(u'\r'))
                return true;
        }
    }
    return false;
}

bool _isBareWebSitePrefix(const QString& url)
{
    return url.compare(QStringLiteral("http://"), Qt::CaseInsensitive) == 0 ||
           url.compare(QStringLiteral("https://"), Qt::CaseInsensitive) == 0;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const QChar separators[] = {u',', u';', u'\t', u' '};
    const QChar separator = separators[data[0] & 3];
    const bool isColumnsOrderFixed = (data[0] & 4) != 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

    QList<PasswordRecord> passwords{PasswordRecord{QStringLiteral("stale"), {}, {}, {}, {}}};
    QString errorMessage;
    const int result = importCSVText(bytes, separator, isColumnsOrderFixed, passwords, errorMessage);

    if (result == -2)
    {
        FUZZ_CHECK(!isColumnsOrderFixed);
        FUZZ_CHECK(errorMessage.isEmpty());
        FUZZ_CHECK(passwords.isEmpty());
        return 0;
    }
    if (result == -1)
    {
        FUZZ_CHECK(!errorMessage.isEmpty());
        FUZZ_CHECK(passwords.isEmpty());
        return 0;
    }
    FUZZ_CHECK(result == 0);
    FUZZ_CHECK(errorMessage.isEmpty());

    for (const PasswordRecord& password : passwords)
    {
        FUZZ_CHECK(!password.name.isEmpty() || _isBareWebSitePrefix(password.url));
        FUZZ_CHECK(password != PasswordRecord{});
    }

    if (_holdsCarriageReturn(passwords))
        return 0;
    QByteArray exported = exportCSVText(passwords);
    QList<PasswordRecord> reimported;
    FUZZ_CHECK(importCSVText(exported, u',', true, reimported, errorMessage) == 0);
    FUZZ_CHECK(reimported == passwords);
    return 0;
}
