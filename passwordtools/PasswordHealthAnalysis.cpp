#include "passwordtools/PasswordHealthAnalysis.h"

#include "common/SecureMemory.h"

#include <QElapsedTimer>

#include <algorithm>

PasswordHealthAnalysis::PasswordHealthAnalysis(QObject* parent) : QObject(parent)
{
    stepTimer.setInterval(0);
    connect(&stepTimer, &QTimer::timeout, this, &PasswordHealthAnalysis::_slotTimerStepTimeout);
}

PasswordHealthAnalysis::~PasswordHealthAnalysis()
{
    clear();
}

void PasswordHealthAnalysis::start(const Vault& newVault)
{
    stepTimer.stop();
    releaseVault();
    vault = newVault;

    for (int tabIndex = 0; tabIndex < vault.size(); tabIndex++)
    {
        const int count = static_cast<int>(vault.at(tabIndex).passwords.size());
        for (int recordIndex = 0; recordIndex < count; recordIndex++)
            order.push_back(RecordPosition{tabIndex, recordIndex});
    }
    std::stable_sort(order.begin(), order.end(),
                     [this](const RecordPosition& left, const RecordPosition& right)
                     {
                         if (left.tabIndex != right.tabIndex)
                             return left.tabIndex < right.tabIndex;
                         return recordAt(left).name.compare(recordAt(right).name, Qt::CaseInsensitive) < 0;
                     });

    // The hash shares the records' strings: it holds no copy of its own.
    QHash<QString, int> useCounts;
    useCounts.reserve(static_cast<qsizetype>(order.size()));
    for (const RecordPosition& position : order)
    {
        const QString& password = recordAt(position).password;
        if (!password.isEmpty())
            useCounts[password]++;
    }
    QList<PasswordHealthFinding> emptyFindings;
    for (const RecordPosition& position : order)
    {
        const QString& password = recordAt(position).password;
        if (password.isEmpty())
        {
            emptyFindings.append(makeFinding(PasswordHealthFinding::KIND_EMPTY, position));
            continue;
        }
        const int useCount = useCounts.value(password);
        if (useCount >= 2)
        {
            PasswordHealthFinding finding = makeFinding(PasswordHealthFinding::KIND_REUSED, position);
            finding.reuseCount = useCount;
            immediateFindings.append(finding);
        }
    }
    immediateFindings.append(emptyFindings);

    // One step at once: after an edit the cache answers for nearly every record, so the weak findings
    // shown do not vanish for a turn of the event loop.
    rateRecords(STEP_BUDGET_MILLISECONDS);
    Q_EMIT analysisProgressed(ratedRecordCount(), recordCount());
    if (!isFinished())
        stepTimer.start();
}

void PasswordHealthAnalysis::finish()
{
    if (isFinished())
        return;
    stepTimer.stop();
    rateRecords(-1);
    Q_EMIT analysisProgressed(ratedRecordCount(), recordCount());
}

void PasswordHealthAnalysis::clear()
{
    stepTimer.stop();
    releaseVault();
    for (auto iterator = ratingCache.begin(); iterator != ratingCache.end(); ++iterator)
    {
        // The hash is emptied right after: its keys may be overwritten in place.
        secureClearString(const_cast<QString&>(iterator.key()));
    }
    ratingCache.clear();
}

bool PasswordHealthAnalysis::isFinished() const
{
    return nextOrderIndex >= order.size();
}

int PasswordHealthAnalysis::ratedRecordCount() const
{
    return static_cast<int>(nextOrderIndex);
}

int PasswordHealthAnalysis::recordCount() const
{
    return static_cast<int>(order.size());
}

int PasswordHealthAnalysis::cachedRatingCount() const
{
    return static_cast<int>(ratingCache.size());
}

QList<PasswordHealthFinding> PasswordHealthAnalysis::findings(const QString& masterPassword) const
{
    QList<PasswordHealthFinding> result;
    result.reserve(immediateFindings.size() + weakFindings.size());
    if (!masterPassword.isEmpty())
    {
        for (const RecordPosition& position : order)
        {
            if (recordAt(position).password == masterPassword)
                result.append(makeFinding(PasswordHealthFinding::KIND_SAME_AS_MASTER_PASSWORD, position));
        }
    }
    result.append(immediateFindings);
    result.append(weakFindings);
    return result;
}

std::array<int, PasswordHealthFinding::KIND_COUNT>
PasswordHealthAnalysis::findingCounts(const QString& masterPassword) const
{
    std::array<int, PasswordHealthFinding::KIND_COUNT> counts = {};
    if (!masterPassword.isEmpty())
    {
        for (const RecordPosition& position : order)
        {
            if (recordAt(position).password == masterPassword)
                counts[PasswordHealthFinding::KIND_SAME_AS_MASTER_PASSWORD]++;
        }
    }
    for (const PasswordHealthFinding& finding : immediateFindings)
        counts[finding.kind]++;
    counts[PasswordHealthFinding::KIND_WEAK] += static_cast<int>(weakFindings.size());
    return counts;
}

void PasswordHealthAnalysis::_slotTimerStepTimeout()
{
    if (rateRecords(STEP_BUDGET_MILLISECONDS))
        stepTimer.stop();
    Q_EMIT analysisProgressed(ratedRecordCount(), recordCount());
}

bool PasswordHealthAnalysis::rateRecords(int budgetMilliseconds)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (nextOrderIndex < order.size())
    {
        const RecordPosition position = order[nextOrderIndex++];
        const PasswordRecord& record = recordAt(position);
        if (record.password.isEmpty())
            continue;

        const QStringList userInputs = passwordUserInputs(record.name, record.login, record.url);
        // Sized exactly, so that building the key leaves no copy of the password in a dropped buffer.
        qsizetype keySize = record.password.size();
        for (const QString& input : userInputs)
            keySize += 1 + input.size();
        QString key;
        key.reserve(keySize);
        key.append(record.password);
        for (const QString& input : userInputs)
        {
            key.append(QChar(0));
            key.append(input);
        }

        PasswordRating rating;
        const auto cached = ratingCache.constFind(key);
        if (cached != ratingCache.constEnd())
        {
            rating = cached.value();
            secureClearString(key);
        }
        else
        {
            rating = ratePassword(record.password, userInputs);
            ratingCache.insert(key, rating);
        }

        if (rating.isWeak())
        {
            PasswordHealthFinding finding = makeFinding(PasswordHealthFinding::KIND_WEAK, position);
            finding.rating = rating;
            weakFindings.append(finding);
        }
        if (budgetMilliseconds >= 0 && elapsed.elapsed() >= budgetMilliseconds)
            break;
    }
    return isFinished();
}

void PasswordHealthAnalysis::releaseVault()
{
    // Findings share the records' names and logins: they go first, so that the records below own them.
    immediateFindings.clear();
    weakFindings.clear();
    order.clear();
    nextOrderIndex = 0;
    // Whatever the window has dropped since the snapshot (an edited password, a removed record) is held
    // by the snapshot alone now; a record still shown shares its strings and is left untouched.
    if (vault.isDetached())
    {
        for (VaultTab& tab : vault)
        {
            if (!tab.passwords.isDetached())
                continue;
            for (PasswordRecord& record : tab.passwords)
                record.clear();
        }
    }
    vault.clear();
}

PasswordHealthFinding PasswordHealthAnalysis::makeFinding(PasswordHealthFinding::Kind kind,
                                                          const RecordPosition& position) const
{
    PasswordHealthFinding finding;
    finding.kind = kind;
    finding.tabIndex = position.tabIndex;
    finding.recordIndex = position.recordIndex;
    finding.tabName = vault.at(position.tabIndex).name;
    const PasswordRecord& record = recordAt(position);
    finding.recordName = record.name;
    finding.login = record.login;
    return finding;
}

const PasswordRecord& PasswordHealthAnalysis::recordAt(const RecordPosition& position) const
{
    return vault.at(position.tabIndex).passwords.at(position.recordIndex);
}
