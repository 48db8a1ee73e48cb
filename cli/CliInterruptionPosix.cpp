#include "cli/CliDeviceAccess.h"

#include <csignal>
#include <unistd.h>

namespace
{
volatile sig_atomic_t interruptionCount = 0;
struct sigaction previousInterruptAction = {};

void _noteInterruption_helper(int signalNumber)
{
    if (interruptionCount > 0)
    {
        // The second Ctrl+C: stop at once, as the signal would have without us.
        signal(signalNumber, SIG_DFL);
        raise(signalNumber);
        return;
    }
    interruptionCount = 1;
    static const char note[] = "\nStopping at the next safe point (press Ctrl+C again to stop at once).\n";
    const ssize_t ignored = write(STDERR_FILENO, note, sizeof(note) - 1);
    static_cast<void>(ignored);
}
} // namespace

CliInterruptionGuard::CliInterruptionGuard()
{
    interruptionCount = 0;
    struct sigaction action = {};
    action.sa_handler = _noteInterruption_helper;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a wait for the device returns early and the transfer notices the request at once.
    action.sa_flags = 0;
    sigaction(SIGINT, &action, &previousInterruptAction);
}

CliInterruptionGuard::~CliInterruptionGuard()
{
    sigaction(SIGINT, &previousInterruptAction, nullptr);
}

bool isCliInterrupted()
{
    return interruptionCount > 0;
}
