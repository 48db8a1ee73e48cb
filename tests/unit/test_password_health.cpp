// The password health findings and the guessability rating behind them.
#include "passwordtools/PasswordFolding.h"
#include "passwordtools/PasswordHealthAnalysis.h"
#include "passwordtools/PasswordRating.h"
#include "passwordtools/PasswordStrength.h"

#include <QSignalSpy>
#include <QtTest>

#include <QFile>
#include <QLocale>

#include <algorithm>
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
        QTest::newRow("digits of the dictionary") << "123456" << true << "common password";
        QTest::newRow("same digit") << "111111" << true << "common password";
        // Short random characters are guessed quickly in any alphabet.
        QTest::newRow("eight random") << "q7#Lm2@x" << true << "too few random characters";
        // Rated by characters, not bytes; the dictionaries see the words without their accents.
        QTest::newRow("French word") << "motdepassé" << true << "common word";
        QTest::newRow("French word, accents") << "sécurité" << true << "common word";
        QTest::newRow("German name") << "Müller" << true << "common word";
        QTest::newRow("Russian word") << "пароль" << true << "too few random characters";
        QTest::newRow("Chinese words") << "我爱你" << true << "too few random characters";
        QTest::newRow("Cyrillic alphabet") << "абвгдежз" << true << "sequence";
        QTest::newRow("four emoji") << "😀😀😀😀" << true << "repeated characters";
        QTest::newRow("Russian passphrase") << "я помню чудное мгновенье" << false << QString();
        QTest::newRow("French passphrase") << "elle a mangé toutes les crêpes" << false << QString();
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

    void agreesWithTheOriginalOnWhatIsWeak()
    {
        // Several hundred passwords of every kind, scored by the original zxcvbn; weak is a score up to 2.
        QFile file(QStringLiteral(CORVANE_SOURCE_DIR "/tests/unit/vectors/password_rating_reference.tsv"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        int count = 0;
        int agreeing = 0;
        int beyondAsciiCount = 0;
        int beyondAsciiAgreeing = 0;
        while (!file.atEnd())
        {
            const QString line = QString::fromUtf8(file.readLine()).chopped(1);
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            const QStringList fields = line.split('\t');
            QCOMPARE(fields.size(), 5);
            const QString& password = fields.at(1);
            const bool isReferenceWeak = fields.at(4).toInt() <= PasswordRating::WEAK_SCORE_MAXIMUM;
            const bool isAgreeing =
                ratePassword(password, passwordUserInputs(fields.at(2), fields.at(3), QString())).isWeak() ==
                isReferenceWeak;
            count++;
            agreeing += isAgreeing ? 1 : 0;
            if (std::any_of(password.cbegin(), password.cend(), [](QChar c) { return c.unicode() >= 0x80; }))
            {
                beyondAsciiCount++;
                beyondAsciiAgreeing += isAgreeing ? 1 : 0;
            }
        }
        QVERIFY(count >= 400 && beyondAsciiCount >= 150);
        const double agreement = static_cast<double>(agreeing) / count;
        const double beyondAsciiAgreement = static_cast<double>(beyondAsciiAgreeing) / beyondAsciiCount;
        qInfo("weak or not as the original: %d of %d (%.1f %%), beyond ASCII %d of %d (%.1f %%)", agreeing,
              count, 100 * agreement, beyondAsciiAgreeing, beyondAsciiCount, 100 * beyondAsciiAgreement);
        QVERIFY(agreement >= 0.92);
        QVERIFY(beyondAsciiAgreement >= 0.85);
    }

    void foldingDropsAccentsOnlyWhereWordsCanMatch()
    {
        QCOMPARE(foldPasswordCharacters("motdepassé"), QStringLiteral("motdepasse"));
        QCOMPARE(foldPasswordCharacters("ÉLODIE Müller ｐａｓｓ ﬁn"),
                 QStringLiteral("ELODIE Muller pass fin"));
        // Letters of other alphabets stay: their words are in no dictionary, their sequences must stay.
        QCOMPARE(foldPasswordCharacters("йёΩά사랑😀"), QStringLiteral("йёΩά사랑😀"));
        // A combining accent typed apart goes with the others.
        QCOMPARE(foldPasswordCharacters(QStringLiteral("cafe\u0301")), QStringLiteral("cafe"));
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

        // The editor's meter: the report's word first.
        rating.score = PasswordRating::scoreForEntropy(rating.entropyBits);
        QCOMPARE(rating.summaryText(),
                 QStringLiteral("Weak: common word + digits, guessed in about 2 minutes"));
        rating.entropyBits = 60;
        rating.score = PasswordRating::scoreForEntropy(rating.entropyBits);
        QCOMPARE(rating.summaryText(), QStringLiteral("Strong: guessed in centuries"));
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
        QVERIFY(!ratePassword("Corvane2024", {}).isWeak());
        QVERIFY(ratePassword("Corvane2024", passwordUserInputs("Bank", "", "corvane-bank.example")).isWeak());
    }

    void recordWordsMatchWithCapitalsBeyondAscii()
    {
        // The library folds the case of ASCII letters only: the words come as typed too.
        QCOMPARE(passwordUserInputs("Сбербанк", "Élodie", QString()),
                 QStringList({"сбербанк", "Сбербанк", "élodie", "Élodie"}));
        QVERIFY(!ratePassword("Сбербанк2024", {}).isWeak());
        QVERIFY(ratePassword("Сбербанк2024", passwordUserInputs("Сбербанк", "ivanov", QString())).isWeak());
        QVERIFY(ratePassword("сбербанк2024", passwordUserInputs("Сбербанк", "ivanov", QString())).isWeak());
        const PasswordRating accented =
            ratePassword("Élodie2024", passwordUserInputs("Mail", "Élodie", QString()));
        QVERIFY(accented.isWeak());
        QCOMPARE(accented.patterns.first(), PasswordRating::PATTERN_RECORD_DETAILS);
        QVERIFY(ratePassword("Ωμέγα#2024", passwordUserInputs("ΩΜΈΓΑ", QString(), QString())).isWeak());
    }

    void longRecordFieldsStayCheap()
    {
        // Thousands of words are kept once each, in their order; none longer than the password is tried.
        QString note;
        for (int index = 0; index < 20000; index++)
            note += QStringLiteral("word%1 ").arg(index % 5000);
        const QStringList inputs = passwordUserInputs(note, "me", QString());
        QCOMPARE(inputs.size(), 5002);
        QCOMPARE(inputs.at(1), QStringLiteral("word0"));
        QVERIFY(ratePassword("word4999!", inputs).isWeak());
    }

    void findingsOfEachKindInReportOrder()
    {
        const Vault vault = {
            VaultTab{"Web",
                     {_record_helper("forum", "nick", "Password1!"),
                      _record_helper("Blog", "me", "x9$kLq!2vZ#8mP"), _record_helper("Notes", "me", ""),
                      _record_helper("alpha", "me", "vault master 7Q!"),
                      _record_helper("Wi-Fi codes", "", "")}},
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
        // A record without password, login and web site (a note) is no account: it is no finding.
        QCOMPARE(analysis.ratedRecordCount(), 7);
        const QList<PasswordHealthFinding> findings = analysis.findings("vault master 7Q!");
        QCOMPARE(_rows_helper(findings),
                 QStringList({"Web|alpha|Same as master password", "Web|Blog|Reused", "Bank|Savings|Reused",
                              "Web|Notes|Empty", "Web|forum|Weak", "Bank|Checking|Weak"}));
        QCOMPARE(findings.at(1).reasonText(), QStringLiteral("reused in 2 records: Savings (Bank)"));
        QCOMPARE(findings.at(2).reasonText(), QStringLiteral("reused in 2 records: Blog (Web)"));
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
        Vault withOtherLogin = vault;
        withOtherLogin.first().passwords.append(_record_helper("c", "someone", "Password1!"));
        analysis.start(withOtherLogin);
        analysis.finish();
        QCOMPARE(analysis.cachedRatingCount(), 3);

        // A replaced password leaves the cache when the analysis that no longer uses it is done.
        Vault replaced = vault;
        replaced.first().passwords[1].password = QStringLiteral("n3w-Pa55!word-xyz");
        analysis.start(replaced);
        analysis.finish();
        QCOMPARE(analysis.cachedRatingCount(), 2);
        QVERIFY(!analysis.isPasswordCached("q7#Lm2@x"));
        QVERIFY(analysis.isPasswordCached("n3w-Pa55!word-xyz"));
        QVERIFY(analysis.isPasswordCached("Password1!"));

        analysis.clear();
        QCOMPARE(analysis.cachedRatingCount(), 0);
        QCOMPARE(analysis.recordCount(), 0);
        QVERIFY(analysis.findings(QString()).isEmpty());
    }

    void reusedPasswordsNameTheOtherRecordsInGroups_data()
    {
        QTest::addColumn<QString>("localeName");
        QTest::newRow("French") << "fr_FR";
        // No language set: the language-neutral order, not that of the code units.
        QTest::newRow("C") << "C";
    }

    void reusedPasswordsNameTheOtherRecordsInGroups()
    {
        QFETCH(QString, localeName);
        QLocale::setDefault(QLocale(localeName));
        const Vault vault = {
            VaultTab{"Web",
                     {_record_helper("zed", "me", "shared-Pass-7!"),
                      _record_helper("Forum", "me", "shared-Pass-7!"),
                      _record_helper("Émile", "me", "other-Pass-8?"),
                      _record_helper("Blog", "me", "other-Pass-8?")}},
            VaultTab{"Home", {_record_helper("Shop", "me", "shared-Pass-7!")}},
            VaultTab{"Many",
                     {_record_helper("m1", "", "many-Pass-9#"), _record_helper("m2", "", "many-Pass-9#"),
                      _record_helper("m3", "", "many-Pass-9#"), _record_helper("m4", "", "many-Pass-9#"),
                      _record_helper("m5", "", "many-Pass-9#")}},
        };
        PasswordHealthAnalysis analysis;
        analysis.start(vault);
        analysis.finish();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QStringList reasons;
        for (const PasswordHealthFinding& finding : analysis.findings(QString()))
        {
            if (finding.kind == PasswordHealthFinding::KIND_REUSED)
                reasons.append(finding.recordName + ": " + finding.reasonText());
        }
        // Names in the collation of the language ("Émile" before "Forum" and "zed"); a group's rows
        // together, groups in the order of their first record.
        QCOMPARE(reasons, QStringList({"Blog: reused in 2 records: Émile", "Émile: reused in 2 records: Blog",
                                       "Forum: reused in 3 records: zed, Shop (Home)",
                                       "zed: reused in 3 records: Forum, Shop (Home)",
                                       "Shop: reused in 3 records: Forum (Web), zed (Web)",
                                       "m1: reused in 5 records: m2, m3, m4 and 1 more",
                                       "m2: reused in 5 records: m1, m3, m4 and 1 more",
                                       "m3: reused in 5 records: m1, m2, m4 and 1 more",
                                       "m4: reused in 5 records: m1, m2, m3 and 1 more",
                                       "m5: reused in 5 records: m1, m2, m3 and 1 more"}));
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
