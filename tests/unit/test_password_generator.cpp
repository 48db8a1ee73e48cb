#include "passwordtools/PasswordGenerator.h"

#include <QSet>
#include <QtTest>

namespace
{
const QString SYMBOLS = QStringLiteral("&\"#{}()[]-|_\\@=+,?;.:/!*%<>");

enum CharacterClassMask
{
    CLASS_LOWERCASE = 1,
    CLASS_UPPERCASE = 2,
    CLASS_DIGIT = 4,
    CLASS_SYMBOL = 8
};

int _classOf(QChar character)
{
    if (character >= u'a' && character <= u'z')
        return CLASS_LOWERCASE;
    if (character >= u'A' && character <= u'Z')
        return CLASS_UPPERCASE;
    if (character >= u'0' && character <= u'9')
        return CLASS_DIGIT;
    if (SYMBOLS.contains(character))
        return CLASS_SYMBOL;
    return 0;
}

// The classes present in the password, or -1 when it holds a character outside the table.
int _classesOf(const QString& password)
{
    int classes = 0;
    for (QChar character : password)
    {
        const int characterClass = _classOf(character);
        if (characterClass == 0)
            return -1;
        classes |= characterClass;
    }
    return classes;
}
} // namespace

class TestPasswordGenerator : public QObject
{
    Q_OBJECT

private slots:
    void lengths();
    void classesPresentAndAbsent();
    void fourCharactersHoldOneOfEachClass();
    void singleClassPasswords();
    void hyphenIsDrawnTwiceAsOften();
    void impossibleRequestsGiveEmptyPasswords();
    void callsAreIndependent();
};

void TestPasswordGenerator::lengths()
{
    for (int length : {1, 4, 37, 1024})
    {
        for (int attempt = 0; attempt < 20; attempt++)
            QCOMPARE(generatePassword(length, length, false, false, true, false).size(), length);
    }
    QCOMPARE(generatePassword(1024, 1024, true, true, true, true).size(), 1024);

    // "Auto" parameters: 11 possible lengths, 2000 draws reach both bounds with certainty for practical
    // purposes.
    QSet<int> autoLengths;
    for (int attempt = 0; attempt < 2000; attempt++)
    {
        const qsizetype length = generatePassword(20, 30, true, true, true, true).size();
        QVERIFY2(length >= 20 && length <= 30, qPrintable(QString::number(length)));
        autoLengths.insert(static_cast<int>(length));
    }
    QCOMPARE(autoLengths.size(), 11);

    QSet<int> shortLengths;
    for (int attempt = 0; attempt < 200; attempt++)
        shortLengths.insert(static_cast<int>(generatePassword(2, 3, true, false, true, false).size()));
    QCOMPARE(shortLengths, QSet<int>({2, 3}));
}

void TestPasswordGenerator::classesPresentAndAbsent()
{
    for (int classes = 1; classes < 16; classes++)
    {
        for (int attempt = 0; attempt < 50; attempt++)
        {
            const QString password =
                generatePassword(4, 12, classes & CLASS_LOWERCASE, classes & CLASS_UPPERCASE,
                                 classes & CLASS_DIGIT, classes & CLASS_SYMBOL);
            QVERIFY2(_classesOf(password) == classes,
                     qPrintable(QStringLiteral("classes %1 gave %2").arg(classes).arg(password)));
        }
    }
}

void TestPasswordGenerator::fourCharactersHoldOneOfEachClass()
{
    for (int attempt = 0; attempt < 200; attempt++)
    {
        const QString password = generatePassword(4, 4, true, true, true, true);
        QCOMPARE(password.size(), 4);
        int seenClasses = 0;
        for (QChar character : password)
        {
            const int characterClass = _classOf(character);
            QVERIFY2((seenClasses & characterClass) == 0, qPrintable(password));
            seenClasses |= characterClass;
        }
        QCOMPARE(seenClasses, 15);
    }
}

void TestPasswordGenerator::singleClassPasswords()
{
    const QString digits = generatePassword(1024, 1024, false, false, true, false);
    QCOMPARE(_classesOf(digits), int(CLASS_DIGIT));

    // Every one of the 27 distinct symbols, the double quote and the backslash included, can be drawn.
    QSet<QChar> drawnSymbols;
    for (int attempt = 0; attempt < 10; attempt++)
    {
        const QString symbols = generatePassword(1024, 1024, false, false, false, true);
        QCOMPARE(_classesOf(symbols), int(CLASS_SYMBOL));
        for (QChar character : symbols)
            drawnSymbols.insert(character);
    }
    QCOMPARE(drawnSymbols.size(), 27);
}

void TestPasswordGenerator::hyphenIsDrawnTwiceAsOften()
{
    // 204 800 symbol draws: each plain symbol is expected 7 314 times (sd ~84), the hyphen 14 629 (sd ~117),
    // so the ratio to the mean is 2 within about 1%; the bounds below are more than ten deviations away.
    QHash<QChar, int> counts;
    for (int attempt = 0; attempt < 200; attempt++)
    {
        for (QChar character : generatePassword(1024, 1024, false, false, false, true))
            counts[character]++;
    }
    const int hyphenCount = counts.value(u'-');
    qint64 otherTotal = 0;
    int otherMaximum = 0;
    for (auto iterator = counts.cbegin(); iterator != counts.cend(); ++iterator)
    {
        if (iterator.key() == u'-')
            continue;
        otherTotal += iterator.value();
        otherMaximum = qMax(otherMaximum, iterator.value());
    }
    const double otherMean = static_cast<double>(otherTotal) / 26.0;
    const double ratio = hyphenCount / otherMean;
    QVERIFY2(ratio > 1.8 && ratio < 2.2, qPrintable(QString::number(ratio)));
    QVERIFY2(hyphenCount > otherMaximum * 1.6,
             qPrintable(QStringLiteral("%1 %2").arg(hyphenCount).arg(otherMaximum)));
    QVERIFY2(counts.value(u'&') > otherMean * 0.9 && counts.value(u'&') < otherMean * 1.1,
             qPrintable(QString::number(counts.value(u'&'))));
}

void TestPasswordGenerator::impossibleRequestsGiveEmptyPasswords()
{
    QVERIFY(generatePassword(20, 30, false, false, false, false).isEmpty());
    QVERIFY(generatePassword(3, 3, true, true, true, true).isEmpty());
    QVERIFY(generatePassword(1, 10, true, false, true, false).isEmpty());
    QVERIFY(generatePassword(0, 0, true, false, false, false).isEmpty());
    QVERIFY(generatePassword(-5, 10, true, false, false, false).isEmpty());
    QVERIFY(generatePassword(10, 9, true, false, false, false).isEmpty());
    // The smallest possible requests are served.
    QCOMPARE(generatePassword(2, 2, false, true, false, true).size(), 2);
    QCOMPARE(generatePassword(1, 1, false, false, false, true).size(), 1);
}

void TestPasswordGenerator::callsAreIndependent()
{
    QSet<QString> passwords;
    for (int attempt = 0; attempt < 1000; attempt++)
        passwords.insert(generatePassword(20, 30, true, true, true, true));
    QCOMPARE(passwords.size(), 1000);
    QVERIFY(generatePassword(64, 64, false, false, true, false) !=
            generatePassword(64, 64, false, false, true, false));
}

QTEST_GUILESS_MAIN(TestPasswordGenerator)
#include "test_password_generator.moc"
