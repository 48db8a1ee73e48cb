#include "common/SystemRandom.h"

#include <windows.h>

#include <bcrypt.h>

#include <algorithm>

int fillSystemRandomBytes(void* bytes, std::size_t size)
{
    auto* output = static_cast<unsigned char*>(bytes);
    while (size > 0)
    {
        // The system's preferred generator (no algorithm handle of our own), in chunks its length type holds.
        const ULONG chunk = static_cast<ULONG>(std::min<std::size_t>(size, 1u << 30));
        if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, output, chunk, BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
            return -1;
        output += chunk;
        size -= chunk;
    }
    return 0;
}

quint32 generateSystemRandomNumber()
{
    quint32 number = 0;
    if (fillSystemRandomBytes(&number, sizeof(number)) != 0)
        qFatal("The operating system's random generator failed");
    return number;
}
