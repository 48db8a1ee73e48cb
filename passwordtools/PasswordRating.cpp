#include "passwordtools/PasswordRating.h"

#include "common/SecureMemory.h"

#include <QByteArray>
#include <QRegularExpression>

#include <zxcvbn.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
struct CharacterKinds
{
    bool hasDigit = false;
    bool hasLetter = false;
    bool hasOther = false;
};

CharacterKinds _characterKinds_helper(const QByteArray& utf8, int begin, int length)
{
    CharacterKinds kinds;
    for (int index = std::max(0, begin); index < begin + length && index < utf8.size(); index++)
    {
        const unsigned char character = static_cast<unsigned char>(utf8.at(index));
        if (character >= '0' && character <= '9')
            kinds.hasDigit = true;
        else if ((character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') ||
                 character >= 0x80)
            kinds.hasLetter = true;
        else
            kinds.hasOther = true;
    }
    return kinds;
}

// What a part rated as random, or as a one-character "word" (a digit or symbol standing for a letter),
// is made of.
PasswordRating::Pattern _characterPattern_helper(const CharacterKinds& kinds)
{
    if (kinds.hasLetter || (kinds.hasDigit && kinds.hasOther))
        return PasswordRating::PATTERN_RANDOM_CHARACTERS;
    return kinds.hasDigit ? PasswordRating::PATTERN_DIGITS : PasswordRating::PATTERN_SYMBOLS;
}

PasswordRating::Pattern _matchPattern_helper(const ZxcMatch_t* match, const QByteArray& utf8)
{
    // A part that repeats an earlier part ("k3k3k3") reads best as a repeat, whatever the part is.
    if (match->Type >= MULTIPLE_MATCH)
        return PasswordRating::PATTERN_REPEAT;
    switch (match->Type)
    {
    case DICTIONARY_MATCH:
    case DICT_LEET_MATCH:
    {
        const CharacterKinds kinds = _characterKinds_helper(utf8, match->Begin, match->Length);
        return kinds.hasLetter ? PasswordRating::PATTERN_COMMON_WORD : _characterPattern_helper(kinds);
    }
    case USER_MATCH:
    case USER_LEET_MATCH:
        return PasswordRating::PATTERN_RECORD_DETAILS;
    case REPEATS_MATCH:
        return PasswordRating::PATTERN_REPEAT;
    case SEQUENCE_MATCH:
        return PasswordRating::PATTERN_SEQUENCE;
    case SPATIAL_MATCH:
        return PasswordRating::PATTERN_KEYBOARD_WALK;
    case DATE_MATCH:
        return PasswordRating::PATTERN_DATE;
    case YEAR_MATCH:
        return PasswordRating::PATTERN_YEAR;
    default:
        return _characterPattern_helper(_characterKinds_helper(utf8, match->Begin, match->Length));
    }
}
} // namespace

double PasswordRating::guesses() const
{
    return std::pow(2.0, entropyBits);
}

bool PasswordRating::isWeak() const
{
    return score <= WEAK_SCORE_MAXIMUM;
}

int PasswordRating::scoreForEntropy(double entropyBits)
{
    const double guessCount = std::pow(2.0, entropyBits);
    if (guessCount < 1e3)
        return 0;
    if (guessCount < 1e6)
        return 1;
    if (guessCount < 1e8)
        return 2;
    if (guessCount < 1e10)
        return 3;
    return 4;
}

QString PasswordRating::patternsText(const QList<Pattern>& patterns)
{
    QStringList parts;
    for (Pattern pattern : patterns)
    {
        switch (pattern)
        {
        case PATTERN_COMMON_WORD:
            parts.append(tr("common word"));
            break;
        case PATTERN_RECORD_DETAILS:
            parts.append(tr("record name, login or web site"));
            break;
        case PATTERN_REPEAT:
            parts.append(tr("repeated characters"));
            break;
        case PATTERN_SEQUENCE:
            parts.append(tr("sequence"));
            break;
        case PATTERN_KEYBOARD_WALK:
            parts.append(tr("keyboard pattern"));
            break;
        case PATTERN_DATE:
            parts.append(tr("date"));
            break;
        case PATTERN_YEAR:
            parts.append(tr("year"));
            break;
        case PATTERN_DIGITS:
            parts.append(tr("digits"));
            break;
        case PATTERN_SYMBOLS:
            parts.append(tr("symbols"));
            break;
        case PATTERN_RANDOM_CHARACTERS:
            parts.append(tr("too few random characters"));
            break;
        }
    }
    return parts.join(QStringLiteral(" + "));
}

QString PasswordRating::crackTimeText(double seconds)
{
    const double minute = 60;
    const double hour = 60 * minute;
    const double day = 24 * hour;
    const double month = 31 * day;
    const double year = 12 * month;
    if (seconds < 1)
        return tr("less than a second");

    struct Unit
    {
        double seconds;
        const char* one;
        const char* many;
    };
    static const Unit units[] = {
        {year, QT_TR_NOOP("about 1 year"), QT_TR_NOOP("about %1 years")},
        {month, QT_TR_NOOP("about 1 month"), QT_TR_NOOP("about %1 months")},
        {day, QT_TR_NOOP("about 1 day"), QT_TR_NOOP("about %1 days")},
        {hour, QT_TR_NOOP("about 1 hour"), QT_TR_NOOP("about %1 hours")},
        {minute, QT_TR_NOOP("about 1 minute"), QT_TR_NOOP("about %1 minutes")},
        {1, QT_TR_NOOP("about 1 second"), QT_TR_NOOP("about %1 seconds")},
    };
    if (seconds >= 100 * year)
        return tr("centuries");
    for (const Unit& unit : units)
    {
        if (seconds < unit.seconds)
            continue;
        const long long count = std::max(1LL, std::llround(seconds / unit.seconds));
        return count == 1 ? tr(unit.one) : tr(unit.many).arg(count);
    }
    return tr("less than a second");
}

QString PasswordRating::reasonText() const
{
    const QString crackTime = crackTimeText(guesses() / GUESSES_PER_SECOND);
    if (patterns.isEmpty())
        return tr("guessed in %1").arg(crackTime);
    return tr("%1, guessed in %2").arg(patternsText(patterns), crackTime);
}

QStringList passwordUserInputs(const QString& name, const QString& login, const QString& url)
{
    static const QRegularExpression separators(QStringLiteral("[^\\p{L}\\p{N}]+"));
    QStringList inputs;
    for (const QString& field : {name, login, url})
    {
        const QString lowered = field.trimmed().toLower();
        if (lowered.isEmpty())
            continue;
        if (!inputs.contains(lowered))
            inputs.append(lowered);
        // Words of three characters or more: shorter ones would flag nearly every password.
        for (const QString& word : lowered.split(separators, Qt::SkipEmptyParts))
        {
            if (word.size() >= 3 && !inputs.contains(word))
                inputs.append(word);
        }
    }
    return inputs;
}

PasswordRating ratePassword(const QString& password, const QStringList& userInputs)
{
    std::vector<QByteArray> inputBytes;
    inputBytes.reserve(static_cast<std::size_t>(userInputs.size()));
    std::vector<const char*> dictionary;
    dictionary.reserve(static_cast<std::size_t>(userInputs.size()) + 1);
    for (const QString& input : userInputs)
    {
        inputBytes.push_back(input.toUtf8());
        dictionary.push_back(inputBytes.back().constData());
    }
    dictionary.push_back(nullptr);

    QByteArray utf8 = password.toUtf8();
    ZxcMatch_t* info = nullptr;
    PasswordRating rating;
    rating.entropyBits = ZxcvbnMatch(utf8.constData(), dictionary.data(), &info);
    rating.score = PasswordRating::scoreForEntropy(rating.entropyBits);

    std::vector<const ZxcMatch_t*> matches;
    for (const ZxcMatch_t* match = info; match; match = match->Next)
        matches.push_back(match);
    std::sort(matches.begin(), matches.end(),
              [](const ZxcMatch_t* left, const ZxcMatch_t* right) { return left->Begin < right->Begin; });
    for (const ZxcMatch_t* match : matches)
    {
        const PasswordRating::Pattern pattern = _matchPattern_helper(match, utf8);
        if (rating.patterns.isEmpty() || rating.patterns.last() != pattern)
            rating.patterns.append(pattern);
    }
    ZxcvbnFreeInfo(info);
    secureClearByteArray(utf8);
    return rating;
}
