#include "zxcvbn.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <cmath>

namespace
{
// The passwords people choose most often, lowest rank first (the rank is the number of guesses).
const char* const COMMON_PASSWORDS[] = {
    "password", "123456",   "qwerty",   "letmein",    "monkey",   "dragon",   "football", "iloveyou",
    "admin",    "welcome",  "login",    "princess",   "sunshine", "master",   "shadow",   "superman",
    "baseball", "trustno1", "starwars", "hello",      "freedom",  "whatever", "charlie",  "michael",
    "jennifer", "computer", "secret",   "summer",     "winter",   "spring",   "autumn",   "soccer",
    "hockey",   "killer",   "pepper",   "ginger",     "cookie",   "cheese",   "butter",   "flower",
    "orange",   "banana",   "purple",   "silver",     "golden",   "access",   "batman",   "passw0rd",
    "mustang",  "tigger",   "hunter",   "ranger",     "buster",   "thomas",   "robert",   "jordan",
    "daniel",   "andrew",   "joshua",   "maggie",     "jessica",  "ashley",   "nicole",   "matrix",
    "azerty",   "bonjour",  "soleil",   "motdepasse", "chocolat", "doudou",   "loulou",   "marseille",
    "paris",    "london",   "berlin",   "love",       "angel",    "lucky",    "money",    "family",
    "friend",   "passwort", "hallo",    "schatz",     "test",     "guest",    "default",  "changeme",
    "root",     "user",     "pass",     "abc",        "god",      "sex",      "qwertz",   "asdf",
};
// Keyboard rows of the usual layouts, for walks along them.
const char* const KEYBOARD_ROWS[] = {"1234567890", "qwertyuiop", "asdfghjkl",  "zxcvbnm", "azertyuiop",
                                     "qsdfghjklm", "wxcvbn",     "qwertzuiop", "yxcvbnm"};

struct Part
{
    int begin;
    int length;
    double bits;
    ZxcTypeMatch_t type;
};

double _log2_helper(double value)
{
    return std::log2(std::max(value, 1.0));
}

// The size of the alphabet the characters of text are drawn from, as a brute-force attacker sees it.
double _cardinality_helper(const QVector<uint>& text, int begin, int end)
{
    bool hasLower = false, hasUpper = false, hasDigit = false, hasSymbol = false, hasOther = false;
    for (int index = begin; index < end; index++)
    {
        const uint character = text[index];
        if (character >= 'a' && character <= 'z')
            hasLower = true;
        else if (character >= 'A' && character <= 'Z')
            hasUpper = true;
        else if (character >= '0' && character <= '9')
            hasDigit = true;
        else if (character < 128)
            hasSymbol = true;
        else
            hasOther = true;
    }
    return (hasLower ? 26 : 0) + (hasUpper ? 26 : 0) + (hasDigit ? 10 : 0) + (hasSymbol ? 33 : 0) +
           (hasOther ? 100 : 0);
}

// Bits for the capitals of a word found in lower case: none, the first, all, or any mix.
double _capitalisationBits_helper(const QString& word)
{
    if (word == word.toLower())
        return 0;
    if (word == word.toUpper() || (word.at(0).isUpper() && word.mid(1) == word.mid(1).toLower()))
        return 1;
    return word.size();
}

// The best part that starts at position begin, if any pattern matches there.
bool _bestPartAt_helper(const QVector<uint>& text, const QString& lowered, int begin,
                        const QStringList& userWords, Part& best)
{
    const int size = static_cast<int>(text.size());
    bool isFound = false;
    auto consider = [&](int length, double bits, ZxcTypeMatch_t type)
    {
        // The longest part wins; among equal lengths the cheapest to guess.
        if (!isFound || length > best.length || (length == best.length && bits < best.bits))
        {
            best = Part{begin, length, bits, type};
            isFound = true;
        }
    };
    const QString original = QString::fromUcs4(reinterpret_cast<const char32_t*>(text.constData()), size);
    for (int rank = 0; rank < userWords.size(); rank++)
    {
        const QString& word = userWords[rank];
        if (word.size() >= 3 && lowered.mid(begin).startsWith(word))
            consider(static_cast<int>(word.size()),
                     _log2_helper(rank + 1) + _capitalisationBits_helper(original.mid(begin, word.size())),
                     USER_MATCH);
    }
    int rank = 0;
    for (const char* common : COMMON_PASSWORDS)
    {
        rank++;
        const QLatin1String word(common);
        if (word.size() >= 3 && lowered.mid(begin).startsWith(word))
            consider(static_cast<int>(word.size()),
                     _log2_helper(rank) + _capitalisationBits_helper(original.mid(begin, word.size())),
                     DICTIONARY_MATCH);
    }
    // Repeats of one character.
    int run = 1;
    while (begin + run < size && text[begin + run] == text[begin])
        run++;
    if (run >= 3)
        consider(run, _log2_helper(_cardinality_helper(text, begin, begin + 1) * run), REPEATS_MATCH);
    // Sequences with a step of one up or down (abc, 987).
    for (int step : {1, -1})
    {
        int length = 1;
        while (begin + length < size &&
               static_cast<int>(text[begin + length]) - static_cast<int>(text[begin + length - 1]) == step)
            length++;
        if (length >= 3)
            consider(length, _log2_helper(26) + _log2_helper(length) + (step < 0 ? 1 : 0), SEQUENCE_MATCH);
    }
    // Walks along a keyboard row, either way.
    for (const char* row : KEYBOARD_ROWS)
    {
        const QString forward = QString::fromLatin1(row);
        QString backward = forward;
        std::reverse(backward.begin(), backward.end());
        for (const QString& line : {forward, backward})
        {
            for (int start = 0; start < line.size(); start++)
            {
                int length = 0;
                while (begin + length < size && start + length < line.size() &&
                       lowered.at(begin + length) == line.at(start + length))
                    length++;
                if (length >= 4)
                    consider(length,
                             _log2_helper(static_cast<double>(line.size()) * 2) + _log2_helper(length),
                             SPATIAL_MATCH);
            }
        }
    }
    // A year of the last two centuries.
    if (begin + 4 <= size)
    {
        bool isDigits = true;
        for (int index = begin; index < begin + 4; index++)
            isDigits = isDigits && text[index] >= '0' && text[index] <= '9';
        const int year = isDigits ? lowered.mid(begin, 4).toInt() : 0;
        if (year >= 1900 && year <= 2099)
            consider(4, _log2_helper(200), YEAR_MATCH);
    }
    return isFound;
}
} // namespace

extern "C" double ZxcvbnMatch(const char* password, const char* userDictionary[], ZxcMatch_t** info)
{
    const QString text = QString::fromUtf8(password);
    const QVector<uint> characters = text.toUcs4();
    const QString lowered =
        QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()), characters.size())
            .toLower();
    QStringList userWords;
    for (int index = 0; userDictionary && userDictionary[index]; index++)
        userWords.append(QString::fromUtf8(userDictionary[index]).toLower());

    // Left to right, the longest recognised part at each position; characters between parts are counted
    // as random ones of the password's alphabet.
    const int size = static_cast<int>(characters.size());
    const double bruteBitsPerCharacter = _log2_helper(_cardinality_helper(characters, 0, size));
    QVector<Part> parts;
    int position = 0;
    int bruteBegin = 0;
    auto flushBrute = [&](int end)
    {
        if (end > bruteBegin)
            parts.append(
                Part{bruteBegin, end - bruteBegin, (end - bruteBegin) * bruteBitsPerCharacter, BRUTE_MATCH});
    };
    while (position < size)
    {
        Part part{};
        if (lowered.size() == size && _bestPartAt_helper(characters, lowered, position, userWords, part))
        {
            flushBrute(position);
            parts.append(part);
            position += part.length;
            bruteBegin = position;
        }
        else
        {
            position++;
        }
    }
    flushBrute(size);

    double total = 0;
    ZxcMatch_t* first = nullptr;
    ZxcMatch_t** next = &first;
    for (const Part& part : parts)
    {
        total += part.bits;
        if (!info)
            continue;
        auto* match = new ZxcMatch_t{part.begin, part.length, part.bits, part.bits, part.type, nullptr};
        *next = match;
        next = &match->Next;
    }
    // Each further part costs the attacker the choice of how the parts join.
    if (parts.size() > 1)
        total += _log2_helper(parts.size());
    if (info)
        *info = first;
    return total;
}

extern "C" void ZxcvbnFreeInfo(ZxcMatch_t* info)
{
    while (info)
    {
        ZxcMatch_t* next = info->Next;
        delete info;
        info = next;
    }
}
