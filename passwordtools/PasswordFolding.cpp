#include "passwordtools/PasswordFolding.h"

#include "common/SecureMemory.h"

#include <QChar>

namespace
{
bool _isMark_helper(char32_t codePoint)
{
    const QChar::Category category = QChar::category(codePoint);
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
           category == QChar::Mark_Enclosing;
}

// The ASCII letters a character folds into, or nothing when it does not fold into ASCII. A lone mark
// folds into nothing at all.
bool _foldIntoAscii_helper(const QString& character, QString& folded)
{
    QString decomposed = character.normalized(QString::NormalizationForm_KD);
    bool isAscii = true;
    qsizetype keptCount = 0;
    for (qsizetype index = 0; index < decomposed.size(); index++)
    {
        const QChar unit = decomposed.at(index);
        char32_t codePoint = unit.unicode();
        if (unit.isHighSurrogate() && index + 1 < decomposed.size())
            codePoint = QChar::surrogateToUcs4(unit, decomposed.at(++index));
        if (_isMark_helper(codePoint))
            continue;
        keptCount++;
        isAscii = isAscii && codePoint < 0x80;
    }
    if (isAscii)
    {
        for (const QChar unit : decomposed)
        {
            if (unit.unicode() < 0x80)
                folded.append(unit);
        }
    }
    secureClearString(decomposed);
    return isAscii || keptCount == 0;
}
} // namespace

QString foldPasswordCharacters(const QString& text)
{
    // Sized for the longest case (a ligature or a compatibility form decomposes into several letters):
    // growing the buffer would leave a copy of the password behind.
    QString folded;
    folded.reserve(text.size() * 4 + 8);
    for (qsizetype index = 0; index < text.size(); index++)
    {
        const qsizetype begin = index;
        if (text.at(index).isHighSurrogate() && index + 1 < text.size() &&
            text.at(index + 1).isLowSurrogate())
            index++;
        const qsizetype length = index - begin + 1;
        if (length == 1 && text.at(begin).unicode() < 0x80)
        {
            folded.append(text.at(begin));
            continue;
        }
        QString character(text.constData() + begin, length);
        if (!_foldIntoAscii_helper(character, folded))
            folded.append(character);
        secureClearString(character);
    }
    return folded;
}
