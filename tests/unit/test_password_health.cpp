// The password health findings and the guessability rating behind them.
#include "passwordtools/PasswordHealthAnalysis.h"
#include "passwordtools/PasswordRating.h"
#include "passwordtools/PasswordStrength.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>

namespace
{
PasswordRecord _record_helper(const QString& name, const QString& login, const QString& password,
                              const QString& url = QString())
{
    PasswordRecord record;
    record.name = name;
    record.login = login;
    record.password = password;
    record.url = url;
    return record;
}

QStringList _rows_helper(const QList<PasswordHealthFinding>& findings)
{
    QStringList rows;
    for (const PasswordHealthFinding& finding : findings)
        rows.append(QStringLiteral("%1|%2|%3").arg(finding.tabName, finding.recordName, finding.kindText()));
    return rows;
}
} // namespace

class TestPasswordHealth : public QObject
{
    Q_OBJECT

private slots:
    void ratingRecognisesGuessablePatterns_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("isWeak");
        QTest::addColumn<QString>("patterns");

        // Rated strong by length and character classes, guessed quickly as a common word with digits.
        QTest::newRow("word, digit, symbol") << "Password1!" << true << "common word + digits + symbols";
        QTest::newRow("keyboard walk") << "qwertyuiop123" << true << "common word + sequence";
        QTest::newRow("repeat") << "zzzzzzzzzz" << true << "repeated characters";
        QTest::newRow("repeated part") << "k3k3k3k3k3k3" << true << "repeated characters";
        QTest::newRow("date") << "19/02/1985" << true << "date";
        QTest::newRow("random") << "x9$kLq!2vZ#8mP" << false << QString();
    }

    void ratingRecognisesGuessablePatterns()
    {
        QFETCH(QString, password);
        QFETCH(bool, isWeak);
        QFETCH(QString, patterns);
        const PasswordRating rating = ratePassword(password, {});
        QCOMPARE(rating.isWeak(), isWeak);
        QCOMPARE(rating.score, PasswordRating::scoreForEntropy(rating.entropyBits));
        if (!patterns.isEmpty())
            QCOMPARE(PasswordRating::patternsText(rating.patterns), patterns);
    }

    void lengthAndClassesEstimatorIsUnchanged()
    {
        // The record editor's estimator keeps its own verdict on the same password.
        QString label;
        QCOMPARE(getPasswordStrength("Password1!", &label), 2);
        QCOMPARE(label, QStringLiteral("average"));
    }

    void scoreThresholds()
    {
        // guesses = 2^bits against 10^3, 10^6, 10^8 and 10^10.
        QCOMPARE(PasswordRating::scoreForEntropy(9.9), 0);
        QCOMPARE(PasswordRating::scoreForEntropy(10.0), 1);
        QCOMPARE(PasswordRating::scoreForEntropy(19.9), 1);
        QCOMPARE(PasswordRating::scoreForEntropy(20.0), 2);
        QCOMPARE(PasswordRating::scoreForEntropy(26.5), 2);
        QCOMPARE(PasswordRating::scoreForEntropy(26.6), 3);
        QCOMPARE(PasswordRating::scoreForEntropy(33.2), 3);
        QCOMPARE(PasswordRating::scoreForEntropy(33.3), 4);
    }

    void reasonTellsPatternAndCrackTime()
    {
        PasswordRating rating;
        rating.entropyBits = std::log2(1.2e6); // 120 seconds at ten thousand guesses a second
        rating.patterns = {PasswordRating::PATTERN_COMMON_WORD, PasswordRating::PATTERN_DIGITS};
        QCOMPARE(rating.reasonText(), QStringLiteral("common word + digits, guessed in about 2 minutes"));
        QCOMPARE(PasswordRating::crackTimeText(0.5), QStringLiteral("less than a second"));
        QCOMPARE(PasswordRating::crackTimeText(1), QStringLiteral("about 1 second"));
        QCOMPARE(PasswordRating::crackTimeText(3 * 3600), QStringLiteral("about 3 hours"));
        QCOMPARE(PasswordRating::crackTimeText(1e12), QStringLiteral("centuries"));
    }

    void recordDetailsMakeAPasswordWeak()
    {
        const QString password = QStringLiteral("alice2024");
        // A word no dictionary knows is only weak when it is the record's own login.
        QVERIFY(!ratePassword("Zorvanthel#2024", {}).isWeak());
        QVERIFY(
            ratePassword("Zorvanthel#2024", passwordUserInputs("Mail", "zorvanthel", QString())).isWeak());
        const PasswordRating rating = ratePassword(password, passwordUserInputs("Mail", "alice", QString()));
        QVERIFY(rating.isWeak());
        QCOMPARE(rating.patterns.first(), PasswordRating::PATTERN_RECORD_DETAILS);
        // The words of a web address and of an e-mail login count too.
        QCOMPARE(passwordUserInputs("My Bank", "bob@example.org", "https://www.corvane-bank.example/login"),
                 QStringList({"my bank", "bank", "bob@example.org", "bob", "example", "org",
                              "https://www.corvane-bank.example/login", "https", "www", "corvane", "login"}));
        QVERIFY(
            ratePassword("Corvane-Bank77", passwordUserInputs("Bank", "", "corvane-bank.example")).isWeak());
    }

    void findingsOfEachKindInReportOrder()
    {
        const Vault vault = {
            VaultTab{"Web",
                     {_record_helper("forum", "nick", "Password1!"),
                      _record_helper("Blog", "me", "x9$kLq!2vZ#8mP"), _record_helper("Notes", "", ""),
                      _record_helper("alpha", "me", "vault master 7Q!")}},
            VaultTab{"Bank",
                     {_record_helper("Savings", "me", "x9$kLq!2vZ#8mP"),
                      _record_helper("Checking", "alice", "alice2024")}},
        };
        PasswordHealthAnalysis analysis;
        QSignalSpy progress(&analysis, &PasswordHealthAnalysis::analysisProgressed);
        analysis.start(vault);
        // The findings that need no rating, and a first rating step, are there when start() returns.
        QCOMPARE(progress.size(), 1);
        QVERIFY(analysis.ratedRecordCount() > 0);
        QTRY_VERIFY(analysis.isFinished());
        QCOMPARE(analysis.ratedRecordCount(), 6);
        const QList<PasswordHealthFinding> findings = analysis.findings("vault master 7Q!");
        QCOMPARE(_rows_helper(findings),
                 QStringList({"Web|alpha|Same as master password", "Web|Blog|Reused", "Bank|Savings|Reused",
                              "Web|Notes|Empty", "Web|forum|Weak", "Bank|Checking|Weak"}));
        QCOMPARE(findings.at(1).reasonText(), QStringLiteral("reused in 2 records"));
        QCOMPARE(findings.at(1).tabIndex, 0);
        QCOMPARE(findings.at(1).recordIndex, 1);
        QCOMPARE(findings.at(2).tabIndex, 1);
        QCOMPARE(findings.at(2).recordIndex, 0);
        QVERIFY(findings.at(4).reasonText().startsWith("common word + digits + symbols, guessed in "));
        QCOMPARE(findings.at(5).login, QStringLiteral("alice"));

        const auto counts = analysis.findingCounts("vault master 7Q!");
        QCOMPARE(PasswordHealthFinding::countsText(counts),
                 QStringLiteral("1 same as master password, 2 reused, 1 empty, 2 weak"));
        // Without a known master password that finding is not made.
        QCOMPARE(analysis.findingCounts(QString())[PasswordHealthFinding::KIND_SAME_AS_MASTER_PASSWORD], 0);

        // No finding holds a password.
        for (const PasswordHealthFinding& finding : findings)
        {
            for (const QString& text : {finding.tabName, finding.recordName, finding.login,
                                        finding.kindText(), finding.reasonText()})
            {
                QVERIFY(!text.contains("Password1!"));
                QVERIFY(!text.contains("alice2024"));
                QVERIFY(!text.contains("vault master"));
            }
        }
    }

    void reusedIsAnExactComparison()
    {
        PasswordHealthAnalysis analysis;
        analysis.start({VaultTab{"A",
                                 {_record_helper("one", "", "Tr0ub4dor&3-horse"),
                                  _record_helper("two", "", "tr0ub4dor&3-horse"),
                                  _record_helper("three", "", "Tr0ub4dor&3-horse ")}}});
        analysis.finish();
        QCOMPARE(analysis.findingCounts(QString())[PasswordHealthFinding::KIND_REUSED], 0);
    }

    void ratingsAreCachedUntilCleared()
    {
        const Vault vault = {
            VaultTab{"A", {_record_helper("a", "", "Password1!"), _record_helper("b", "", "q7#Lm2@x")}}};
        PasswordHealthAnalysis analysis;
        analysis.start(vault);
        analysis.finish();
        QCOMPARE(analysis.cachedRatingCount(), 2);
        // Analysing again rates nothing new; the same password with another login is another rating.
        analysis.start(vault);
        analysis.finish();
        QCOMPARE(analysis.cachedRatingCount(), 2);
        analysis.start({VaultTab{"A", {_record_helper("a", "someone", "Password1!")}}});
        analysis.finish();
        QCOMPARE(analysis.cachedRatingCount(), 3);

        analysis.clear();
        QCOMPARE(analysis.cachedRatingCount(), 0);
        QCOMPARE(analysis.recordCount(), 0);
        QVERIFY(analysis.findings(QString()).isEmpty());
    }

    void clearingLeavesTheVaultsPasswordsIntact()
    {
        // The cache zero-fills its own copies only: the records it rated keep their passwords.
        const Vault vault = {VaultTab{"A", {_record_helper("a", "", "Password1!")}}};
        PasswordHealthAnalysis analysis;
        analysis.start(vault);
        analysis.finish();
        analysis.clear();
        QCOMPARE(vault.first().passwords.first().password, QStringLiteral("Password1!"));
    }
};

QTEST_GUILESS_MAIN(TestPasswordHealth)
#include "test_password_health.moc"
