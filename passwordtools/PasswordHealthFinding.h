#pragma once

#include "passwordtools/PasswordRating.h"

#include <QCollator>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <array>

// One problem of one record, as the password health report lists it. Never holds the password itself.
struct PasswordHealthFinding
{
    Q_DECLARE_TR_FUNCTIONS(PasswordHealthFinding)

public:
    // In order of severity: the master password opens the whole vault, a reused password opens several
    // accounts after one leak, an empty one opens the account without a guess, a weak one after a few.
    enum Kind
    {
        KIND_SAME_AS_MASTER_PASSWORD = 0,
        KIND_REUSED = 1,
        KIND_EMPTY = 2,
        KIND_WEAK = 3,
        KIND_COUNT = 4
    };

    Kind kind = KIND_WEAK;
    // Where the record is in the vault the analysis was given.
    int tabIndex = -1;
    int recordIndex = -1;
    QString tabName;
    QString recordName;
    QString login;
    // KIND_REUSED: how many records hold the same password, the first few others by name ("Shop (Home)"
    // when in another tab) in report order, and the group's place among the groups (its first record's).
    int reuseCount = 0;
    QStringList reusedWith;
    int reuseGroup = -1;
    // KIND_WEAK: the rating.
    PasswordRating rating;

    // "Weak", "Reused"...
    QString kindText() const;
    // Names of the other records shown with a reuse.
    static constexpr int REUSED_WITH_SHOWN_MAXIMUM = 3;

    // "reused in 3 records: Forum, Shop (Home)", "common word + digits, guessed in about 2 minutes"...
    QString reasonText() const;
    // "1 same as master password, 2 reused, 3 weak": the kinds found, by severity.
    static QString countsText(const std::array<int, KIND_COUNT>& counts);

    bool operator==(const PasswordHealthFinding& other) const;
    bool operator!=(const PasswordHealthFinding& other) const
    {
        return !(*this == other);
    }
};

// Compares record names in the collation of the user's language, ignoring case. Where no language is set
// (the C locale of a bare environment) in the language-neutral order, so that "Émile" still comes before
// "zed".
QCollator passwordHealthNameCollator();

// The report's order: severity, then (for reuse) the group, then tab position, then record name in the
// collation of the user's language, then row.
bool isPasswordHealthFindingBefore(const PasswordHealthFinding& left, const PasswordHealthFinding& right);
