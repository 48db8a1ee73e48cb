#include "passwordtools/PasswordRating.h"

#include "common/SecureMemory.h"
#include "passwordtools/PasswordFolding.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QSet>

#include <zxcvbn.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

namespace
{
// The guess counting of the original zxcvbn, applied to the parts the library recognises: a character
// no pattern explains costs 10 guesses; a part of several characters costs at least 50, of one at least
// 10; and a password of l parts costs l! times the product of their guesses plus 10^4^(l-1).
constexpr double BRUTE_FORCE_LOG10_PER_CHARACTER = 1;
constexpr double MINIMUM_LOG10_GUESSES_SINGLE_CHARACTER = 1;
const double MINIMUM_LOG10_GUESSES_SEVERAL_CHARACTERS = std::log10(50.0);
constexpr double LOG10_GUESSES_BEFORE_GROWING_SEQUENCE = 4;
// Sequences in any alphabet ("абвгд"): the library only knows those of ASCII letters and digits.
constexpr int SEQUENCE_MINIMUM_LENGTH = 3;
constexpr int SEQUENCE_MAXIMUM_STEP = 5;
const double SEQUENCE_LOG10_GUESSES_PER_CHARACTER = std::log10(26.0);
// Longer passwords are rated along the library's own parts: the search over every split grows with the
// cube of the length.
constexpr int SEARCH_MAXIMUM_LENGTH = 256;

struct CharacterKinds
{
    bool hasDigit = false;
    bool hasLetter = false;
    bool hasOther = false;
};

CharacterKinds _characterKinds_helper(const std::vector<char32_t>& codePoints, int begin, int end)
{
    CharacterKinds kinds;
    for (int index = std::max(0, begin); index < end && index < static_cast<int>(codePoints.size()); index++)
    {
        const char32_t character = codePoints[static_cast<std::size_t>(index)];
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

PasswordRating::Pattern _matchPattern_helper(const ZxcMatch_t* match, const std::vector<char32_t>& codePoints)
{
    const int end = match->Begin + match->Length;
    // A part that repeats an earlier part ("k3k3k3") reads best as a repeat, whatever the part is.
    if (match->Type >= MULTIPLE_MATCH)
        return PasswordRating::PATTERN_REPEAT;
    switch (match->Type)
    {
    case DICTIONARY_MATCH:
    case DICT_LEET_MATCH:
    {
        const CharacterKinds kinds = _characterKinds_helper(codePoints, match->Begin, end);
        if (kinds.hasLetter)
            return PasswordRating::PATTERN_COMMON_WORD;
        // "123456" is a password everyone tries; a lone "1" for an "l" is only a substitution.
        if (match->Type == DICTIONARY_MATCH && match->Length >= 2)
            return PasswordRating::PATTERN_COMMON_PASSWORD;
        return _characterPattern_helper(kinds);
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
        return _characterPattern_helper(_characterKinds_helper(codePoints, match->Begin, end));
    }
}

std::vector<char32_t> _codePoints_helper(const QString& text)
{
    std::vector<char32_t> codePoints;
    codePoints.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype index = 0; index < text.size(); index++)
    {
        const QChar unit = text.at(index);
        if (unit.isHighSurrogate() && index + 1 < text.size() && text.at(index + 1).isLowSurrogate())
        {
            codePoints.push_back(QChar::surrogateToUcs4(unit, text.at(index + 1)));
            index++;
        }
        else
            codePoints.push_back(unit.unicode());
    }
    return codePoints;
}

// One byte per character for the library, which counts bytes: ASCII as it is (letters of words in lower
// case, as its dictionaries are), any other character in lower case as a byte of its own above 0x7F, the
// same for the same letter, so that repeats are still seen and "Сбербанк" matches "сбербанк": the library
// folds the case of ASCII letters only, and rates the others at their own cost anyway.
QByteArray _libraryBytes_helper(const std::vector<char32_t>& codePoints, bool isLowercased)
{
    QByteArray bytes(static_cast<qsizetype>(codePoints.size()), Qt::Uninitialized);
    for (std::size_t index = 0; index < codePoints.size(); index++)
    {
        char32_t character = codePoints[index];
        if (isLowercased && character >= 'A' && character <= 'Z')
            character += 'a' - 'A';
        const bool isPlainAscii = character > 0 && character < 0x80;
        if (!isPlainAscii)
            character = QChar::toLower(character);
        bytes[static_cast<qsizetype>(index)] =
            static_cast<char>(isPlainAscii ? character : (0x80 | (character & 0x7F)));
    }
    return bytes;
}

struct RatedPart
{
    int begin;
    int end;
    double log10Guesses;
    PasswordRating::Pattern pattern;
};

// Runs of three or more characters outside ASCII that step by the same small amount.
void _appendUnicodeSequences_helper(const std::vector<char32_t>& codePoints, std::vector<RatedPart>& parts)
{
    const int count = static_cast<int>(codePoints.size());
    int begin = 0;
    while (begin + 1 < count)
    {
        const long long step = static_cast<long long>(codePoints[static_cast<std::size_t>(begin) + 1]) -
                               static_cast<long long>(codePoints[static_cast<std::size_t>(begin)]);
        int end = begin + 2;
        while (end < count && static_cast<long long>(codePoints[static_cast<std::size_t>(end)]) -
                                      static_cast<long long>(codePoints[static_cast<std::size_t>(end) - 1]) ==
                                  step)
            end++;
        const bool isOutsideAscii = std::any_of(codePoints.begin() + begin, codePoints.begin() + end,
                                                [](char32_t c) { return c >= 0x80; });
        if (step != 0 && std::llabs(step) <= SEQUENCE_MAXIMUM_STEP &&
            end - begin >= SEQUENCE_MINIMUM_LENGTH && isOutsideAscii)
        {
            const double descending = step < 0 ? std::log10(2.0) : 0;
            parts.push_back(RatedPart{
                begin, end, SEQUENCE_LOG10_GUESSES_PER_CHARACTER + std::log10(end - begin) + descending,
                PasswordRating::PATTERN_SEQUENCE});
        }
        // The last character may start the next run.
        begin = end - 1;
    }
}

// log10(10^a + 10^b) without overflow.
double _log10Sum_helper(double a, double b)
{
    const double larger = std::max(a, b);
    return larger + std::log10(1 + std::pow(10.0, std::min(a, b) - larger));
}

double _log10Factorial_helper(int count)
{
    return std::lgamma(count + 1.0) / std::log(10.0);
}

double _partMinimumLog10_helper(int length, int passwordLength)
{
    if (length >= passwordLength)
        return 0;
    return length == 1 ? MINIMUM_LOG10_GUESSES_SINGLE_CHARACTER : MINIMUM_LOG10_GUESSES_SEVERAL_CHARACTERS;
}

struct SearchStep
{
    double log10Product = 0;
    double log10Total = std::numeric_limits<double>::infinity();
    // The part ending here: an index into the parts, or -1 for random characters from bruteBegin.
    int partIndex = -1;
    int bruteBegin = 0;
};

// The split of the password into recognised parts and random characters that costs the fewest guesses,
// as the original zxcvbn searches it. Returns log10 of the guesses; split receives the parts in order.
double _searchCheapestSplit_helper(const std::vector<char32_t>& codePoints,
                                   const std::vector<RatedPart>& candidates, std::vector<RatedPart>& split)
{
    const int count = static_cast<int>(codePoints.size());
    // best[k][l]: the cheapest split of the first k + 1 characters into l parts.
    std::vector<std::vector<SearchStep>> best(static_cast<std::size_t>(count),
                                              std::vector<SearchStep>(static_cast<std::size_t>(count) + 1));
    const auto update = [&](int begin, int end, double log10Guesses, int partIndex, int partCount)
    {
        const int last = end - 1;
        double log10Product = std::max(log10Guesses, _partMinimumLog10_helper(end - begin, count));
        if (partCount > 1)
            log10Product += best[static_cast<std::size_t>(begin) - 1][static_cast<std::size_t>(partCount) - 1]
                                .log10Product;
        const double log10Total = _log10Sum_helper(_log10Factorial_helper(partCount) + log10Product,
                                                   LOG10_GUESSES_BEFORE_GROWING_SEQUENCE * (partCount - 1));
        std::vector<SearchStep>& steps = best[static_cast<std::size_t>(last)];
        // A split with fewer parts that costs no more is always preferred.
        for (int fewer = 1; fewer <= partCount; fewer++)
        {
            if (steps[static_cast<std::size_t>(fewer)].log10Total <= log10Total)
                return;
        }
        SearchStep& step = steps[static_cast<std::size_t>(partCount)];
        step.log10Product = log10Product;
        step.log10Total = log10Total;
        step.partIndex = partIndex;
        step.bruteBegin = begin;
    };
    const auto extend = [&](int begin, int end, double log10Guesses, int partIndex)
    {
        if (begin == 0)
        {
            update(begin, end, log10Guesses, partIndex, 1);
            return;
        }
        const std::vector<SearchStep>& before = best[static_cast<std::size_t>(begin) - 1];
        for (int partCount = 1; partCount < count; partCount++)
        {
            const SearchStep& previous = before[static_cast<std::size_t>(partCount)];
            // Two runs of random characters side by side are one run.
            if (std::isinf(previous.log10Total) || (partIndex < 0 && previous.partIndex < 0))
                continue;
            update(begin, end, log10Guesses, partIndex, partCount + 1);
        }
    };
    for (int end = 1; end <= count; end++)
    {
        for (std::size_t index = 0; index < candidates.size(); index++)
        {
            if (candidates[index].end == end)
                extend(candidates[index].begin, end, candidates[index].log10Guesses, static_cast<int>(index));
        }
        for (int begin = 0; begin < end; begin++)
            extend(begin, end, BRUTE_FORCE_LOG10_PER_CHARACTER * (end - begin), -1);
    }

    const std::vector<SearchStep>& last = best.back();
    int partCount = 1;
    for (int candidate = 1; candidate <= count; candidate++)
    {
        if (last[static_cast<std::size_t>(candidate)].log10Total <
            last[static_cast<std::size_t>(partCount)].log10Total)
            partCount = candidate;
    }
    const double log10Total = last[static_cast<std::size_t>(partCount)].log10Total;
    for (int end = count; end > 0 && partCount > 0; partCount--)
    {
        const SearchStep& step = best[static_cast<std::size_t>(end) - 1][static_cast<std::size_t>(partCount)];
        if (step.partIndex >= 0)
            split.push_back(candidates[static_cast<std::size_t>(step.partIndex)]);
        else
            split.push_back(RatedPart{
                step.bruteBegin, end, BRUTE_FORCE_LOG10_PER_CHARACTER * (end - step.bruteBegin),
                _characterPattern_helper(_characterKinds_helper(codePoints, step.bruteBegin, end))});
        end = split.back().begin;
    }
    std::reverse(split.begin(), split.end());
    return log10Total;
}

// For a very long password: the library's own parts in a row, random characters between them.
double _rateAlongParts_helper(const std::vector<char32_t>& codePoints, std::vector<RatedPart> candidates,
                              std::vector<RatedPart>& split)
{
    std::sort(candidates.begin(), candidates.end(),
              [](const RatedPart& left, const RatedPart& right) { return left.begin < right.begin; });
    const int count = static_cast<int>(codePoints.size());
    int position = 0;
    for (const RatedPart& part : candidates)
    {
        if (part.begin < position)
            continue;
        if (part.begin > position)
            split.push_back(RatedPart{position, part.begin,
                                      BRUTE_FORCE_LOG10_PER_CHARACTER * (part.begin - position),
                                      PasswordRating::PATTERN_RANDOM_CHARACTERS});
        split.push_back(part);
        position = part.end;
    }
    if (position < count)
        split.push_back(RatedPart{position, count, BRUTE_FORCE_LOG10_PER_CHARACTER * (count - position),
                                  PasswordRating::PATTERN_RANDOM_CHARACTERS});
    const int partCount = static_cast<int>(split.size());
    double log10Product = 0;
    for (const RatedPart& part : split)
        log10Product += std::max(part.log10Guesses, _partMinimumLog10_helper(part.end - part.begin, count));
    return _log10Sum_helper(_log10Factorial_helper(partCount) + log10Product,
                            LOG10_GUESSES_BEFORE_GROWING_SEQUENCE * (partCount - 1));
}

// Consecutive parts of the same kind appear once. Random characters without a letter read as what they
// are, "digits + symbols" for "1!".
void _appendPartPatterns_helper(const RatedPart& part, const std::vector<char32_t>& codePoints,
                                QList<PasswordRating::Pattern>& patterns)
{
    const auto append = [&patterns](PasswordRating::Pattern pattern)
    {
        if (patterns.isEmpty() || patterns.last() != pattern)
            patterns.append(pattern);
    };
    if (part.pattern != PasswordRating::PATTERN_RANDOM_CHARACTERS ||
        _characterKinds_helper(codePoints, part.begin, part.end).hasLetter)
    {
        append(part.pattern);
        return;
    }
    for (int index = part.begin; index < part.end; index++)
        append(_characterPattern_helper(_characterKinds_helper(codePoints, index, index + 1)));
}

void _clearCodePoints_helper(std::vector<char32_t>& codePoints)
{
    if (!codePoints.empty())
        secureZeroMemory(codePoints.data(), codePoints.size() * sizeof(char32_t));
    codePoints.clear();
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

double PasswordRating::log10Guesses() const
{
    return entropyBits * std::log10(2.0);
}

int PasswordRating::scoreForEntropy(double entropyBits)
{
    constexpr double margin = 5;
    const double guessCount = std::pow(2.0, entropyBits);
    if (guessCount < 1e3 + margin)
        return 0;
    if (guessCount < 1e6 + margin)
        return 1;
    if (guessCount < 1e8 + margin)
        return 2;
    if (guessCount < 1e10 + margin)
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
        case PATTERN_COMMON_PASSWORD:
            parts.append(tr("common password"));
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

QString PasswordRating::summaryText() const
{
    if (isWeak())
        return tr("Weak: %1").arg(reasonText());
    // The patterns name what makes a password guessable; beside "Strong" they would read as a fault.
    return tr("Strong: %1").arg(tr("guessed in %1").arg(crackTimeText(guesses() / GUESSES_PER_SECOND)));
}

QStringList passwordUserInputs(const QString& name, const QString& login, const QString& url)
{
    static const QRegularExpression separators(QStringLiteral("[^\\p{L}\\p{N}]+"));
    QStringList inputs;
    // A set beside the list: a field of many thousand words must not be compared word by word.
    QSet<QString> seen;
    const auto add = [&inputs, &seen](const QString& word)
    {
        if (!seen.contains(word))
        {
            seen.insert(word);
            inputs.append(word);
        }
    };
    for (const QString& field : {name, login, url})
    {
        const QString typed = field.trimmed();
        if (typed.isEmpty())
            continue;
        const QString lowered = typed.toLower();
        // Only where the lower case differs beyond ASCII does the typed form match something more.
        const bool isTypedFormNeeded = std::any_of(
            typed.cbegin(), typed.cend(), [](QChar c) { return c.unicode() >= 0x80 && c.isUpper(); });
        add(lowered);
        if (isTypedFormNeeded)
            add(typed);
        // Words of three characters or more: shorter ones would flag nearly every password.
        const QStringList typedWords = typed.split(separators, Qt::SkipEmptyParts);
        for (const QString& word : typedWords)
        {
            if (word.size() < 3)
                continue;
            add(word.toLower());
            if (isTypedFormNeeded && word != word.toLower())
                add(word);
        }
    }
    return inputs;
}

PasswordRating ratePassword(const QString& password, const QStringList& userInputs)
{
    QString folded = foldPasswordCharacters(password);
    std::vector<char32_t> codePoints = _codePoints_helper(folded);
    secureClearString(folded);
    const int count = static_cast<int>(codePoints.size());
    PasswordRating rating;
    if (count == 0)
        return rating;

    std::vector<QByteArray> inputBytes;
    QSet<QByteArray> seenInputs;
    for (const QString& input : userInputs)
    {
        std::vector<char32_t> inputCodePoints = _codePoints_helper(foldPasswordCharacters(input));
        // A word longer than the password cannot be part of it.
        if (inputCodePoints.empty() || inputCodePoints.size() > codePoints.size())
            continue;
        const QByteArray bytes = _libraryBytes_helper(inputCodePoints, true);
        if (seenInputs.contains(bytes))
            continue;
        seenInputs.insert(bytes);
        inputBytes.push_back(bytes);
    }
    std::vector<const char*> dictionary;
    dictionary.reserve(inputBytes.size() + 1);
    for (const QByteArray& bytes : inputBytes)
        dictionary.push_back(bytes.constData());
    dictionary.push_back(nullptr);

    QByteArray bytes = _libraryBytes_helper(codePoints, false);
    ZxcMatch_t* info = nullptr;
    ZxcvbnMatch(bytes.constData(), dictionary.data(), &info);
    std::vector<RatedPart> candidates;
    for (const ZxcMatch_t* match = info; match; match = match->Next)
    {
        // Random characters are counted here, by character.
        if (match->Type == BRUTE_MATCH || match->Length <= 0 || match->Begin < 0 || match->Begin >= count)
            continue;
        const int end = std::min(count, match->Begin + match->Length);
        candidates.push_back(RatedPart{match->Begin, end, match->Entrpy * std::log10(2.0),
                                       _matchPattern_helper(match, codePoints)});
    }
    ZxcvbnFreeInfo(info);
    secureClearByteArray(bytes);
    _appendUnicodeSequences_helper(codePoints, candidates);

    std::vector<RatedPart> split;
    const double log10Guesses = count <= SEARCH_MAXIMUM_LENGTH
                                    ? _searchCheapestSplit_helper(codePoints, candidates, split)
                                    : _rateAlongParts_helper(codePoints, candidates, split);

    rating.entropyBits = log10Guesses / std::log10(2.0);
    rating.score = PasswordRating::scoreForEntropy(rating.entropyBits);
    for (const RatedPart& part : split)
        _appendPartPatterns_helper(part, codePoints, rating.patterns);
    _clearCodePoints_helper(codePoints);
    return rating;
}
