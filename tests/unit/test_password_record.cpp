#include "vault/PasswordRecord.h"

#include <QtTest>

namespace
{
PasswordRecord _record(const QString& name, const QString& login = QString())
{
    PasswordRecord record;
    record.name = name;
    record.login = login;
    return record;
}

QStringList _logins(const QList<PasswordRecord>& passwords)
{
    QStringList logins;
    for (const PasswordRecord& password : passwords)
        logins.append(password.name + "/" + password.login);
    return logins;
}
} // namespace

class TestPasswordRecord : public QObject
{
    Q_OBJECT

private slots:
    void fieldsKeepTheirFixedOrder()
    {
        PasswordRecord record;
        for (int index = 0; index < PasswordRecord::FIELD_COUNT; index++)
            record.field(index) = QString::number(index);
        QCOMPARE(record.name, QStringLiteral("0"));
        QCOMPARE(record.login, QStringLiteral("1"));
        QCOMPARE(record.password, QStringLiteral("2"));
        QCOMPARE(record.url, QStringLiteral("3"));
        QCOMPARE(record.note, QStringLiteral("4"));

        const PasswordRecord copy = record;
        record.clear();
        QCOMPARE(record, PasswordRecord());
        QCOMPARE(copy.password,
                 QStringLiteral("2")); // clearing one record never wipes a copy sharing its text
    }

    void addPasswordSortedInsertsBeforeTheFirstGreaterName()
    {
        QList<PasswordRecord> passwords = {_record("Alpha"), _record("Charlie")};
        QCOMPARE(addPasswordSorted(passwords, _record("beta")), 1);
        QCOMPARE(_logins(passwords), QStringList({"Alpha/", "beta/", "Charlie/"}));

        // Equal names, whatever their case, keep the existing records first.
        passwords = {_record("Alpha", "old"), _record("Beta")};
        QCOMPARE(addPasswordSorted(passwords, _record("Alpha", "new")), 1);
        QCOMPARE(addPasswordSorted(passwords, _record("ALPHA", "newer")), 2);
        QCOMPARE(_logins(passwords), QStringList({"Alpha/old", "Alpha/new", "ALPHA/newer", "Beta/"}));

        // The stored order is never re-sorted: only the first greater name counts.
        passwords = {_record("Zulu"), _record("Alpha")};
        QCOMPARE(addPasswordSorted(passwords, _record("Alpha", "new")), 0);
        QCOMPARE(_logins(passwords), QStringList({"Alpha/new", "Zulu/", "Alpha/"}));

        passwords.clear();
        QCOMPARE(addPasswordSorted(passwords, _record(QString())), 0);
        QCOMPARE(addPasswordSorted(passwords, _record("z")), 1);
        QCOMPARE(addPasswordSorted(passwords, _record(QString(), "second")), 1);
    }

    void removePasswordAtIgnoresIndexesOutsideTheList()
    {
        QList<PasswordRecord> passwords = {_record("a"), _record("b"), _record("c")};
        QVERIFY(!removePasswordAt(passwords, -1));
        QVERIFY(!removePasswordAt(passwords, 3));
        QCOMPARE(passwords.size(), 3);
        QVERIFY(removePasswordAt(passwords, 1));
        QCOMPARE(_logins(passwords), QStringList({"a/", "c/"}));
        QVERIFY(removePasswordAt(passwords, 1));
        QVERIFY(removePasswordAt(passwords, 0));
        QVERIFY(!removePasswordAt(passwords, 0));
        QVERIFY(passwords.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPasswordRecord)
#include "test_password_record.moc"
