#include "common/UntrustedText.h"

namespace
{
bool _isControl_helper(char16_t code)
{
    return code < 0x20 || code == 0x7F || (code >= 0x80 && code <= 0x9F);
}

// Characters that change the order or the look of the text around them without showing themselves.
bool _isInvisibleFormatting_helper(char16_t code)
{
    return code == 0x061C || code == 0x200B || code == 0x200C || code == 0x200D || code == 0x200E ||
           code == 0x200F || (code >= 0x202A && code <= 0x202E) || (code >= 0x2060 && code <= 0x2069) ||
           code == 0xFEFF;
}

QString _codePointText_helper(char16_t code, const char* pattern)
{
    return QString::fromLatin1(pattern).arg(static_cast<uint>(code), 4, 16, QLatin1Char('0'));
}

QString _visibleCodePoint_helper(char16_t code)
{
    return _codePointText_helper(code, "<U+%1>").toUpper();
}
} // namespace

QString escapeForTerminal(const QString& text, const QString& keptCharacters)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar character : text)
    {
        const char16_t code = character.unicode();
        if (keptCharacters.contains(character))
            escaped.append(character);
        else if (_isControl_helper(code))
            escaped.append(QStringLiteral("\\x%1").arg(static_cast<uint>(code), 2, 16, QLatin1Char('0')));
        else if (_isInvisibleFormatting_helper(code))
            escaped.append(_codePointText_helper(code, "\\u%1"));
        else
            escaped.append(character);
    }
    return escaped;
}

namespace
{
// Left-to-right letters, digits, spaces and punctuation cannot reorder the left-to-right text around them.
bool _needsIsolation_helper(const QString& text)
{
    for (const QChar character : text)
    {
        switch (character.direction())
        {
        case QChar::DirL:
        case QChar::DirEN:
        case QChar::DirES:
        case QChar::DirET:
        case QChar::DirCS:
        case QChar::DirWS:
        case QChar::DirON:
            break;
        default:
            return true;
        }
    }
    return false;
}
} // namespace

QString makeVisibleAndIsolated(const QString& text)
{
    const bool isIsolated = _needsIsolation_helper(text);
    QString visible;
    visible.reserve(text.size() + 2);
    if (isIsolated)
        visible.append(QChar(0x2068)); // first strong isolate
    for (const QChar character : text)
    {
        const char16_t code = character.unicode();
        if (code == u'\n' || code == u'\r')
            visible.append(QChar(0x21B5)); // a downwards arrow with corner leftwards, as fonts have it
        else if (_isControl_helper(code) || _isInvisibleFormatting_helper(code))
            visible.append(_visibleCodePoint_helper(code));
        else
            visible.append(character);
    }
    if (isIsolated)
        visible.append(QChar(0x2069)); // pop directional isolate
    return visible;
}
