#pragma once

#include "passwordtools/PasswordHealthFinding.h"
#include "passwordtools/PasswordRating.h"
#include "vault/VaultTab.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <vector>

// Finds the reused, empty and weak passwords of a vault, and on request those equal to the master
// password. Reuse and empty passwords are found at once; ratings run in small steps from the event loop so
// the window never freezes, in report order, so that weak findings only ever append. Ratings are cached by
// password and rating context: analysing the vault again after an edit rates only what changed, and a
// finished analysis drops (zero-filling) the cached ratings it did not use, so that a replaced password
// does not stay in memory. A record without password, login and web site (a note) names no account and is
// not reported as empty. Records are ordered by name in the collation of the user's language.
class PasswordHealthAnalysis : public QObject
{
    Q_OBJECT

public:
    // Longest stretch of rating work per turn of the event loop.
    static constexpr int STEP_BUDGET_MILLISECONDS = 8;

    explicit PasswordHealthAnalysis(QObject* parent = nullptr);
    ~PasswordHealthAnalysis() override;

    // Starts over on a vault (shared, not copied), keeping the cached ratings; emits analysisProgressed()
    // once before returning, with the findings that need no rating and those of a first rating step.
    void start(const Vault& vault);
    // Rates what remains without waiting for the event loop.
    void finish();
    // Forgets the vault, stops, and drops the cached ratings, zero-filling the passwords they are keyed by.
    // For a vault that is closed or replaced.
    void clear();

    bool isFinished() const;
    int ratedRecordCount() const;
    int recordCount() const;
    int cachedRatingCount() const;
    // Whether a rating of this password is cached, in any context.
    bool isPasswordCached(const QString& password) const;

    // The findings so far in report order. A non-empty masterPassword adds the records that use it; it is
    // compared and never kept.
    QList<PasswordHealthFinding> findings(const QString& masterPassword) const;
    // How many findings of each kind, counted the same way.
    std::array<int, PasswordHealthFinding::KIND_COUNT> findingCounts(const QString& masterPassword) const;

Q_SIGNALS:
    // New findings, or a new vault: the report and any count shown must be refreshed.
    void analysisProgressed(int ratedRecordCount, int recordCount);

private Q_SLOTS:
    void _slotTimerStepTimeout();

private:
    struct RecordPosition
    {
        int tabIndex;
        int recordIndex;
    };

    struct CachedRating
    {
        PasswordRating rating;
        // The analysis that used it last.
        quint64 analysisNumber = 0;
    };

    // Rates records until the budget is spent (negative: no limit); true when every record is rated.
    bool rateRecords(int budgetMilliseconds);
    // Drops the cached ratings that the analysis now finished did not use.
    void dropUnusedRatings();
    void findReusedAndEmpty();
    // Releases the vault snapshot; its records that no one else shares any more are zero-filled.
    void releaseVault();
    PasswordHealthFinding makeFinding(PasswordHealthFinding::Kind kind, const RecordPosition& position) const;
    const PasswordRecord& recordAt(const RecordPosition& position) const;

    Vault vault;
    // Every record in report order (tab, then name).
    std::vector<RecordPosition> order;
    std::size_t nextOrderIndex = 0;
    QList<PasswordHealthFinding> immediateFindings;
    QList<PasswordHealthFinding> weakFindings;
    QTimer stepTimer;
    // Keys hold a password and its rating context; each key owns its characters alone.
    QHash<QString, CachedRating> ratingCache;
    quint64 analysisNumber = 0;
};
