#include "vault/MemoryImage.h"

#include "vault/SecureMemory.h"
#include "vault/VaultText.h"

#include <QByteArray>

#include <cstring>

namespace
{
// Appends the UTF-8 bytes of text and a terminator, or returns false when they do not fit.
bool _appendText_helper(const QString& text, uint8_t terminator, uint8_t* buffer, int& position,
                        int& freeCount)
{
    QString storableText = removeForbiddenVaultCharacters(text);
    QByteArray bytes = storableText.toUtf8();
    // A stripped copy of a secret must not linger either (a shared, unchanged text is left alone).
    secureClearString(storableText);
    const int length = static_cast<int>(bytes.size());
    freeCount -= length + 1;
    if (freeCount < 0)
    {
        secureClearByteArray(bytes);
        return false;
    }
    std::memcpy(buffer + position, bytes.constData(), static_cast<std::size_t>(length));
    position += length;
    buffer[position++] = terminator;
    secureClearByteArray(bytes);
    return true;
}

QString _takeScratchText_helper(QByteArray& scratch)
{
    QString text = QString::fromUtf8(scratch);
    secureZeroMemory(scratch.data(), static_cast<std::size_t>(scratch.size()));
    scratch.resize(0);
    return text;
}
} // namespace

int serializeVault(const Vault& vault, uint8_t* buffer)
{
    int freeCount = VAULT_CAPACITY;
    int position = 0;
    for (const VaultTab& tab : vault)
    {
        if (!_appendText_helper(tab.name, TAB_NAME_TERMINATOR, buffer, position, freeCount))
            return -1;
        for (const PasswordRecord& password : tab.passwords)
        {
            for (int field = 0; field < PasswordRecord::FIELD_COUNT; field++)
            {
                if (!_appendText_helper(password.field(field), FIELD_TERMINATOR, buffer, position, freeCount))
                    return -1;
            }
        }
    }
    freeCount -= 1;
    if (freeCount < 0)
        return -1;
    buffer[position] = VAULT_END_MARKER;
    return freeCount;
}

Vault parseVault(const uint8_t* image)
{
    Vault vault;
    QByteArray scratch;
    scratch.reserve(MEMORY_IMAGE_SIZE);
    PasswordRecord record;
    int fieldIndex = 0;

    for (int offset = 0; offset < VAULT_PARSE_LIMIT; offset++)
    {
        const uint8_t byte = image[offset];
        if (byte == VAULT_END_MARKER)
            break;
        if (byte == FIELD_TERMINATOR)
        {
            record.field(fieldIndex) = _takeScratchText_helper(scratch);
            fieldIndex++;
            if (fieldIndex == PasswordRecord::FIELD_COUNT)
            {
                // A record before any tab has nowhere to go: the image is not a vault past this point.
                if (vault.isEmpty())
                    break;
                vault.last().passwords.append(record);
                record.clear();
                fieldIndex = 0;
            }
        }
        else if (byte == TAB_NAME_TERMINATOR)
        {
            // The field index is deliberately not reset: a tab name inside a record does not restart it.
            vault.append(VaultTab{_takeScratchText_helper(scratch), {}});
        }
        else
        {
            scratch.append(static_cast<char>(byte));
        }
    }

    secureZeroMemory(scratch.data(), static_cast<std::size_t>(scratch.size()));
    record.clear();
    return vault;
}

int getVaultFillPercentage(int freeCount)
{
    if (freeCount < 0)
        return 0;
    return freeCount * 100 / (VAULT_CAPACITY - 1);
}
