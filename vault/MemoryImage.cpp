#include "vault/MemoryImage.h"

#include "vault/VaultText.h"

namespace
{
// Writes the UTF-8 form of text without the forbidden characters, then the terminator, as long as
// both fit in freeCount; returns false otherwise. Encodes straight into the image so that no copy of a
// secret is left behind in a heap buffer. Unpaired surrogates become '?', as QString::toUtf8() does.
bool _appendText_helper(const QString& text, uint8_t terminator, uint8_t* buffer, int& position,
                        int& freeCount)
{
    const int textRoom = freeCount - 1; // the terminator needs the last free byte
    if (textRoom < 0)
        return false;
    uint8_t* output = buffer + position;
    uint8_t* const outputLimit = output + textRoom;
    const QChar* character = text.constData();
    const QChar* const end = character + text.size();
    for (; character < end; ++character)
    {
        const char32_t code = character->unicode();
        if (code < 0x80)
        {
            if (isForbiddenVaultCharacter(*character))
                continue;
            if (output >= outputLimit)
                return false;
            *output++ = static_cast<uint8_t>(code);
        }
        else if (code < 0x800)
        {
            if (outputLimit - output < 2)
                return false;
            *output++ = static_cast<uint8_t>(0xC0 | (code >> 6));
            *output++ = static_cast<uint8_t>(0x80 | (code & 0x3F));
        }
        else if (character->isHighSurrogate() && character + 1 < end && character[1].isLowSurrogate())
        {
            if (outputLimit - output < 4)
                return false;
            const char32_t point = QChar::surrogateToUcs4(character[0], character[1]);
            ++character;
            *output++ = static_cast<uint8_t>(0xF0 | (point >> 18));
            *output++ = static_cast<uint8_t>(0x80 | ((point >> 12) & 0x3F));
            *output++ = static_cast<uint8_t>(0x80 | ((point >> 6) & 0x3F));
            *output++ = static_cast<uint8_t>(0x80 | (point & 0x3F));
        }
        else if (character->isSurrogate())
        {
            if (output >= outputLimit)
                return false;
            *output++ = '?';
        }
        else
        {
            if (outputLimit - output < 3)
                return false;
            *output++ = static_cast<uint8_t>(0xE0 | (code >> 12));
            *output++ = static_cast<uint8_t>(0x80 | ((code >> 6) & 0x3F));
            *output++ = static_cast<uint8_t>(0x80 | (code & 0x3F));
        }
    }
    *output++ = terminator;
    const int written = static_cast<int>(output - (buffer + position));
    position += written;
    freeCount -= written;
    return true;
}

// Texts are decoded straight from their bytes in the image: the image is the parser's scratch space.
QString _decodeText_helper(const uint8_t* image, int start, int end)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(image + start), end - start);
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
    PasswordRecord record;
    int fieldIndex = 0;
    int textStart = 0;

    for (int offset = 0; offset < VAULT_PARSE_LIMIT; offset++)
    {
        const uint8_t byte = image[offset];
        if (byte != FIELD_TERMINATOR && byte != TAB_NAME_TERMINATOR && byte != VAULT_END_MARKER)
            continue; // part of the current text
        if (byte == VAULT_END_MARKER)
            break;
        if (byte == FIELD_TERMINATOR)
        {
            record.field(fieldIndex) = _decodeText_helper(image, textStart, offset);
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
        else
        {
            // The field index is deliberately not reset: a tab name inside a record does not restart it.
            vault.append(VaultTab{_decodeText_helper(image, textStart, offset), {}});
        }
        textStart = offset + 1;
    }

    // A partly assembled record (and a text without terminator) is dropped.
    record.clear();
    return vault;
}

int getVaultFillPercentage(int freeCount)
{
    if (freeCount < 0)
        return 0;
    return freeCount * 100 / (VAULT_CAPACITY - 1);
}
