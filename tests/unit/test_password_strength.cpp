#include "passwordtools/PasswordStrength.h"

#include <QtTest>

class TestPasswordStrength : public QObject
{
    Q_OBJECT

private slots:
    void levelsAndLabels_data();
    void levelsAndLabels();
    void labelIsOptional();
};

void TestPasswordStrength::levelsAndLabels_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("label");

    // Pool sizes: lowercase 26, uppercase 26, digits 10, anything else 28; bits = log2(pool) * length,
    // truncated.
    QTest::newRow("empty") << QString() << 0 << "very weak";
    QTest::newRow("three lowercase, 14 bits") << "abc" << 0 << "very weak";
    QTest::newRow("pool 62, 8 characters, 47 bits") << "aB3dE5gH" << 1 << "weak";
    // 70.5 bits: truncation keeps it average, rounding would make it good.
    QTest::newRow("15 lowercase, 70 bits") << "abcdefghijklmno" << 2 << "average";
    QTest::newRow("16 lowercase, 75 bits") << "abcdefghijklmnop" << 3 << "good";
    // 90.9 bits: truncated to 90, the last value of "good".
    QTest::newRow("pool 90, 14 characters, 90 bits") << "aB3-eF6&iJ9!mN" << 3 << "good";
    QTest::newRow("pool 90, 15 characters, 97 bits") << "aB3-eF6&iJ9!mNo" << 4 << "excellent";
    QTest::newRow("ten digits, 33 bits") << "0123456789" << 0 << "very weak";
    QTest::newRow("pool 64, 12 characters, 72 bits") << "ab1-cd2+ef3*" << 3 << "good";
    QTest::newRow("space is other, 28 bits") << "abc d" << 0 << "very weak";
    // Eleven characters: 63 bits with the space counted as "other" (pool 54), 51 bits without it.
    QTest::newRow("space widens the pool") << "abcdefghi k" << 2 << "average";
    QTest::newRow("accented letter is other") << QString::fromUtf8("abcdefghijé") << 2 << "average";
    // A character outside the BMP is two code units: 11 units of pool 54 give 63 bits (10 would give 57).
    QTest::newRow("non-BMP character counts twice")
        << QString::fromUtf8("abcdefghi\xF0\x9F\x98\x80") << 2 << "average";
    QTest::newRow("uppercase only, 42 bits") << "ABCDEFGHI" << 1 << "weak";
    QTest::newRow("symbols only, 8 characters, 38 bits") << "!@#$%^&*" << 0 << "very weak";
}

void TestPasswordStrength::levelsAndLabels()
{
    QFETCH(QString, password);
    QFETCH(int, level);
    QFETCH(QString, label);

    QString strengthText = QStringLiteral("unchanged");
    QCOMPARE(getPasswordStrength(password, &strengthText), level);
    QCOMPARE(strengthText, label);
}

void TestPasswordStrength::labelIsOptional()
{
    QCOMPARE(getPasswordStrength(QStringLiteral("aB3-eF6&iJ9!mNo"), nullptr), 4);
    QCOMPARE(getPasswordStrength(QString(), nullptr), 0);
}

QTEST_GUILESS_MAIN(TestPasswordStrength)
#include "test_password_strength.moc"
