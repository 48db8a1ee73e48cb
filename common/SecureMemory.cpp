#include "common/SecureMemory.h"

#include <cstring>

#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>

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

void lockMemory(const void* data, std::size_t size)
{
    if (data && size > 0)
        (void)mlock(data, size);
}

void unlockMemory(const void* data, std::size_t size)
{
    if (data && size > 0)
        (void)munlock(data, size);
}

void lockString(const QString& text)
{
    if (!text.isEmpty())
        lockMemory(text.constData(), static_cast<std::size_t>(text.size()) * sizeof(QChar));
}

void disableCoreDumps()
{
    (void)prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    const struct rlimit noCore = {0, 0};
    (void)setrlimit(RLIMIT_CORE, &noCore);
}
