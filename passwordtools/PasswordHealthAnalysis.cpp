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
    analysisNumber++;

    for (int tabIndex = 0; tabIndex < vault.size(); tabIndex++)
    {
        const int count = static_cast<int>(vault.at(tabIndex).passwords.size());
        for (int recordIndex = 0; recordIndex < count; recordIndex++)
            order.push_back(RecordPosition{tabIndex, recordIndex});
    }
    const QCollator collator = passwordHealthNameCollator();
    std::stable_sort(order.begin(), order.end(),
                     [this, &collator](const RecordPosition& left, const RecordPosition& right)
                     {
                         if (left.tabIndex != right.tabIndex)
                             return left.tabIndex < right.tabIndex;
                         return collator.compare(recordAt(left).name, recordAt(right).name) < 0;
                     });
    findReusedAndEmpty();

    // One step at once: after an edit the cache answers for nearly every record, so the weak findings
    // shown do not vanish for a turn of the event loop.
    rateRecords(STEP_BUDGET_MILLISECONDS);
    Q_EMIT analysisProgressed(ratedRecordCount(), recordCount());
    if (!isFinished())
        stepTimer.start();
}

void PasswordHealthAnalysis::findReusedAndEmpty()
{
    // The hash shares the records' strings: it holds no copy of its own. Each group lists its records in
    // report order; groups are numbered by their first record.
    QHash<QString, std::vector<int>> groups;
    groups.reserve(static_cast<qsizetype>(order.size()));
    for (std::size_t index = 0; index < order.size(); index++)
    {
        const QString& password = recordAt(order[index]).password;
        if (!password.isEmpty())
            groups[password].push_back(static_cast<int>(index));
    }
    QList<PasswordHealthFinding> emptyFindings;
    int groupCount = 0;
    for (std::size_t index = 0; index < order.size(); index++)
    {
        const RecordPosition& position = order[index];
        const PasswordRecord& record = recordAt(position);
        if (record.password.isEmpty())
        {
            if (!record.login.isEmpty() || !record.url.isEmpty())
                emptyFindings.append(makeFinding(PasswordHealthFinding::KIND_EMPTY, position));
            continue;
        }
        const std::vector<int>& group = *groups.constFind(record.password);
        // Its first record lists the whole group.
        if (group.size() < 2 || group.front() != static_cast<int>(index))
            continue;
        for (const int member : group)
        {
            const RecordPosition& memberPosition = order[static_cast<std::size_t>(member)];
            PasswordHealthFinding finding = makeFinding(PasswordHealthFinding::KIND_REUSED, memberPosition);
            finding.reuseCount = static_cast<int>(group.size());
            finding.reuseGroup = groupCount;
            for (const int other : group)
            {
                if (other == member)
                    continue;
                if (finding.reusedWith.size() >= PasswordHealthFinding::REUSED_WITH_SHOWN_MAXIMUM)
                    break;
                const RecordPosition& otherPosition = order[static_cast<std::size_t>(other)];
                const QString& otherName = recordAt(otherPosition).name;
                finding.reusedWith.append(
                    otherPosition.tabIndex == memberPosition.tabIndex
                        ? otherName
                        : QStringLiteral("%1 (%2)").arg(otherName, vault.at(otherPosition.tabIndex).name));
            }
            immediateFindings.append(finding);
        }
        groupCount++;
    }
    immediateFindings.append(emptyFindings);
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

void PasswordHealthAnalysis::dropUnusedRatings()
{
    // The ratings kept share their keys with the new hash, so clearing the old one overwrites only the
    // keys dropped.
    QHash<QString, CachedRating> usedRatings;
    usedRatings.reserve(ratingCache.size());
    for (auto iterator = ratingCache.cbegin(); iterator != ratingCache.cend(); ++iterator)
    {
        if (iterator.value().analysisNumber == analysisNumber)
            usedRatings.insert(iterator.key(), iterator.value());
    }
    if (usedRatings.size() == ratingCache.size())
        return;
    for (auto iterator = ratingCache.begin(); iterator != ratingCache.end(); ++iterator)
        secureClearString(const_cast<QString&>(iterator.key()));
    ratingCache = std::move(usedRatings);
}

bool PasswordHealthAnalysis::isPasswordCached(const QString& password) const
{
    for (auto iterator = ratingCache.cbegin(); iterator != ratingCache.cend(); ++iterator)
    {
        const QString& key = iterator.key();
        if (key.startsWith(password) && key.size() > password.size() && key.at(password.size()) == QChar(0))
            return true;
    }
    return false;
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

        // The rating context is the record's fields themselves: its words are only split out when the
        // rating is not cached. Sized exactly, so that building the key leaves no copy of the password in
        // a dropped buffer.
        const QString* const parts[] = {&record.password, &record.name, &record.login, &record.url};
        qsizetype keySize = 0;
        for (const QString* part : parts)
            keySize += part->size() + 1;
        QString key;
        key.reserve(keySize);
        for (const QString* part : parts)
        {
            key.append(*part);
            key.append(QChar(0));
        }

        PasswordRating rating;
        const auto cached = ratingCache.find(key);
        if (cached != ratingCache.end())
        {
            cached.value().analysisNumber = analysisNumber;
            rating = cached.value().rating;
            secureClearString(key);
        }
        else
        {
            rating = ratePassword(record.password, passwordUserInputs(record.name, record.login, record.url));
            ratingCache.insert(key, CachedRating{rating, analysisNumber});
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
    if (isFinished())
        dropUnusedRatings();
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
