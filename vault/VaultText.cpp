#include "vault/VaultText.h"

bool isForbiddenVaultCharacter(QChar character)
{
    const char16_t code = character.unicode();
    return code == 0x0000 || code == 0x0003 || code == 0x0004;
}

bool containsForbiddenVaultCharacters(const QString& text)
{
    for (QChar character : text)
        if (isForbiddenVaultCharacter(character))
            return true;
    return false;
}

QString removeForbiddenVaultCharacters(const QString& text, int* removedCount)
{
    if (!containsForbiddenVaultCharacters(text))
    {
        if (removedCount)
            *removedCount = 0;
        return text;
    }
    QString result;
    result.reserve(text.size());
    int removed = 0;
    for (QChar character : text)
    {
        if (isForbiddenVaultCharacter(character))
            removed++;
        else
            result.append(character);
    }
    if (removedCount)
        *removedCount = removed;
    return result;
}
