#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

// How easily a password is guessed by an attacker who tries dictionary words, keyboard walks, dates,
// repeats and sequences first (the zxcvbn method), and what made it guessable. The length-and-classes
// estimator of PasswordStrength.h stays the one of the master password pages; this rating serves the
// password health report and the record editor's meter.
struct PasswordRating
{
    Q_DECLARE_TR_FUNCTIONS(PasswordRating)

public:
    // What a part of the password was recognised as, in the order of the password.
    enum Pattern
    {
        PATTERN_COMMON_WORD = 0,
        PATTERN_RECORD_DETAILS = 1,
        PATTERN_REPEAT = 2,
        PATTERN_SEQUENCE = 3,
        PATTERN_KEYBOARD_WALK = 4,
        PATTERN_DATE = 5,
        PATTERN_YEAR = 6,
        PATTERN_DIGITS = 7,
        PATTERN_SYMBOLS = 8,
        PATTERN_RANDOM_CHARACTERS = 9,
        // A whole dictionary entry without letters ("123456", "111111").
        PATTERN_COMMON_PASSWORD = 10
    };

    // Guesses an offline attacker is assumed to make per second against a slowly hashed leak.
    static constexpr double GUESSES_PER_SECOND = 1e4;
    // Scores up to this one are reported as weak.
    static constexpr int WEAK_SCORE_MAXIMUM = 2;

    // log2 of the guesses needed.
    double entropyBits = 0;
    // 0 (guessed in under a thousand tries) to 4 (more than ten billion).
    int score = 0;
    // Consecutive parts of the same kind appear once.
    QList<Pattern> patterns;

    double guesses() const;
    double log10Guesses() const;
    bool isWeak() const;

    // The zxcvbn score for guesses = 2^entropyBits, with the thresholds 10^3, 10^6, 10^8 and 10^10 (plus
    // 5, so that the guesses of exactly 8 characters tried 10 ways each stay below the last but one).
    static int scoreForEntropy(double entropyBits);
    // "common word + digits"
    static QString patternsText(const QList<Pattern>& patterns);
    // "less than a second", "about 2 minutes", "centuries"
    static QString crackTimeText(double seconds);
    // "common word + digits, guessed in about 2 minutes"
    QString reasonText() const;
    // "Weak: common word + digits, guessed in about 2 minutes", "Strong: guessed in centuries": the word of
    // the health report, then the reason; where a password is made (record editor, generator).
    QString summaryText() const;
};

// Words a password should not be built from: the record's own name, login and web site, whole and split
// into their words (an address "https://mail.example.org" gives "mail", "example" and "org"), each once.
// They come in lower case, and also as typed where that differs beyond ASCII: the rating library folds
// the case of ASCII letters only, so "Élodie" and "Сбербанк" must be given in both forms.
QStringList passwordUserInputs(const QString& name, const QString& login, const QString& url);

// Rates a password by its characters, not its bytes: the dictionaries see it folded
// (foldPasswordCharacters), and whatever no pattern explains costs about 10 guesses per character, in
// any alphabet. userInputs are rated as if they were the most common words; those longer than the
// password cannot match and are skipped. Every copy of the password made here is zero-filled.
PasswordRating ratePassword(const QString& password, const QStringList& userInputs);
