#include "common/SystemRandom.h"

#include <cerrno>

#include <sys/random.h>

int fillSystemRandomBytes(void* bytes, std::size_t size)
{
    auto* output = static_cast<unsigned char*>(bytes);
    std::size_t filled = 0;
    while (filled < size)
    {
        // Flags 0: the urandom pool, which blocks only until it was first seeded at boot.
        const ssize_t result = getrandom(output + filled, size - filled, 0);
        if (result < 0)
        {
            if (errno == EINTR)
                continue;
            return -1;
        }
        filled += static_cast<std::size_t>(result);
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
