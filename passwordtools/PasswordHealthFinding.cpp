#include "passwordtools/PasswordHealthFinding.h"

#include <QLocale>
#include <QStringList>

QString PasswordHealthFinding::kindText() const
{
    switch (kind)
    {
    case KIND_SAME_AS_MASTER_PASSWORD:
        return tr("Same as master password");
    case KIND_REUSED:
        return tr("Reused");
    case KIND_EMPTY:
        return tr("Empty");
    case KIND_WEAK:
    case KIND_COUNT:
        break;
    }
    return tr("Weak");
}

QString PasswordHealthFinding::reasonText() const
{
    switch (kind)
    {
    case KIND_SAME_AS_MASTER_PASSWORD:
        return tr("a leak of this account exposes the whole vault");
    case KIND_REUSED:
    {
        if (reusedWith.isEmpty())
            return tr("reused in %n records", nullptr, reuseCount);
        QString names = reusedWith.join(QStringLiteral(", "));
        const int hiddenCount = reuseCount - 1 - static_cast<int>(reusedWith.size());
        if (hiddenCount > 0)
            names = tr("%1 and %n more", nullptr, hiddenCount).arg(names);
        return tr("reused in %n records: %1", nullptr, reuseCount).arg(names);
    }
    case KIND_EMPTY:
        return tr("no password is stored");
    case KIND_WEAK:
    case KIND_COUNT:
        break;
    }
    return rating.reasonText();
}

QString PasswordHealthFinding::countsText(const std::array<int, KIND_COUNT>& counts)
{
    QStringList parts;
    if (counts[KIND_SAME_AS_MASTER_PASSWORD] > 0)
        parts.append(tr("%n same as master password", nullptr, counts[KIND_SAME_AS_MASTER_PASSWORD]));
    if (counts[KIND_REUSED] > 0)
        parts.append(tr("%n reused", nullptr, counts[KIND_REUSED]));
    if (counts[KIND_EMPTY] > 0)
        parts.append(tr("%n empty", nullptr, counts[KIND_EMPTY]));
    if (counts[KIND_WEAK] > 0)
        parts.append(tr("%n weak", nullptr, counts[KIND_WEAK]));
    return parts.join(QStringLiteral(", "));
}

bool PasswordHealthFinding::operator==(const PasswordHealthFinding& other) const
{
    return kind == other.kind && tabIndex == other.tabIndex && recordIndex == other.recordIndex &&
           tabName == other.tabName && recordName == other.recordName && login == other.login &&
           reuseCount == other.reuseCount && reusedWith == other.reusedWith &&
           reuseGroup == other.reuseGroup && rating.entropyBits == other.rating.entropyBits &&
           rating.patterns == other.rating.patterns;
}

QCollator passwordHealthNameCollator()
{
    const QLocale locale;
    QCollator collator(locale.language() == QLocale::C ? QLocale(QLocale::English) : locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

bool isPasswordHealthFindingBefore(const PasswordHealthFinding& left, const PasswordHealthFinding& right)
{
    if (left.kind != right.kind)
        return left.kind < right.kind;
    if (left.reuseGroup != right.reuseGroup)
        return left.reuseGroup < right.reuseGroup;
    if (left.tabIndex != right.tabIndex)
        return left.tabIndex < right.tabIndex;
    const int nameOrder = passwordHealthNameCollator().compare(left.recordName, right.recordName);
    if (nameOrder != 0)
        return nameOrder < 0;
    return left.recordIndex < right.recordIndex;
}
