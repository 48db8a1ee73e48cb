#pragma once

#include "vault/PasswordRecord.h"

#include <QList>
#include <QString>

// A tab of the vault: a name (possibly empty, not necessarily unique) and its records in row order.
struct VaultTab
{
    QString name;
    QList<PasswordRecord> passwords;

    bool operator==(const VaultTab& other) const
    {
        return name == other.name && passwords == other.passwords;
    }
};

// The name, then the records (see PasswordRecord's stream operators).
inline QDataStream& operator<<(QDataStream& stream, const VaultTab& tab)
{
    return stream << tab.name << tab.passwords;
}

inline QDataStream& operator>>(QDataStream& stream, VaultTab& tab)
{
    return stream >> tab.name >> tab.passwords;
}

// The vault is the ordered list of tabs.
using Vault = QList<VaultTab>;
