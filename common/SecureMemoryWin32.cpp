#include "common/SecureMemory.h"

#include <windows.h>

void lockMemory(const void* data, std::size_t size)
{
    // A refusal (the working set's minimum reached) leaves the pages as they were.
    if (data && size > 0)
        (void)VirtualLock(const_cast<void*>(data), size);
}

void unlockMemory(const void* data, std::size_t size)
{
    if (data && size > 0)
        (void)VirtualUnlock(const_cast<void*>(data), size);
}

void disableCoreDumps()
{
    // No crash dialog and no report to Windows Error Reporting, which would write the process's memory
    // into a dump file.
    SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
}
