#include "passwordtools/PasswordGenerator.h"

#include "common/SystemRandom.h"

namespace
{
// The hyphen appears twice on purpose: existing passwords were generated with this distribution.
const char CHARACTER_TABLE[] =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ&\"#{}()[]-|-_\\@=+,?;.:/!*%<>";
constexpr quint32 CHARACTER_TABLE_SIZE = 90;
static_assert(sizeof(CHARACTER_TABLE) - 1 == CHARACTER_TABLE_SIZE, "the character table holds 90 entries");

enum CharacterClass
{
    CHARACTER_CLASS_LOWERCASE = 0,
    CHARACTER_CLASS_UPPERCASE = 1,
    CHARACTER_CLASS_DIGIT = 2,
    CHARACTER_CLASS_SYMBOL = 3,
    CHARACTER_CLASS_COUNT = 4
};

CharacterClass _classify_helper(char character)
{
    if (character >= 'a' && character <= 'z')
        return CHARACTER_CLASS_LOWERCASE;
    if (character >= 'A' && character <= 'Z')
        return CHARACTER_CLASS_UPPERCASE;
    if (character >= '0' && character <= '9')
        return CHARACTER_CLASS_DIGIT;
    return CHARACTER_CLASS_SYMBOL;
}
} // namespace

QString generatePassword(int minimumLength, int maximumLength, bool useLowercaseLetters,
                         bool useUppercaseLetters, bool useDigits, bool useSymbols)
{
    const bool isClassEnabled[CHARACTER_CLASS_COUNT] = {useLowercaseLetters, useUppercaseLetters, useDigits,
                                                        useSymbols};
    int enabledClassCount = 0;
    for (bool isEnabled : isClassEnabled)
        enabledClassCount += isEnabled ? 1 : 0;
    // Without these guards the retry loop below could never end.
    if (enabledClassCount == 0 || minimumLength > maximumLength || minimumLength < enabledClassCount)
        return QString();

    // Every character straight from the operating system's generator, not from a seeded sequence.
    const quint32 lengthRange = static_cast<quint32>(maximumLength - minimumLength) + 1;
    const int length = minimumLength + static_cast<int>(generateSystemRandomNumber() % lengthRange);

    QString password;
    password.reserve(length);
    while (true)
    {
        password.clear();
        bool isClassPresent[CHARACTER_CLASS_COUNT] = {false, false, false, false};
        while (password.size() < length)
        {
            const char character = CHARACTER_TABLE[generateSystemRandomNumber() % CHARACTER_TABLE_SIZE];
            const CharacterClass characterClass = _classify_helper(character);
            if (!isClassEnabled[characterClass])
                continue;
            password.append(QLatin1Char(character));
            isClassPresent[characterClass] = true;
        }

        bool areAllClassesPresent = true;
        for (int index = 0; index < CHARACTER_CLASS_COUNT; index++)
        {
            if (isClassEnabled[index] && !isClassPresent[index])
                areAllClassesPresent = false;
        }
        if (areAllClassesPresent)
            return password;
    }
}
