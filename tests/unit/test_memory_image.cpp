#include "vault/MemoryImage.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QtTest>

namespace
{
constexpr char UNTOUCHED = '\xEE';

struct Serialized
{
    int freeCount;
    QByteArray encoding; // the bytes in front of the free space (only meaningful when it fits)
    QByteArray buffer;
};

Serialized _serialize(const Vault& vault)
{
    Serialized result;
    result.buffer = QByteArray(MEMORY_IMAGE_SIZE, UNTOUCHED);
    result.freeCount = serializeVault(vault, reinterpret_cast<uint8_t*>(result.buffer.data()));
    if (result.freeCount >= 0)
        result.encoding = result.buffer.left(VAULT_CAPACITY - result.freeCount);
    return result;
}

// Lays bytes at the start of an image whose remainder is random, as after a real save.
Vault _parse(const QByteArray& bytes, quint32 fillerSeed = 1)
{
    QByteArray image(MEMORY_IMAGE_SIZE, '\0');
    QRandomGenerator(fillerSeed).fillRange(reinterpret_cast<quint32*>(image.data()), MEMORY_IMAGE_SIZE / 4);
    image.replace(0, bytes.size(), bytes);
    return parseVault(reinterpret_cast<const uint8_t*>(image.constData()));
}

PasswordRecord _record(const QString& name, const QString& login, const QString& password, const QString& url,
                       const QString& note)
{
    return PasswordRecord{name, login, password, url, note};
}

Vault _exampleVault()
{
    return {{"Web", {_record("Mail", "me", "", "", "x")}}};
}
} // namespace

class TestMemoryImage : public QObject
{
    Q_OBJECT

private slots:
    void exampleVaultEncoding()
    {
        const Serialized serialized = _serialize(_exampleVault());
        QCOMPARE(serialized.freeCount, 130931);
        QCOMPARE(serialized.encoding,
                 QByteArray::fromHex("57 65 62 03 4D 61 69 6C 00 6D 65 00 00 00 78 00 04"));
        QCOMPARE(serialized.buffer.mid(17), QByteArray(MEMORY_IMAGE_SIZE - 17, UNTOUCHED));
        QCOMPARE(getVaultFillPercentage(serialized.freeCount), 99);
        QCOMPARE(_parse(serialized.encoding), _exampleVault());
    }

    void emptyVaultTabsAndRecords()
    {
        Serialized serialized = _serialize({});
        QCOMPARE(serialized.encoding, QByteArray::fromHex("04"));
        QCOMPARE(serialized.freeCount, 130947);
        QCOMPARE(getVaultFillPercentage(serialized.freeCount), 100);
        QVERIFY(_parse(serialized.encoding).isEmpty());

        const Vault emptyTab = {{QString(), {}}};
        serialized = _serialize(emptyTab);
        QCOMPARE(serialized.encoding, QByteArray::fromHex("0304"));
        QCOMPARE(_parse(serialized.encoding), emptyTab);

        const Vault emptyRecord = {{QString(), {PasswordRecord()}}};
        serialized = _serialize(emptyRecord);
        QCOMPARE(serialized.encoding, QByteArray::fromHex("03000000000004"));
        QCOMPARE(_parse(serialized.encoding), emptyRecord);
    }

    void capacityBoundary()
    {
        // Tab marker, a name of n bytes and its terminator, four empty fields, the end marker: n + 7 bytes.
        PasswordRecord record;
        record.name = QString(VAULT_CAPACITY - 7, QLatin1Char('n'));
        Vault vault = {{QString(), {record}}};
        Serialized serialized = _serialize(vault);
        QCOMPARE(serialized.freeCount, 0);
        QCOMPARE(serialized.encoding.size(), VAULT_CAPACITY);
        QCOMPARE(serialized.encoding.back(), '\x04');
        QCOMPARE(serialized.buffer.at(VAULT_CAPACITY), UNTOUCHED);
        QCOMPARE(getVaultFillPercentage(serialized.freeCount), 0);
        QCOMPARE(_parse(serialized.encoding), vault);

        vault[0].passwords[0].note = QStringLiteral("!");
        serialized = _serialize(vault);
        QCOMPARE(serialized.freeCount, -1);
        QCOMPARE(getVaultFillPercentage(serialized.freeCount), 0);
        QCOMPARE(serialized.buffer.at(VAULT_CAPACITY), UNTOUCHED); // a failed encoding never overruns

        // Only the end marker no longer fits, and a tab name alone can overflow too.
        record.name = QString(VAULT_CAPACITY - 6, QLatin1Char('n'));
        QCOMPARE(_serialize({{QString(), {record}}}).freeCount, -1);
        QCOMPARE(_serialize({{QString(VAULT_CAPACITY, QLatin1Char('t')), {}}}).freeCount, -1);
        QCOMPARE(_serialize({{QString(VAULT_CAPACITY - 2, QLatin1Char('t')), {}}}).freeCount, 0);
        // Fill levels in between truncate.
        QCOMPARE(getVaultFillPercentage(1309), 0);
        QCOMPARE(getVaultFillPercentage(1310), 1);
        QCOMPARE(getVaultFillPercentage(130946), 99);
    }

    void textIsStoredAsUtf8AndRestoredUnchanged()
    {
        const Vault vault = {{QStringLiteral("Caf\u00e9"),
                              {_record(QStringLiteral("\u00e9l\u00e8ve"), QStringLiteral("\u4e2d\u6587"),
                                       QStringLiteral("p\u00e4ss \U0001F511"), "https://example.org",
                                       QStringLiteral("line 1\nline 2\ttab"))}}};
        const Serialized serialized = _serialize(vault);
        QVERIFY(serialized.encoding.startsWith(QByteArray("Caf\xc3\xa9\x03\xc3\xa9l\xc3\xa8ve\x00", 11)));
        QCOMPARE(serialized.freeCount, VAULT_CAPACITY - serialized.encoding.size());
        QCOMPARE(_parse(serialized.encoding), vault);

        // Every kind of UTF-16 sequence is encoded as Qt's own UTF-8 conversion does, lone surrogates
        // included.
        QString mixed = QStringLiteral("a\u00ff\u07ff\u0800\uffff\U0010FFFF");
        mixed += QChar(0xD800);
        mixed += QStringLiteral("b");
        mixed += QChar(0xDC00);
        mixed += QChar(0xDBFF);
        const Serialized surrogates = _serialize({{mixed, {}}});
        QCOMPARE(surrogates.encoding, mixed.toUtf8() + QByteArray::fromHex("0304"));
    }

    void recordsAndTabsKeepTheirStoredOrder()
    {
        const Vault vault = {
            {"Work", {_record("Zulu", "z", "1", "", ""), _record("Alpha", "a", "2", "", "")}},
            {"Work", {}},
            {"", {_record("", "", "", "", "only a note")}},
            {"Bank", {_record("B", "b", "3", "bank.example", "n"), _record("A", "a", "4", "", "")}},
        };
        const Serialized serialized = _serialize(vault);
        QVERIFY(serialized.freeCount > 0);
        QCOMPARE(_parse(serialized.encoding), vault);
    }

    void malformedImagesYieldWhatWasComplete()
    {
        // A record before any tab has nowhere to go.
        QVERIFY(_parse(QByteArray::fromHex("4d000000000004")).isEmpty());

        // The field index is carried across a tab name.
        Vault vault = _parse(QByteArray::fromHex("41030000004203000004"));
        QCOMPARE(vault, Vault({{"A", {}}, {"B", {PasswordRecord()}}}));

        // Parsing stops at the first end marker.
        vault = _parse(QByteArray::fromHex("410304420300000000000004"));
        QCOMPARE(vault, Vault({{"A", {}}}));

        // Without an end marker, a partial record and a pending tab name are dropped at the end of the image.
        QByteArray bytes(MEMORY_IMAGE_SIZE, 'x');
        bytes.replace(0, 4, QByteArray::fromHex("41037800"));
        vault = _parse(bytes);
        QCOMPARE(vault.size(), 1);
        QCOMPARE(vault[0].name, QStringLiteral("A"));
        QVERIFY(vault[0].passwords.isEmpty());
    }

    void parsingExaminesAtMost131068Bytes()
    {
        // Tab "A", then one record whose first field runs up to four empty fields at the very end.
        QByteArray bytes(MEMORY_IMAGE_SIZE, 'x');
        bytes.replace(0, 2, QByteArray::fromHex("4103"));
        bytes.replace(VAULT_PARSE_LIMIT - 5, 5, QByteArray(5, '\0')); // last terminator at 131067: examined
        Vault vault = _parse(bytes);
        QCOMPARE(vault.size(), 1);
        QCOMPARE(vault[0].passwords.size(), 1);
        QCOMPARE(vault[0].passwords[0].name, QString(VAULT_PARSE_LIMIT - 7, QLatin1Char('x')));

        bytes.fill('x');
        bytes.replace(0, 2, QByteArray::fromHex("4103"));
        bytes.replace(VAULT_PARSE_LIMIT - 4, 5,
                      QByteArray(5, '\0')); // last terminator at 131068: not examined
        vault = _parse(bytes);
        QCOMPARE(vault.size(), 1);
        QVERIFY(vault[0].passwords.isEmpty());

        // The longest possible text, a tab name of 131067 bytes, still fits the parser's scratch space.
        bytes.fill('y');
        bytes[VAULT_PARSE_LIMIT - 1] = '\x03';
        vault = _parse(bytes);
        QCOMPARE(vault.size(), 1);
        QCOMPARE(vault[0].name.size(), VAULT_PARSE_LIMIT - 1);

        // A tab name whose terminator lies beyond the bound is dropped.
        bytes.fill('y');
        bytes.replace(0, 2, QByteArray::fromHex("4103"));
        bytes[VAULT_PARSE_LIMIT] = '\x03';
        vault = _parse(bytes);
        QCOMPARE(vault, Vault({{"A", {}}}));
    }

    void forbiddenCharactersAreDroppedSoTheImageStaysWellFormed()
    {
        const QString forbidden =
            QStringLiteral("A") + QChar(0x0000) + "B" + QChar(0x0003) + "C" + QChar(0x0004);
        const Vault vault = {{forbidden, {_record(forbidden, forbidden, forbidden, forbidden, forbidden)}},
                             {"Next", {_record("n", "", "", "", "")}}};
        const Serialized serialized = _serialize(vault);
        QCOMPARE(serialized.encoding, QByteArray("ABC\x03"
                                                 "ABC\0ABC\0ABC\0ABC\0ABC\0Next\x03n\0\0\0\0\0\x04",
                                                 36));
        QCOMPARE(serialized.freeCount, VAULT_CAPACITY - 36);
        QCOMPARE(_parse(serialized.encoding), Vault({{"ABC", {_record("ABC", "ABC", "ABC", "ABC", "ABC")}},
                                                     {"Next", {_record("n", "", "", "", "")}}}));
    }
};

QTEST_GUILESS_MAIN(TestMemoryImage)
#include "test_memory_image.moc"
