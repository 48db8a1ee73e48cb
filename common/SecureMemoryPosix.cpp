#include "common/SecureMemory.h"

#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>

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

void disableCoreDumps()
{
    (void)prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    const struct rlimit noCore = {0, 0};
    (void)setrlimit(RLIMIT_CORE, &noCore);
}
