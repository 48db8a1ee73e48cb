#include "cli/CliDeviceAccess.h"

#include <atomic>

#include <windows.h>

namespace
{
std::atomic<int> interruptionCount{0};

// Runs on a thread of its own that the console starts for each Ctrl+C or Ctrl+Break.
BOOL WINAPI _noteInterruption_helper(DWORD controlType)
{
    if (controlType != CTRL_C_EVENT && controlType != CTRL_BREAK_EVENT)
        return FALSE;
    // The second one: not handled, so the system's default handler ends the program at once.
    if (interruptionCount.fetch_add(1) > 0)
        return FALSE;
    static const char note[] =
        "\r\nStopping at the next safe point (press Ctrl+C again to stop at once).\r\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), note, sizeof(note) - 1, &written, nullptr);
    return TRUE;
}
} // namespace

CliInterruptionGuard::CliInterruptionGuard()
{
    interruptionCount = 0;
    SetConsoleCtrlHandler(_noteInterruption_helper, TRUE);
}

CliInterruptionGuard::~CliInterruptionGuard()
{
    SetConsoleCtrlHandler(_noteInterruption_helper, FALSE);
}

bool isCliInterrupted()
{
    return interruptionCount > 0;
}
