#include "common/SecureMemory.h"

#include <cstring>

void secureZeroMemory(void* data, std::size_t size)
{
    if (!data || size == 0)
        return;
    // A volatile function pointer keeps the compiler from proving the memory dead and dropping the fill.
    static void* (*const volatile zeroFill)(void*, int, std::size_t) = std::memset;
    zeroFill(data, 0, size);
}

void secureClearString(QString& text)
{
    // Only overwrite when no other QString shares the buffer; detaching would copy the secret instead.
    if (!text.isEmpty() && text.data_ptr()->isShared() == false)
        secureZeroMemory(text.data(), static_cast<std::size_t>(text.size()) * sizeof(QChar));
    text.clear();
}

void secureClearByteArray(QByteArray& bytes)
{
    if (!bytes.isEmpty() && bytes.data_ptr()->isShared() == false)
        secureZeroMemory(bytes.data(), static_cast<std::size_t>(bytes.size()));
    bytes.clear();
}

void lockString(const QString& text)
{
    if (!text.isEmpty())
        lockMemory(text.constData(), static_cast<std::size_t>(text.size()) * sizeof(QChar));
}
