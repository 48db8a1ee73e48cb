#include "vault/PasswordRecord.h"

#include "common/SecureMemory.h"

QString& PasswordRecord::field(int index)
{
    switch (index)
    {
    case FIELD_NAME:
        return name;
    case FIELD_LOGIN:
        return login;
    case FIELD_PASSWORD:
        return password;
    case FIELD_URL:
        return url;
    default:
        Q_ASSERT(index == FIELD_NOTE);
        return note;
    }
}

const QString& PasswordRecord::field(int index) const
{
    return const_cast<PasswordRecord*>(this)->field(index);
}

void PasswordRecord::clear()
{
    for (int index = 0; index < FIELD_COUNT; index++)
        secureClearString(field(index));
}

QDataStream& operator<<(QDataStream& stream, const PasswordRecord& record)
{
    for (int index = 0; index < PasswordRecord::FIELD_COUNT; index++)
        stream << record.field(index);
    return stream;
}

QDataStream& operator>>(QDataStream& stream, PasswordRecord& record)
{
    for (int index = 0; index < PasswordRecord::FIELD_COUNT; index++)
        stream >> record.field(index);
    return stream;
}

bool PasswordRecord::operator==(const PasswordRecord& other) const
{
    return name == other.name && login == other.login && password == other.password && url == other.url &&
           note == other.note;
}

int addPasswordSorted(QList<PasswordRecord>& passwords, const PasswordRecord& password)
{
    int index = 0;
    while (index < passwords.size() && passwords[index].name.compare(password.name, Qt::CaseInsensitive) <= 0)
        index++;
    passwords.insert(index, password);
    return index;
}

bool removePasswordAt(QList<PasswordRecord>& passwords, int index)
{
    if (index < 0 || index >= passwords.size())
        return false;
    passwords.removeAt(index);
    return true;
}
